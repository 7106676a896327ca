#pragma once
// Integer points and rectangles (left, top, right, bottom; right and bottom exclusive by use).
//   TRect all = TRect::Union(a, b);
//   TRect both = TRect::Intersect(a, b);   // not normalised: empty when right < left or bottom < top

#include <algorithm>
#include <cstdint>

struct TPoint
{
    int32_t x = 0, y = 0;

    TPoint() = default;
    TPoint(int32_t x_, int32_t y_) : x(x_), y(y_) {}
    bool operator==(const TPoint&) const = default;
};

struct TRect
{
    int32_t left = 0, top = 0, right = 0, bottom = 0;

    TRect() = default;
    TRect(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}
    bool operator==(const TRect&) const = default;

    static TRect Union(const TRect& a, const TRect& b)
    {
        return TRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                     std::max(a.bottom, b.bottom));
    }
    static TRect Intersect(const TRect& a, const TRect& b)
    {
        return TRect(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                     std::min(a.bottom, b.bottom));
    }
};

struct TURect
{
    uint32_t left = 0, top = 0, right = 0, bottom = 0;

    TURect() = default;
    TURect(uint32_t l, uint32_t t, uint32_t r, uint32_t b) : left(l), top(t), right(r), bottom(b) { Check(); }
    bool operator==(const TURect&) const = default;

    // Kept as a hook; it leaves the values as they are, since an inverted clipping rectangle
    // is how an empty intersection is carried. Callers that take corners in any order use
    // Normalized.
    void Check() {}
    // The same area with left <= right and top <= bottom.
    TURect Normalized() const
    {
        return TURect(std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom));
    }
};
