#pragma once

#include "ChildProcess.h"
#include "DemoRun.h"
#include "PngPicture.h"
#include "TempDir.h"
#include "XClient.h"
#include "XvfbServer.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace webtest {

using namespace std::chrono_literals;
using nlohmann::json;

// The browsers the pages are tested in: Debian's chromium and firefox-esr.
const std::vector<std::string>& browserNames();

// One of Debian's browsers with a fresh profile and no way out to the
// network, driven through tests/web/driver/browser-driver.mjs (puppeteer-core):
// "chromium" headless, "firefox" on an Xvfb of its own, since it draws WebGL2
// only on a real display. Everything it started ends with it.
class WebBrowser {
  public:
    // `environment`: what the browser finds, PULSE_SERVER say.
    explicit WebBrowser(const std::string& name, const testsupport::Environment& environment = {});
    ~WebBrowser();
    WebBrowser(const WebBrowser&) = delete;
    WebBrowser& operator=(const WebBrowser&) = delete;

    const std::string& name() const { return name_; }

    // Opens `url` with a 1920x1080 viewport, and returns once it has loaded;
    // the network log and the console are recorded from before its first
    // request. `preload` runs in the page before any of its own scripts.
    void open(const std::string& url, const std::string& preload = "");

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
    std::vector<std::string> requestedUrls();
    // Console errors and uncaught exceptions, in order.
    std::vector<std::string> consoleErrors();

  private:
    json call(json command);
    json readAnswer(int id);
    std::string driverLog() const;

    std::string name_;
    testsupport::TempDir profile_;
    std::unique_ptr<testsupport::XvfbServer> display_;
    int toDriver_ = -1;
    int fromDriver_ = -1;
    std::unique_ptr<testsupport::ChildProcess> process_;
    int lastId_ = 0;
    std::string received_; // read but not yet split into lines
};

} // namespace webtest
