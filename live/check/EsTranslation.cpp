#include "EsTranslation.h"

#include "VersionDirective.h"

namespace {

const char* const esHeader = "#version 300 es\n"
                             "precision highp float;\n"
                             "precision highp int;";
constexpr int esHeaderNewlines = 2;

} // namespace

int EsStage::authorLine(int translatedLine) const {
    if (translatedLine <= versionLine) {
        return translatedLine;
    }
    if (translatedLine <= versionLine + addedLines) {
        return versionLine;
    }
    return translatedLine - addedLines;
}

std::optional<EsStage> translateToEs(const std::string& source) {
    const std::optional<VersionDirective> directive = findVersionDirective(source);
    if (!directive) {
        return std::nullopt;
    }
    EsStage stage;
    stage.versionLine = directive->line;
    stage.addedLines = esHeaderNewlines;
    stage.text = source.substr(0, directive->begin) + esHeader + source.substr(directive->end);
    return stage;
}
