#include "WebBrowser.h"

#include <csignal>
#include <filesystem>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <iostream>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

using namespace testsupport;

namespace webtest {

namespace {

std::string fromBase64(const std::string& text) {
    std::string bytes;
    unsigned long group = 0;
    int bits = 0;
    for (char c : text) {
        int value = c >= 'A' && c <= 'Z'   ? c - 'A'
                    : c >= 'a' && c <= 'z' ? c - 'a' + 26
                    : c >= '0' && c <= '9' ? c - '0' + 52
                    : c == '+'             ? 62
                    : c == '/'             ? 63
                                           : -1;
        if (value < 0) {
            continue;
        }
        group = (group << 6) | static_cast<unsigned long>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes += static_cast<char>((group >> bits) & 0xff);
        }
    }
    return bytes;
}

} // namespace

const std::vector<std::string>& browserNames() {
    static const std::vector<std::string> names = {"chromium", "firefox"};
    return names;
}

WebBrowser::WebBrowser(const std::string& name, const Environment& environment) : name_(name) {
    // A driver that dies must fail the test, not end it with SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    int commands[2], answers[2];
    if (pipe2(commands, O_CLOEXEC) != 0 || pipe2(answers, O_CLOEXEC) != 0) {
        throw std::runtime_error("no pipes for the browser driver");
    }
    ProcessOptions options;
    options.argv = {VELLOMIRKE_NODE, VELLOMIRKE_BROWSER_DRIVER, name, profile_.file("profile"),
                    name == "firefox" ? VELLOMIRKE_FIREFOX : VELLOMIRKE_CHROMIUM};
    std::filesystem::create_directory(profile_.file("profile"));
    options.environment = environment;
    // Whatever the browser keeps outside its profile stays in the test's
    // folder too, unless the environment has a home for it already.
    options.environment.emplace("HOME", profile_.path());
    if (name == "firefox") {
        display_ = std::make_unique<XvfbServer>();
        options.environment["DISPLAY"] = display_->display();
    }
    options.stderrPath = profile_.file("driver.log");
    // The browser runs in a session of its own, out of reach of the driver's
    // process group: the driver stops it, also when this process dies.
    options.deathSignal = SIGTERM;
    options.descriptors = {{commands[0], 3}, {answers[1], 4}};
    process_ = std::make_unique<ChildProcess>(options);
    close(commands[0]);
    close(answers[1]);
    toDriver_ = commands[1];
    fromDriver_ = answers[0];
    // The driver says which browser it started once it is ready.
    readAnswer(0);
}

WebBrowser::~WebBrowser() {
    // What the browser said is the first place to look when a case fails.
    if (::testing::Test::HasFailure()) {
        const std::string log = driverLog();
        std::cerr << name_ << "'s log, its end:\n"
                  << log.substr(log.size() > 6000 ? log.size() - 6000 : 0) << "\n";
    }
    const std::string stop = json{{"command", "close"}}.dump() + '\n';
    if (write(toDriver_, stop.data(), stop.size()) != static_cast<ssize_t>(stop.size()) ||
        !process_->waitForExit(30s)) {
        process_->kill(SIGTERM);
        process_->waitForExit(30s);
    }
    process_.reset();
    close(toDriver_);
    close(fromDriver_);
}

std::string WebBrowser::driverLog() const {
    return readFile(profile_.file("driver.log"));
}

json WebBrowser::readAnswer(int id) {
    // A screenshot of a software-rendered page, a slow evaluation or a start
    // beside a busy processor can take many seconds; only a broken browser
    // takes this long.
    const auto deadline = std::chrono::steady_clock::now() + 120s;
    for (;;) {
        const size_t end = received_.find('\n');
        if (end != std::string::npos) {
            json message = json::parse(received_.substr(0, end));
            received_.erase(0, end + 1);
            if (message.value("id", -1) != id) {
                continue;
            }
            if (message.contains("error")) {
                throw std::runtime_error(name_ + ": " + message["error"].get<std::string>());
            }
            return message["result"];
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{fromDriver_, POLLIN, 0};
        if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
            throw std::runtime_error("no answer from " + name_ +
                                     "; the driver's log: " + driverLog());
        }
        char chunk[65536];
        const ssize_t got = read(fromDriver_, chunk, sizeof chunk);
        if (got <= 0) {
            throw std::runtime_error(name_ + " has gone; the driver's log: " + driverLog());
        }
        received_.append(chunk, static_cast<size_t>(got));
    }
}

json WebBrowser::call(json command) {
    command["id"] = ++lastId_;
    const std::string text = command.dump() + '\n';
    for (size_t sent = 0; sent < text.size();) {
        const ssize_t n = write(toDriver_, text.data() + sent, text.size() - sent);
        if (n <= 0) {
            throw std::runtime_error("cannot send " + command["command"].dump() + " to " + name_ +
                                     "; the driver's log: " + driverLog());
        }
        sent += static_cast<size_t>(n);
    }
    return readAnswer(lastId_);
}

void WebBrowser::open(const std::string& url, const std::string& preload) {
    call({{"command", "open"}, {"url", url}, {"preload", preload}});
}

json WebBrowser::evaluate(const std::string& expression) {
    return call({{"command", "evaluate"}, {"expression", expression}});
}

bool WebBrowser::waitFor(const std::string& expression, std::chrono::milliseconds timeout) {
    return waitUntil([&] { return evaluate("!!(" + expression + ")") == true; }, timeout);
}

Image WebBrowser::screenshot() {
    return decodePng(fromBase64(call({{"command", "screenshot"}}).get<std::string>()));
}

void WebBrowser::click() {
    call({{"command", "click"}, {"x", 960}, {"y", 540}});
}

void WebBrowser::press(const std::string& key) {
    call({{"command", "press"}, {"key", key}});
}

std::vector<std::string> WebBrowser::requestedUrls() {
    return call({{"command", "log"}})["requests"];
}

std::vector<std::string> WebBrowser::consoleErrors() {
    return call({{"command", "log"}})["errors"];
}

} // namespace webtest
