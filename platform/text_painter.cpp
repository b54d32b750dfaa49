#include "platform/text_painter.h"

#include <atomic>

namespace platform {

namespace {

std::atomic<const TextPainter*> registered{nullptr};

} // namespace

void setTextPainter(const TextPainter* painter) {
    registered.store(painter);
}

const TextPainter* textPainter() {
    return registered.load();
}

} // namespace platform
