#include "engine/frame_history.h"

#include <cstring>

namespace {

int atLeastOneBlock(int span) {
    return span < FrameHistory::kMaxBlock ? FrameHistory::kMaxBlock : span;
}

} // namespace

FrameHistory::FrameHistory(int keep, int span)
    : store(2 * static_cast<std::size_t>(keep + atLeastOneBlock(span) + kScratch)), keep(keep),
      span(atLeastOneBlock(span)), position(keep) {}

void FrameHistory::clear() {
    store.clear();
    position = keep;
}

void FrameHistory::moveBack() {
    double* data = store.data();
    std::memmove(data, data + 2 * (position - keep), 2 * static_cast<std::size_t>(keep) * sizeof(double));
    position = keep;
}
