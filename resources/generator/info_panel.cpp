// Bitmap 157: the information panel, drawn at 200/255 opacity over the lower window with the product
// name, version and latency printed on it in the bitmap font (lines on panel rows 8 … 57).
#include "artwork.h"

namespace art {

void addInfoPanelArt(std::vector<Artwork>& out, const Fonts& fonts) {
    using namespace palette;
    const int w = layout::kInfoPanel.w(), h = layout::kInfoPanel.h();
    Image img(w, h, rgb(14, 15, 18));
    fillRect(img, 0, 0, w, h, vertical(0, rgb(22, 24, 28), h, rgb(10, 11, 13)));
    strokeRoundRect(img, 0, 0, w, h, 0, 1, rgb(90, 96, 106));
    strokeRoundRect(img, 1, 1, w - 1, h - 1, 0, 1, rgb(0, 0, 0));
    fillRect(img, 2, 2, 5, h - 2, solid(kAccent));
    // A rule under the printed lines, then the product mark.
    fillRect(img, 12, 66, w - 12, 67, solid(rgb(70, 75, 84)));
    fonts.bold.draw(img, 14, 96, "ORVEL ZELMAR", {20, rgb(232, 236, 242), 3, Align::Left});
    fonts.regular.draw(img, 15, 114, "Full band precision limiter",
                       {10, rgb(150, 158, 170), 0.6f, Align::Left});
    fonts.regular.draw(img, w - 14, 114, "Click anywhere to close",
                       {9, rgb(110, 117, 128), 0.4f, Align::Right});
    out.push_back({157, "", img, 1});
}

} // namespace art
