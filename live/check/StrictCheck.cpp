#include "StrictCheck.h"

#include "GlslCheck.h"

std::vector<std::string> strictCheck(const std::string& vertex, const std::string& fragment) {
    std::vector<std::string> warnings;
    for (Finding finding : checkAsGlsl330(vertex, fragment).findings) {
        finding.text += finding.level == Finding::Level::Error
                            ? " (this driver took it; stricter drivers refuse it)"
                            : " (stricter drivers may refuse it)";
        finding.level = Finding::Level::Warning;
        warnings.push_back(finding.located());
    }
    return warnings;
}
