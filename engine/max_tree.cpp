#include "engine/max_tree.h"

MaxTree::MaxTree() : nodes(2 * kMaxLength) {
    clear();
}

void MaxTree::setLength(int length) {
    size = length < 1 ? 1 : (length > kMaxLength ? kMaxLength : length);
    clear();
}

void MaxTree::clear() {
    nodes.clear();
    nodes[0] = kSentinel;
}
