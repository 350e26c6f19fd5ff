#pragma once

#include <functional>
#include <string>
#include <vector>

// One thing a check found about a piece, at the author's file and line where
// it has one.
struct Finding {
    enum class Level { Ok, NotChecked, Warning, Error };
    Level level = Level::Error;
    std::string file; // "fragment.glsl", "audio.mp3"...; or what it is about ("web page")
    int line = 0;     // 1-based; 0 where there is none
    std::string text;

    // The form editors jump from: "fragment.glsl:7: error: text", or
    // "audio.mp3: ok: text" where there is no line ("not checked" for
    // NotChecked).
    std::string located() const;
};

using Findings = std::vector<Finding>;

// How many of `findings` are at `level`.
int countAt(const Findings& findings, Finding::Level level);

// glslang's info log as findings. glslang writes "ERROR: 0:8: 'x' : ...",
// "WARNING: 0:8: ...", a count at the end ("ERROR: 2 compilation errors.  No
// code generated."), "compilation terminated" where it gave up, and a
// linker's "ERROR: Linking fragment stage: ..." whose details may follow on
// lines of their own. The counts say nothing more and are left out; a
// linker's message names the stage's file; other messages without a place
// are given to `fileName`. `authorLine` turns a line of the text that
// glslang read into the author's.
Findings readGlslangLog(const std::string& log, const std::string& fileName,
                        const std::function<int(int)>& authorLine);
