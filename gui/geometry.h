// Points and rectangles in pixels. A view's rectangle is in the coordinates of its container; the
// frame's starts at the window origin.
#pragma once

#include <algorithm>
#include <cstdint>

using CCoord = std::int32_t;

struct CPoint {
    CCoord x = 0;
    CCoord y = 0;

    constexpr CPoint() = default;
    constexpr CPoint(CCoord x, CCoord y) : x(x), y(y) {}

    CPoint& offset(CCoord dx, CCoord dy) {
        x += dx;
        y += dy;
        return *this;
    }
    constexpr bool operator==(const CPoint&) const = default;
};

struct CRect {
    CCoord left = 0;
    CCoord top = 0;
    CCoord right = 0;
    CCoord bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(CCoord left, CCoord top, CCoord right, CCoord bottom)
        : left(left), top(top), right(right), bottom(bottom) {}
    constexpr CRect(const CPoint& origin, CCoord width, CCoord height)
        : left(origin.x), top(origin.y), right(origin.x + width), bottom(origin.y + height) {}

    constexpr CCoord getWidth() const { return right - left; }
    constexpr CCoord getHeight() const { return bottom - top; }
    constexpr CPoint getTopLeft() const { return {left, top}; }
    constexpr bool isEmpty() const { return right <= left || bottom <= top; }
    constexpr bool operator==(const CRect&) const = default;

    CRect& offset(CCoord dx, CCoord dy) {
        left += dx, right += dx, top += dy, bottom += dy;
        return *this;
    }
    CRect& moveTo(CCoord x, CCoord y) { return offset(x - left, y - top); }
    CRect& inset(CCoord dx, CCoord dy) {
        left += dx, right -= dx, top += dy, bottom -= dy;
        return *this;
    }
    // The intersection with r (empty when they do not overlap).
    CRect& bound(const CRect& r) {
        left = std::max(left, r.left), top = std::max(top, r.top);
        right = std::min(right, r.right), bottom = std::min(bottom, r.bottom);
        if (right < left) right = left;
        if (bottom < top) bottom = top;
        return *this;
    }
    // The smallest rectangle holding both (an empty rectangle adds nothing).
    CRect& unite(const CRect& r) {
        if (r.isEmpty()) return *this;
        if (isEmpty()) return *this = r;
        left = std::min(left, r.left), top = std::min(top, r.top);
        right = std::max(right, r.right), bottom = std::max(bottom, r.bottom);
        return *this;
    }
    // Corners ordered: the smaller of each pair is the start.
    constexpr CRect normalized() const {
        return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    }

    // Pixels of the rectangle: left <= x < right, top <= y < bottom (presses and hit tests).
    constexpr bool pointInside(const CPoint& p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    // Edges included: left <= x <= right, top <= y <= bottom (hover and wheel lookup, kick buttons).
    constexpr bool pointInsideWithEdges(const CPoint& p) const {
        return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
    }
    // Shares at least one pixel with r.
    constexpr bool rectOverlap(const CRect& r) const {
        return left < r.right && r.left < right && top < r.bottom && r.top < bottom;
    }
    // Overlaps or touches r (edges count).
    constexpr bool touches(const CRect& r) const {
        return left <= r.right && r.left <= right && top <= r.bottom && r.top <= bottom;
    }
    constexpr bool contains(const CRect& r) const {
        return r.left >= left && r.right <= right && r.top >= top && r.bottom <= bottom;
    }
};
