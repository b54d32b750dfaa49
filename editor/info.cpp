#include "editor/info.h"

#include <charconv>
#include <cstring>

#include "editor/my_frame.h"
#include "gui/frame.h"

namespace {

struct Line {
    CCoord x;
    const char* text;
};

} // namespace

CInfo::CInfo(const CRect& size, CBitmap* panel, CBitmap* font, CBitmap* transparentFont)
    : CControl(size, nullptr, 0, panel), printer(font, transparentFont), homeRect(size) {}

CInfo::~CInfo() = default;

void CInfo::setLatency(int samples) {
    latencySamples = samples;
    setDirty();
}

CMouseEventResult CInfo::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    CFrame* frame = getFrame();
    auto* myFrame = dynamic_cast<MyFrame*>(frame);
    if (!isOpen) {
        // An empty rectangle: no ordinary redraw of a view paints the panel, only a repaint of the
        // whole window does (the frame draws its modal view over the update rectangles it touches).
        setViewSize(CRect(0, 0, 0, 0), false);
        isOpen = true;
        if (frame) frame->setModalView(this);
    } else {
        setViewSize(homeRect, false);
        isOpen = false;
        if (myFrame)
            myFrame->clearModalView();
        else if (frame)
            frame->setModalView(nullptr);
    }
    if (myFrame)
        myFrame->invalidateAll();
    else if (frame)
        frame->invalidateWindow(CRect(0, 0, frame->getWidth(), frame->getHeight()));
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CInfo::draw(CDrawContext* context) {
    if (isOpen) {
        if (background) background->drawAlphaBlend(context, kPanelRect, CPoint(0, 0), kPanelOpacity);

        char latency[16] = {};
        std::to_chars(latency, latency + sizeof(latency) - 1, latencySamples);
        const auto latencyX = CCoord(470 - 6 * CCoord(std::strlen(latency)));

        CCoord y = kFirstBaseline;
        printer.print(context, 55, y, "Orvel Zelmar", false, true, false);
        const Line lines[] = {
            {200, "Brickwall Limiting, Metering and Requantizing"},
            {55, nullptr},
            {55, "Version:"},
            {440, "1.1.9"},
            {55, nullptr},
            {55, "Current process latency (samples):"},
            {latencyX, latency},
            {55, nullptr},
            {165, "VST plugin technology by Steinberg"},
        };
        for (const Line& line : lines) {
            if (!line.text) {
                y += kLineSpacing;
                continue;
            }
            printer.print(context, line.x, y, line.text, false, false, true);
        }
    }
    setDirty(false);
}
