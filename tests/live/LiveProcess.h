#pragma once

#include "ChildProcess.h"
#include "TempDir.h"
#include "XClient.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

// vellomirke-live running on `display` on the piece in `dir`, its standard
// output and error in files beside the piece. Audio goes to SDL's dummy
// driver unless `environment` names another.
class LiveProcess {
  public:
    LiveProcess(const std::string& display, const testsupport::TempDir& dir,
                std::map<std::string, std::optional<std::string>> environment = {});

    testsupport::ChildProcess& process() { return *process_; }
    std::string errors() const { return testsupport::readFile(stderrPath_); }
    std::string output() const { return testsupport::readFile(stdoutPath_); }

    // The window, once it is mapped; its title starts with "vellomirke-live".
    testsupport::XWindow waitForWindow(testsupport::XClient& x);

  private:
    std::string stdoutPath_;
    std::string stderrPath_;
    std::unique_ptr<testsupport::ChildProcess> process_;
};

// Runs vellomirke-live with `args` to its end; returns the exit status, with
// its standard error in `errors`.
int runLiveCommand(const std::vector<std::string>& args, const testsupport::TempDir& scratch,
                   std::string& errors);

// Replaces `name` in `dir` the way many editors save: the new text goes to
// another file, which is then renamed over the old one.
void saveByRename(const testsupport::TempDir& dir, const std::string& name,
                  const std::string& content);
