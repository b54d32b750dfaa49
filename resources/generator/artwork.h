// The artwork set: every bitmap of the editor and the preset strip, drawn from code.
#pragma once

#include <string>
#include <vector>

#include "canvas.h"
#include "layout.h"
#include "text.h"

namespace art {

struct Fonts {
    Font regular, bold, condensed;
};

// One resource: a numbered BITMAP (opaque, written as a DIB) or a named DATA resource (a PNG file).
struct Artwork {
    int number = 0;   // BITMAP number, or 0 for a DATA resource
    std::string name; // DATA resource name, empty for a BITMAP
    Image image;
    int frames = 1; // frames stacked vertically
};

// How a button face looks in one frame.
enum class Look { Off, On, Inactive, OnInactive, Highlight, AlertDark, AlertLit };

// Draws a button face filling the box, text centred, over whatever the image holds there.
void drawButtonFace(Image& img, const Fonts& fonts, float x0, float y0, float x1, float y1, Look look,
                    const std::string& text, float textSize = 9);
// Stacks frames vertically into one strip.
Image stackFrames(const std::vector<Image>& frames);
// The letter spacing of panel labels of a size [px].
float labelTracking(float size);
// A label in the panel's small capitals, engraved, centred on cx.
void drawLabel(Image& img, const Fonts& fonts, float cx, int baseline, const std::string& text,
               const TextStyle& style);
void drawLabel(Image& img, const Fonts& fonts, float cx, int baseline, const std::string& text,
               Color color = palette::kLabel, float size = 8);
// A recessed well: dark fill with a shadowed upper edge and a lit lower edge.
void drawWell(Image& img, const Rect& r, float radius = 2, Color fill = palette::kWell);

Image drawBackground(const Fonts& fonts);
void addMeterArt(std::vector<Artwork>& out, const Image& background, const Fonts& fonts);
void addButtonArt(std::vector<Artwork>& out, const Image& background, const Fonts& fonts);
void addKnobArt(std::vector<Artwork>& out, const Image& background);
void addGlyphFonts(std::vector<Artwork>& out);
void addPresetStripArt(std::vector<Artwork>& out, const Image& background, const Fonts& fonts);
void addInfoPanelArt(std::vector<Artwork>& out, const Fonts& fonts);

} // namespace art
