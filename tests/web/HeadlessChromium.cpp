#include "HeadlessChromium.h"

#include <csignal>
#include <fcntl.h>
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

HeadlessChromium::HeadlessChromium(const Environment& environment) {
    // A browser that dies must fail the test, not end it with SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    int commands[2], replies[2];
    if (pipe2(commands, O_CLOEXEC) != 0 || pipe2(replies, O_CLOEXEC) != 0) {
        throw std::runtime_error("no pipes for the browser");
    }
    ProcessOptions options;
    options.argv = {VELLOMIRKE_CHROMIUM, "--headless",
                    "--no-sandbox", // as root
                    "--disable-gpu", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
                    "--no-first-run", "--no-default-browser-check",
                    "--disable-background-networking", "--disable-component-update",
                    "--disable-sync", "--disable-extensions", "--password-store=basic",
                    // No name resolves: nothing can be fetched from anywhere.
                    "--host-resolver-rules=MAP * ~NOTFOUND", "--force-color-profile=srgb",
                    "--window-size=1920,1080", "--user-data-dir=" + profile_.path(),
                    "--remote-debugging-pipe", "about:blank"};
    options.environment = environment;
    options.stderrPath = profile_.file("chromium.log");
    // The browser reads commands from its descriptor 3 and answers on 4.
    options.descriptors = {{commands[0], 3}, {replies[1], 4}};
    process_ = std::make_unique<ChildProcess>(options);
    close(commands[0]);
    close(replies[1]);
    toBrowser_ = commands[1];
    fromBrowser_ = replies[0];
}

HeadlessChromium::~HeadlessChromium() {
    try {
        call("Browser.close", json::object(), false);
        process_->waitForExit(10s);
    } catch (const std::exception&) {
        // Killed with its process group below.
    }
    process_.reset();
    close(toBrowser_);
    close(fromBrowser_);
}

json HeadlessChromium::readMessage(std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const size_t end = received_.find('\0');
        if (end != std::string::npos) {
            json message = json::parse(received_.substr(0, end));
            received_.erase(0, end + 1);
            return message;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{fromBrowser_, POLLIN, 0};
        if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
            throw std::runtime_error("no answer from the browser; its log: " +
                                     readFile(profile_.file("chromium.log")));
        }
        char chunk[65536];
        const ssize_t got = read(fromBrowser_, chunk, sizeof chunk);
        if (got <= 0) {
            throw std::runtime_error("the browser has gone; its log: " +
                                     readFile(profile_.file("chromium.log")));
        }
        received_.append(chunk, static_cast<size_t>(got));
    }
}

json HeadlessChromium::call(const std::string& method, const json& params, bool inPage) {
    json command = {{"id", ++lastId_}, {"method", method}, {"params", params}};
    if (inPage) {
        command["sessionId"] = session_;
    }
    const std::string text = command.dump() + '\0';
    for (size_t sent = 0; sent < text.size();) {
        const ssize_t n = write(toBrowser_, text.data() + sent, text.size() - sent);
        if (n <= 0) {
            throw std::runtime_error("cannot send " + method + " to the browser");
        }
        sent += static_cast<size_t>(n);
    }
    // A screenshot of a software-rendered page, or a slow evaluation, can
    // take seconds; only a broken browser takes this long.
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    for (;;) {
        json message = readMessage(deadline);
        if (message.contains("id") && message["id"] == lastId_) {
            if (message.contains("error")) {
                throw std::runtime_error(method + ": " + message["error"].dump());
            }
            return message["result"];
        }
        record(message);
    }
}

void HeadlessChromium::record(const json& event) {
    const std::string method = event.value("method", "");
    const json params = event.value("params", json::object());
    if (method == "Network.requestWillBeSent") {
        requests_.push_back(params["request"]["url"]);
    } else if (method == "Runtime.consoleAPICalled" && params.value("type", "") == "error") {
        std::string line;
        for (const json& arg : params["args"]) {
            line += (line.empty() ? "" : " ") + arg.value("value", json("")).dump();
        }
        errors_.push_back(line);
    } else if (method == "Runtime.exceptionThrown") {
        errors_.push_back(params["exceptionDetails"].dump());
    }
}

void HeadlessChromium::open(const std::string& url) {
    const json target = call("Target.createTarget", {{"url", "about:blank"}}, false);
    session_ = call("Target.attachToTarget", {{"targetId", target["targetId"]}, {"flatten", true}},
                    false)["sessionId"];
    call("Network.enable");
    call("Runtime.enable");
    call("Page.enable");
    call("Emulation.setDeviceMetricsOverride",
         {{"width", 1920}, {"height", 1080}, {"deviceScaleFactor", 1}, {"mobile", false}});
    call("Page.navigate", {{"url", url}});
    // Until then, the page's own elements may not exist yet.
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    for (;;) {
        const json event = readMessage(deadline);
        record(event);
        if (event.value("method", "") == "Page.loadEventFired") {
            return;
        }
    }
}

json HeadlessChromium::evaluate(const std::string& expression) {
    const json result =
        call("Runtime.evaluate",
             {{"expression", expression}, {"returnByValue", true}, {"awaitPromise", true}});
    if (result.contains("exceptionDetails")) {
        throw std::runtime_error(expression + ": " + result["exceptionDetails"].dump());
    }
    return result["result"].value("value", json());
}

bool HeadlessChromium::waitFor(const std::string& expression, std::chrono::milliseconds timeout) {
    return waitUntil([&] { return evaluate("!!(" + expression + ")") == true; }, timeout);
}

Image HeadlessChromium::screenshot() {
    const json shot = call("Page.captureScreenshot", {{"format", "png"}});
    return decodePng(fromBase64(shot["data"]));
}

void HeadlessChromium::click() {
    for (const char* type : {"mousePressed", "mouseReleased"}) {
        call("Input.dispatchMouseEvent",
             {{"type", type}, {"x", 960}, {"y", 540}, {"button", "left"}, {"clickCount", 1}});
    }
}

void HeadlessChromium::press(const std::string& key) {
    const bool space = key == "Space";
    json event = {{"key", space ? " " : key},
                  {"code", key},
                  {"windowsVirtualKeyCode", space             ? 32
                                            : key == "Escape" ? 27
                                                              : 0}};
    if (space) {
        event["text"] = " ";
    }
    event["type"] = "keyDown";
    call("Input.dispatchKeyEvent", event);
    event["type"] = "keyUp";
    event.erase("text");
    call("Input.dispatchKeyEvent", event);
}

std::vector<std::string> HeadlessChromium::requestedUrls() const {
    return requests_;
}

std::vector<std::string> HeadlessChromium::consoleErrors() const {
    return errors_;
}

} // namespace webtest
