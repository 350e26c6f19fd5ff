#pragma once

#include "ChildProcess.h"
#include "DemoRun.h"
#include "PngPicture.h"
#include "TempDir.h"
#include "XClient.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace webtest {

using namespace std::chrono_literals;
using nlohmann::json;

// Debian's chromium, headless, with a fresh profile and no way out to the
// network, driven over the DevTools protocol on a pair of pipes
// (--remote-debugging-pipe). WebGL2 runs on its software renderer.
// Everything it started ends with it.
class HeadlessChromium {
  public:
    // `environment`: what the browser finds, PULSE_SERVER say.
    explicit HeadlessChromium(const testsupport::Environment& environment = {});
    ~HeadlessChromium();
    HeadlessChromium(const HeadlessChromium&) = delete;
    HeadlessChromium& operator=(const HeadlessChromium&) = delete;

    // Opens `url` in a new page with a 1920x1080 viewport, and returns once
    // it has loaded; the network log and the console are recorded from
    // before its first request.
    void open(const std::string& url);

    // The value of `expression` in the page, a promise's once it settles;
    // throws on an exception.
    json evaluate(const std::string& expression);
    // Evaluates `expression` until it is true; whether it became so.
    bool waitFor(const std::string& expression, std::chrono::milliseconds timeout = 30s);

    // The page as it is shown, 1920x1080.
    testsupport::Image screenshot();

    // Input as from a person: trusted events, which let a page play sound.
    void click();
    void press(const std::string& key); // "Escape", "Space"

    // Every URL the page requested, in order.
    std::vector<std::string> requestedUrls() const;
    // Console errors and uncaught exceptions, in order.
    std::vector<std::string> consoleErrors() const;

  private:
    json call(const std::string& method, const json& params = json::object(), bool inPage = true);
    json readMessage(std::chrono::steady_clock::time_point deadline);
    void record(const json& event);

    testsupport::TempDir profile_;
    int toBrowser_ = -1;
    int fromBrowser_ = -1;
    std::unique_ptr<testsupport::ChildProcess> process_;
    std::string session_;
    int lastId_ = 0;
    std::string received_; // read but not yet split into messages
    std::vector<std::string> requests_;
    std::vector<std::string> errors_;
};

} // namespace webtest
