// Pieces turned into web pages by `vellomirke-live --export-web`, played in
// Debian's chromium and firefox-esr as a person at a browser would: a click
// or a key, Escape; the picture read back from the page, the sound heard from
// a PulseAudio null sink. Each WebPage case runs once in each browser.
#include "AudioTestSupport.h"
#include "LiveCommands.h"
#include "WebBrowser.h"
#include "Messages.h"
#include "Pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>

using namespace testsupport;
using namespace audiotest;
using namespace webtest;

namespace {

const std::string noteShown = "!document.getElementById('note').hidden";
const std::string noteSays = "document.getElementById('note').textContent";

// Exports the piece in `dir` to dir/piece.html; its exit status.
int exportPage(const TempDir& dir, std::string& errors, std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"--export-web", "--out", dir.file("piece.html"), dir.path()};
    args.insert(args.end(), more.begin(), more.end());
    return runLiveCommand(args, dir, errors);
}

std::string pageUrl(const TempDir& dir, const std::string& hash = "") {
    return "file://" + dir.file("piece.html") + hash;
}

// The page's requests: the page itself (at whatever #t=) and nothing else
// (the soundtrack and everything else is inside it).
void expectNothingFetched(WebBrowser& browser, const TempDir& dir) {
    for (const std::string& url : browser.requestedUrls()) {
        EXPECT_TRUE(url.substr(0, url.find('#')) == pageUrl(dir) || url.rfind("data:", 0) == 0)
            << url;
    }
}

// A run of the page with its sound going to a private PulseAudio server,
// whose monitor is recorded; no X server.
struct ListenedPage {
    explicit ListenedPage(const std::string& browserName) : listened(noScreen()) {
        listened.run.useShaders("position-and-time.frag");
        writeTwoToneTrack(listened.run.dir(), "audio.mp3");
        std::string errors;
        exported = exportPage(listened.run.dir(), errors) == 0;
        EXPECT_TRUE(exported) << errors;
        browser = std::make_unique<WebBrowser>(browserName, listened.run.environment());
    }

    static DemoRun::Screen noScreen() {
        DemoRun::Screen screen;
        screen.none = true;
        return screen;
    }

    ListenedRun listened;
    bool exported = false;
    std::unique_ptr<WebBrowser> browser;
};

bool silent(const std::vector<float>& samples) {
    return !firstAudibleFrame(samples).has_value();
}

// Run in the page before its own script: notes, each time the page hands the
// shader its time (one uniform1f a frame), that time and the page's clock,
// and, once the music has started, the music's clock at that instant: how
// far the browser has played the track out, in seconds since it started.
// Read where the frame is drawn, these take no account of how slowly a busy
// machine answers the test. (Not the output's timestamp: asking for it, or
// for the output's latency, at times stops a page in firefox for good.)
const std::string frameLog = R"(
(() => {
  const frames = (window.vellomirkeFrames = []);
  let music = null;
  const start = AudioBufferSourceNode.prototype.start;
  AudioBufferSourceNode.prototype.start = function (when = 0, ...rest) {
    music = { context: this.context, when };
    return start.call(this, when, ...rest);
  };
  const uniform1f = WebGL2RenderingContext.prototype.uniform1f;
  WebGL2RenderingContext.prototype.uniform1f = function (location, time) {
    const frame = { time, now: performance.now() / 1000 };
    if (music) frame.music = music.context.currentTime - music.when;
    frames.push(frame);
    return uniform1f.call(this, location, time);
  };
})();
)";

struct DrawnFrame {
    double time = 0;             // the piece's time the frame shows
    double now = 0;              // the page's clock, seconds
    std::optional<double> music; // the music's clock, seconds
};

std::vector<DrawnFrame> drawnFrames(WebBrowser& browser) {
    std::vector<DrawnFrame> frames;
    for (const json& f : browser.evaluate("window.vellomirkeFrames")) {
        frames.push_back({f["time"], f["now"], {}});
        if (f.contains("music")) {
            frames.back().music = f["music"].get<double>();
        }
    }
    return frames;
}

// Picture and sound in step: every frame drawn while the music plays shows
// where the music's clock stands as the frame is drawn: never ahead of it,
// and behind it by no more than the clock may move on between the page
// reading it and drawing (one of the browser's audio periods), however a
// busy machine stalls the sound; and the time never runs back. A page timed
// by any other clock leaves this window as soon as the sound starts late or
// falls behind.
void expectTimeFromTheMusicsClock(const std::vector<DrawnFrame>& frames, const std::string& name) {
    const double ahead = 0.001, behind = 0.1; // seconds
    std::vector<const DrawnFrame*> playing;
    double largestLag = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
        const DrawnFrame& f = frames[i];
        if (i > 0) {
            EXPECT_GE(f.time, frames[i - 1].time) << "frame " << i << " went back in time";
        }
        if (!f.music) {
            continue;
        }
        playing.push_back(&f);
        const double shown = f.time - frames.front().time;
        largestLag = std::max(largestLag, *f.music - shown);
        EXPECT_LE(shown, *f.music + ahead)
            << "frame " << i << " ahead of the music by " << shown - *f.music << " s";
        EXPECT_GE(shown, *f.music - behind)
            << "frame " << i << " behind the music by " << *f.music - shown << " s";
    }
    ASSERT_GE(playing.size(), 5u) << "too few frames drawn while the music played";
    const DrawnFrame &first = *playing.front(), &last = *playing.back();
    std::cout << name << ": " << playing.size()
              << " frames drawn while the music played, each at most " << largestLag
              << " s behind its clock; the music's clock ran at "
              << (*last.music - *first.music) / (last.now - first.now) << " of the page's clock\n";
}

// The cases that play a page, once in each browser.
class WebPage : public ::testing::TestWithParam<std::string> {};

} // namespace

INSTANTIATE_TEST_SUITE_P(Browsers, WebPage, ::testing::ValuesIn(browserNames()),
                         [](const auto& info) { return info.param; });

// GLSL ES 3.00 has no implicit conversion from int to float; the demo's GLSL
// 3.30 has. Such a piece is refused at the author's own line, though the
// export put lines of its own after #version.
TEST(ExportWeb, RefusesWhatABrowserWouldNotBuildAtTheAuthorsLine) {
    TempDir dir;
    dir.copyTestFile("vertex.glsl", "vertex.glsl");
    dir.copyTestFile("int-to-float.frag", "fragment.glsl");
    std::string errors;
    EXPECT_EQ(exportPage(dir, errors), 1);
    EXPECT_EQ(occurrences(errors, "fragment.glsl:7: error: "), 1) << errors;
    EXPECT_EQ(errors.find("vertex.glsl"), std::string::npos) << errors;
    EXPECT_FALSE(std::filesystem::exists(dir.file("piece.html")));

    // Mended, it exports with nothing to say but where the page went; once.
    std::string mended = readFile(dir.file("fragment.glsl"));
    mended.replace(mended.find("= 1;"), 4, "= 1.0;");
    dir.write("fragment.glsl", mended);
    ASSERT_EQ(exportPage(dir, errors), 0) << errors;
    EXPECT_EQ(errors,
              "vellomirke-live: wrote " + dir.file("piece.html") + " (silent: no audio.mp3)\n");
    const std::string page = readFile(dir.file("piece.html"));
    EXPECT_EQ(exportPage(dir, errors), 1);
    EXPECT_NE(errors.find("exists; --force replaces it"), std::string::npos) << errors;
    EXPECT_EQ(exportPage(dir, errors, {"--force"}), 0) << errors;
    EXPECT_EQ(readFile(dir.file("piece.html")), page);
}

// The page at #t=5 shows what vellomirke-live, which draws as the demo does,
// saves at 5 s; played, its time runs at the clock's rate however few frames
// a busy machine draws. The piece has no soundtrack, so the page's own clock
// is its time; and the page fetches nothing.
TEST_P(WebPage, ShowsTheDemosPictureAtTheLinkedTimeAndRunsInTime) {
    DemoRun live;
    live.useShaders("position-and-time.frag");
    XWindow window = startLive(live);
    // Measured over a second of frames, shown in the title.
    ASSERT_TRUE(
        waitUntil([&] { return live.x().title(window).find(" 0 fps") == std::string::npos; }));
    const std::string running = live.x().title(window);
    tap(live, "p");
    tap(live, "Home");
    live.press({"Shift_L"});
    tap(live, "Right");
    live.release({"Shift_L"});
    ASSERT_TRUE(waitUntil([&] {
        return live.x().title(window).find(" 5.00 s") != std::string::npos;
    })) << live.x().title(window);
    tap(live, "F12");
    const std::string shotPath = live.dir().file("shot-05.00.png");
    ASSERT_TRUE(waitUntil([&] {
        return live.errors().find("saved " + shotPath) != std::string::npos;
    })) << live.errors();
    const Image linux = decodePng(readFile(shotPath));

    std::string errors;
    ASSERT_EQ(exportPage(live.dir(), errors), 0) << errors;
    WebBrowser browser(GetParam());
    browser.open(pageUrl(live.dir(), "#t=5"), frameLog);
    ASSERT_TRUE(browser.waitFor(noteShown)) << browser.evaluate("document.body.innerText");
    const Image still = browser.screenshot();
    ASSERT_EQ(still.width, 1920);
    ASSERT_EQ(still.height, 1080);
    // The note lies over the picture; everything else is compared.
    const json note = browser.evaluate("(() => { const r = document.getElementById('note')"
                                       ".getBoundingClientRect(); return [r.top, r.bottom]; })()");
    int largest = 0;
    for (int y = 0; y < 1080; ++y) {
        if (y >= note[0].get<double>() - 8 && y <= note[1].get<double>() + 8) {
            continue;
        }
        for (int x = 0; x < 1920; ++x) {
            const Rgb a = still.at(x, y), b = linux.at(x, y);
            largest =
                std::max({largest, std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
        }
    }
    EXPECT_LE(largest, 2) << "page " << describe(still.at(960, 540)) << ", vellomirke-live "
                          << describe(linux.at(960, 540));
    EXPECT_TRUE(showsPositions(still));
    EXPECT_EQ(still.at(960, 540).b, channel(5.0 / 32.0));

    // Played, the picture moves on from 5 s, and the time each frame shows
    // runs with the page's clock read as it is drawn: a page that counted
    // frames, or lost time between them, would fall behind it. Measured over
    // three seconds of it or more.
    browser.click();
    ASSERT_TRUE(browser.waitFor("!(" + noteShown + ")"));
    // Playing full screen, no cursor over the piece, as in the demo. Firefox
    // grants full screen only to a focused document, and on a display with
    // no window manager its window never gets the focus ("Fullscreen request
    // denied"): there it plays in the page, with the cursor.
    if (GetParam() == std::string("chromium")) {
        ASSERT_TRUE(browser.waitFor("document.fullscreenElement === document.documentElement"));
        EXPECT_EQ(browser.evaluate("getComputedStyle(document.documentElement).cursor"), "none");
    }
    Image later;
    ASSERT_TRUE(waitUntil([&] {
        later = browser.screenshot();
        return encodedTime(later) >= 8.0;
    })) << "time "
        << encodedTime(later);
    std::vector<DrawnFrame> played = drawnFrames(browser);
    played.erase(played.begin(), std::find_if(played.begin(), played.end(),
                                              [](const DrawnFrame& f) { return f.time > 5.0; }));
    ASSERT_GE(played.size(), 2u);
    const DrawnFrame &first = played.front(), &last = played.back();
    ASSERT_GE(last.now - first.now, 2.9);
    const double timeRate = (last.time - first.time) / (last.now - first.now);
    EXPECT_NEAR(timeRate, 1.0, 0.01);

    // The figures an author asks about: how soon the first picture, how fast.
    const double firstFrame =
        browser.evaluate("performance.getEntriesByName('first-frame')[0].startTime");
    const double rate =
        browser.evaluate("new Promise((done) => { let frames = 0; const start = performance.now();"
                         " const count = () => { if (performance.now() - start < 2000) { frames++;"
                         " requestAnimationFrame(count); } else done(frames * 1000 / "
                         "(performance.now() - start)); };"
                         " requestAnimationFrame(count); })");
    std::cout << "first frame " << firstFrame << " ms after opening; " << rate
              << " frames a second in " << browser.name() << "; vellomirke-live: " << running
              << "; largest difference per channel " << largest << "; time rate " << timeRate
              << " over " << played.size() << " frames in " << last.now - first.now << " s\n";
    expectNothingFetched(browser, live.dir());
    EXPECT_TRUE(browser.consoleErrors().empty()) << browser.consoleErrors().front();
}

// The two-tone track, two seconds long, is heard from its start, in order, and
// again from its start; Escape ends the piece and its music.
TEST_P(WebPage, TheMusicIsHeardAndLoopsUntilEscape) {
    ListenedPage page(GetParam());
    ASSERT_TRUE(page.exported);
    page.browser->open(pageUrl(page.listened.run.dir()), frameLog);
    ASSERT_TRUE(page.browser->waitFor(noteShown));
    EXPECT_TRUE(silent(page.listened.listen(0.5))) << "music before a gesture";
    page.browser->press("Space");
    EXPECT_TRUE(page.listened.waitToHear({lowTone, highTone, lowTone, highTone}))
        << page.listened.heard();
    expectTimeFromTheMusicsClock(drawnFrames(*page.browser), page.browser->name());

    page.browser->press("Escape");
    ASSERT_TRUE(page.browser->waitFor(noteSays + ".includes('play again')"));
    EXPECT_EQ(page.browser->evaluate("getComputedStyle(document.documentElement).cursor"), "auto");
    // A moment for the stream to drain, then silence.
    page.listened.listen(0.5);
    EXPECT_TRUE(silent(page.listened.listen(1.0))) << "music after Escape";
    expectNothingFetched(*page.browser, page.listened.run.dir());
    EXPECT_TRUE(page.browser->consoleErrors().empty()) << page.browser->consoleErrors().front();
}

// Started at 29 s, the piece draws up to the first frame at or past 30 s and
// its music stops there.
TEST_P(WebPage, EndsAtThirtySecondsAndItsMusicWithIt) {
    ListenedPage page(GetParam());
    ASSERT_TRUE(page.exported);
    page.browser->open(pageUrl(page.listened.run.dir(), "#t=29"));
    ASSERT_TRUE(page.browser->waitFor(noteShown));
    page.browser->click();
    ASSERT_TRUE(waitForSound(page.listened.recording)) << "the music never played";
    ASSERT_TRUE(page.browser->waitFor(noteSays + ".includes('play again')", 10s));

    const Image last = page.browser->screenshot();
    EXPECT_GE(encodedTime(last), 30.0 - 32.0 / 255.0);
    EXPECT_LT(encodedTime(last), 30.5);
    EXPECT_EQ(page.browser->screenshot().pixels, last.pixels) << "it drew on after the end";

    // One second of music, the piece's last, and then nothing. Counted in
    // what was heard, every 20 ms window of it: a busy machine stretches the
    // music with dropouts, which the page's time waits for.
    page.listened.listen(0.5);
    EXPECT_TRUE(silent(page.listened.listen(1.0))) << "music after the end";
    const std::vector<ToneSpan> spans =
        spansOfTones(readStereoAsMono(page.listened.recording), {lowTone, highTone}, 0.0);
    double seconds = 0;
    for (const ToneSpan& span : spans) {
        seconds += span.frequency != 0 ? double(span.length) / deviceRate : 0.0;
    }
    EXPECT_NEAR(seconds, 1.0, 0.15) << describe(spans);
}
