#pragma once

#include <string>

namespace faults {

// What the shader builder must print when it builds the test data's vertex.glsl
// with `fragmentSource`: the driver's own compile and link logs, cut to the
// builder's 1024-character buffer, in the builder's words; empty when the
// pair links. Asks Mesa in a context of this process, on a private Xvfb.
std::string expectedBuildOutput(const std::string& fragmentSource);

} // namespace faults
