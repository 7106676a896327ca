#include "glyph_outline.h"

#include "render/text/mvec_format.h"

#include <algorithm>
#include <cmath>

namespace {

struct TPoint2
{
    double x, y;
};

TPoint2 Lerp(TPoint2 a, TPoint2 b, double t)
{
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

struct TWriter
{
    std::vector<uint8_t>* out;
    double scale;
    TPoint2 current{0, 0};
    TPoint2 contourStart{0, 0};
    bool open = false;
    bool fits = true;

    // Outline units (y up) to font units (y down).
    TPoint2 Map(const FT_Vector* v) const { return {v->x * scale, -v->y * scale}; }

    void Coord(TPoint2 p)
    {
        for (double v : {p.x, p.y}) {
            const long q = std::lround(v * 128.0);
            if (q < -32768 || q > 32767)
                fits = false;
            const int16_t s = static_cast<int16_t>(std::clamp(q, -32768L, 32767L));
            out->push_back(static_cast<uint8_t>(s & 0xFF));
            out->push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
        }
    }

    void Close()
    {
        if (open && (current.x != contourStart.x || current.y != contourStart.y)) {
            out->push_back(mvec::kLine);
            Coord(contourStart);
            current = contourStart;
        }
        open = false;
    }

    void Move(TPoint2 p)
    {
        Close();
        out->push_back(mvec::kMove);
        Coord(p);
        current = contourStart = p;
        open = true;
    }

    void Line(TPoint2 p)
    {
        out->push_back(mvec::kLine);
        Coord(p);
        current = p;
    }

    void Quad(TPoint2 c, TPoint2 p)
    {
        out->push_back(mvec::kCurve);
        Coord(c);
        Coord(p);
        current = p;
    }

    // A cubic as quadratic pieces: halved until one quadratic stays within a tenth of a unit.
    void Cubic(TPoint2 p0, TPoint2 c1, TPoint2 c2, TPoint2 p3, int depth)
    {
        const double ex = p3.x - 3 * c2.x + 3 * c1.x - p0.x;
        const double ey = p3.y - 3 * c2.y + 3 * c1.y - p0.y;
        const double error = std::sqrt(ex * ex + ey * ey) * std::sqrt(3.0) / 36.0;
        if (error < 0.1 || depth >= 6) {
            const TPoint2 c{(3 * (c1.x + c2.x) - p0.x - p3.x) / 4, (3 * (c1.y + c2.y) - p0.y - p3.y) / 4};
            Quad(c, p3);
            return;
        }
        const TPoint2 a = Lerp(p0, c1, 0.5), b = Lerp(c1, c2, 0.5), d = Lerp(c2, p3, 0.5);
        const TPoint2 ab = Lerp(a, b, 0.5), bd = Lerp(b, d, 0.5), mid = Lerp(ab, bd, 0.5);
        Cubic(p0, a, ab, mid, depth + 1);
        Cubic(mid, bd, d, p3, depth + 1);
    }
};

int MoveTo(const FT_Vector* to, void* user)
{
    auto* w = static_cast<TWriter*>(user);
    w->Move(w->Map(to));
    return 0;
}

int LineTo(const FT_Vector* to, void* user)
{
    auto* w = static_cast<TWriter*>(user);
    w->Line(w->Map(to));
    return 0;
}

int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user)
{
    auto* w = static_cast<TWriter*>(user);
    w->Quad(w->Map(control), w->Map(to));
    return 0;
}

int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user)
{
    auto* w = static_cast<TWriter*>(user);
    w->Cubic(w->current, w->Map(c1), w->Map(c2), w->Map(to), 0);
    return 0;
}

}  // namespace

bool WriteOutlineStream(const FT_Outline& outline, double unitScale, std::vector<uint8_t>* out)
{
    TWriter w{out, unitScale};
    if (outline.n_contours > 0) {
        out->push_back(mvec::kFillA);
        out->push_back(1);
        FT_Outline_Funcs funcs{};
        funcs.move_to = MoveTo;
        funcs.line_to = LineTo;
        funcs.conic_to = ConicTo;
        funcs.cubic_to = CubicTo;
        FT_Outline copy = outline;
        if (FT_Outline_Decompose(&copy, &funcs, &w) != 0)
            return false;
        w.Close();
    }
    out->push_back(mvec::kEnd);
    return w.fits;
}
