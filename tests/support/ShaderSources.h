#pragma once

#include <string>

namespace testsupport {

// A fragment shader that paints the whole window in one colour (0-255).
inline std::string solidShader(int red, int green, int blue) {
    auto channel = [](int value) { return std::to_string(value) + ".0 / 255.0"; };
    return "#version 330 core\nout vec4 fragColor;\n\nvoid main() {\n    fragColor = vec4(" +
           channel(red) + ", " + channel(green) + ", " + channel(blue) + ", 1.0);\n}\n";
}

// A fragment shader with enough separate errors to make the driver's info log
// far longer than the builder's 1024-character buffer.
inline std::string longLogShader() {
    std::string source = "#version 330 core\nout vec4 fragColor;\nvoid main() {\n";
    for (int i = 0; i < 200; ++i) {
        source += "    fragColor = undefinedName" + std::to_string(i) + ";\n";
    }
    return source + "}\n";
}

} // namespace testsupport
