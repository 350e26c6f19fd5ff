#include "ProblemBand.h"

#include <algorithm>

namespace {

constexpr int maxLines = 4;     // problems shown; the console has the rest
constexpr int paddingUnits = 4; // around the text, in the font's pixels
constexpr OverlayBatch::Colour band{0, 0, 0, 190};
constexpr OverlayBatch::Colour errorColour{255, 255, 255, 255};
constexpr OverlayBatch::Colour warningColour{255, 226, 140, 255};
constexpr OverlayBatch::Colour moreColour{190, 190, 190, 255};

} // namespace

void ProblemBand::show(const std::vector<std::string>& errors,
                       const std::vector<std::string>& warnings) {
    lines_.clear();
    for (const std::string& error : errors) {
        lines_.push_back({error, true});
    }
    for (const std::string& warning : warnings) {
        lines_.push_back({warning, false});
    }
    laidOutWidth_ = -1;
}

void ProblemBand::layOut(int width, int height, int above) {
    laidOutWidth_ = width;
    laidOutHeight_ = height;
    laidOutAbove_ = above;
    batch_.clear();
    if (lines_.empty()) {
        batch_.upload();
        return;
    }
    const int lineUnits = OverlayBatch::lineUnits;
    // Letters of 2x2 pixels in a 1280x720 window, larger in a larger one.
    const int scale = std::max(1, height / 360);
    const int padding = paddingUnits * scale;
    const int room = (width - 2 * padding) / scale; // in the font's pixels
    // At most half the window, so that the picture stays in view.
    const int fits = std::max(1, (height / 2 - above - 2 * padding) / (lineUnits * scale));
    const int total = static_cast<int>(lines_.size());
    int shown = std::min({maxLines, total, fits});
    if (shown < total && shown > 1) {
        --shown; // room for the line that says how many more
    }
    const int rows = shown + (shown < total ? 1 : 0);
    const int bandHeight = rows * lineUnits * scale + 2 * padding;
    const float top = static_cast<float>(height - above - bandHeight);

    batch_.addRect(0.0f, top, static_cast<float>(width), static_cast<float>(bandHeight), band);
    for (int i = 0; i < rows; ++i) {
        const bool more = i == shown;
        const std::string text =
            more ? "... and " + std::to_string(total - shown) + " more on the console"
                 : lines_[static_cast<size_t>(i)].text;
        batch_.addText(static_cast<float>(padding),
                       top + static_cast<float>(padding + i * lineUnits * scale), scale,
                       OverlayBatch::fitted(text, room),
                       more                                   ? moreColour
                       : lines_[static_cast<size_t>(i)].error ? errorColour
                                                              : warningColour);
    }
    batch_.upload();
}

void ProblemBand::draw(int width, int height, int above) {
    if (lines_.empty() || width <= 0 || height <= 0) {
        return;
    }
    if (width != laidOutWidth_ || height != laidOutHeight_ || above != laidOutAbove_) {
        layOut(width, height, above);
    }
    batch_.draw(width, height);
}
