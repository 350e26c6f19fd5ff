#include "PageStage.h"

#include "GlslCheck.h"

namespace {

// Whether `text` is well-formed UTF-8, which the page declares itself to be.
// U+2028 and U+2029 are left out too: they end a line in older JavaScript.
bool isUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        size_t length = c < 0x80         ? 1
                        : (c >> 5) == 6  ? 2
                        : (c >> 4) == 14 ? 3
                        : (c >> 3) == 30 ? 4
                                         : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        unsigned long point = length == 1 ? c : c & (0x7f >> length);
        for (size_t k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next >> 6) != 2) {
                return false;
            }
            point = point << 6 | (next & 0x3f);
        }
        static const unsigned long smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (point < smallest[length] || point > 0x10ffff || (point >= 0xd800 && point <= 0xdfff) ||
            point == 0x2028 || point == 0x2029) {
            return false;
        }
        i += length;
    }
    return true;
}

} // namespace

std::optional<EsStage> pageStage(const std::string& fileName, const std::string& source,
                                 Findings& findings) {
    auto refuse = [&](const std::string& why) {
        findings.push_back({Finding::Level::Error, fileName, 0, why});
        return std::nullopt;
    };
    if (source.find('\0') != std::string::npos) {
        return refuse("holds a NUL byte, which a browser refuses");
    }
    if (!isUtf8(source)) {
        return refuse("is not UTF-8 text, which a web page must be");
    }
    std::optional<EsStage> stage = translateToEs(source);
    if (!stage) {
        return refuse("has no #version line to translate");
    }
    return stage;
}

Findings pageWarnings(const std::string& vertex, const std::string& fragment) {
    Findings page;
    const std::optional<EsStage> vertexStage = pageStage("vertex.glsl", vertex, page);
    const std::optional<EsStage> fragmentStage = pageStage("fragment.glsl", fragment, page);
    if (vertexStage && fragmentStage) {
        page = checkAsEs300(*vertexStage, *fragmentStage);
    }
    for (Finding& finding : page) {
        finding.level = Finding::Level::Warning;
        finding.text = "web page (GLSL ES 3.00, --export-web): " + finding.text;
    }
    return page;
}
