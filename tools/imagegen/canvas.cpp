#include "tools/imagegen/canvas.h"

#include <algorithm>
#include <cmath>

namespace {

// Sub-samples per pixel side for smooth edges.
constexpr int kSamples = 4;

bool InsideRoundRect(double px, double py, double x, double y, double w, double h, double r)
{
    if (px < x || py < y || px >= x + w || py >= y + h)
        return false;
    r = std::min({r, w / 2, h / 2});
    const double cx = std::clamp(px, x + r, x + w - r);
    const double cy = std::clamp(py, y + r, y + h - r);
    const double dx = px - cx, dy = py - cy;
    return dx * dx + dy * dy <= r * r;
}

bool Inside(const TShape& s, double px, double py)
{
    switch (s.kind) {
    case EShape::kFill: return true;
    case EShape::kRect:
    case EShape::kGradient: return px >= s.x && py >= s.y && px < s.x + s.w && py < s.y + s.h;
    case EShape::kFrame:
    case EShape::kRoundFrame: {
        const double r = s.kind == EShape::kFrame ? 0 : s.radius;
        const double t = s.thickness;
        return InsideRoundRect(px, py, s.x, s.y, s.w, s.h, r) &&
               !InsideRoundRect(px, py, s.x + t, s.y + t, s.w - 2 * t, s.h - 2 * t, std::max(0.0, r - t));
    }
    case EShape::kRoundRect: return InsideRoundRect(px, py, s.x, s.y, s.w, s.h, s.radius);
    case EShape::kCircle:
    case EShape::kRing: {
        const double d2 = (px - s.x) * (px - s.x) + (py - s.y) * (py - s.y);
        if (d2 > s.radius * s.radius)
            return false;
        const double inner = s.kind == EShape::kRing ? std::max(0.0, s.radius - s.thickness) : 0;
        return s.kind == EShape::kCircle || d2 >= inner * inner;
    }
    }
    return false;
}

TRgba ColourAt(const TShape& s, double px, double py)
{
    if (s.kind != EShape::kGradient)
        return s.colour;
    const double span = s.horizontal ? s.w : s.h;
    // px, py are pixel centres: the first row or column takes FROM exactly, the last TO.
    const double at = (s.horizontal ? px - s.x : py - s.y) - 0.5;
    const double f = span > 1 ? std::clamp(at / (span - 1), 0.0, 1.0) : 0.0;
    auto mix = [f](double a, double b) { return a + (b - a) * f; };
    return TRgba{mix(s.colour.r, s.colourTo.r), mix(s.colour.g, s.colourTo.g), mix(s.colour.b, s.colourTo.b),
                 mix(s.colour.a, s.colourTo.a)};
}

}  // namespace

TCanvas::TCanvas(int width, int height)
    : mWidth(width), mHeight(height), mPixels(static_cast<size_t>(width) * static_cast<size_t>(height))
{
}

void TCanvas::Blend(int x, int y, const TRgba& c, double coverage)
{
    TRgba& d = mPixels[static_cast<size_t>(y) * mWidth + x];
    const double sa = c.a * coverage;
    const double outA = sa + d.a * (1 - sa);
    if (outA <= 0) {
        d = TRgba{};
        return;
    }
    auto over = [&](double sc, double dc) { return (sc * sa + dc * d.a * (1 - sa)) / outA; };
    d = TRgba{over(c.r, d.r), over(c.g, d.g), over(c.b, d.b), outA};
}

void TCanvas::Draw(const TShape& s)
{
    if (s.kind == EShape::kFill) {
        std::fill(mPixels.begin(), mPixels.end(), s.colour);
        return;
    }
    double left = s.x, top = s.y, right = s.x + s.w, bottom = s.y + s.h;
    if (s.kind == EShape::kCircle || s.kind == EShape::kRing) {
        left = s.x - s.radius;
        top = s.y - s.radius;
        right = s.x + s.radius;
        bottom = s.y + s.radius;
    }
    const int x0 = std::max(0, static_cast<int>(std::floor(left)));
    const int y0 = std::max(0, static_cast<int>(std::floor(top)));
    const int x1 = std::min(mWidth, static_cast<int>(std::ceil(right)) + 1);
    const int y1 = std::min(mHeight, static_cast<int>(std::ceil(bottom)) + 1);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            int inside = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx)
                    inside += Inside(s, x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples);
            if (inside > 0)
                Blend(x, y, ColourAt(s, x + 0.5, y + 0.5), double(inside) / (kSamples * kSamples));
        }
    }
}

std::vector<uint8_t> TCanvas::ToRgba8() const
{
    std::vector<uint8_t> out;
    out.reserve(mPixels.size() * 4);
    auto byte = [](double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
    for (const TRgba& p : mPixels) {
        out.push_back(byte(p.r));
        out.push_back(byte(p.g));
        out.push_back(byte(p.b));
        out.push_back(byte(p.a));
    }
    return out;
}

TCanvas RenderImage(const TImageDescription& description)
{
    TCanvas canvas(description.width, description.height);
    for (const TShape& shape : description.shapes)
        canvas.Draw(shape);
    return canvas;
}
