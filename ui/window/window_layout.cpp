// Placement of a window from its style. Positions and sizes carry an encoding relative to
// the parent's extent P:
//   position p > 106666          P - (160000 - p): measured from the far edge
//   40000 < p <= 106666          centred, offset p - 80000
//   p < 0 (no alignment)         P + p
//   size 0..80000                absolute
//   size > 80000                 P - (160000 - s), shrunk to stay inside the parent
//   size < 0                     extent -s, with p naming the far edge

#include "core/text/str.h"
#include "ui/style/window_style.h"
#include "ui/window/window.h"

namespace {

constexpr int kRelativeLow = 40000;
constexpr int kCentreHigh = 106666;

struct TAxis
{
    int position;
    int size;
};

bool IsCentred(int p)
{
    return p > kRelativeLow && p <= kCentreHigh;
}

bool IsFarEdge(int p)
{
    return p > kCentreHigh;
}

// The position of a window of extent s (0..80000) inside a parent of extent P.
int ResolvePosition(int p, int s, int P, bool aligned)
{
    if (IsFarEdge(p))
        return P + p - TWindow::kMax;
    if (IsCentred(p))
        return (P / 2 - s / 2) + p - TWindow::kCenter;
    if (p < 0 && !aligned)
        return P + p;
    return p;
}

// A size beyond 80000 (a parent-relative one) with a position of any kind.
TAxis ResolveStretched(int p, int s, int P, bool aligned)
{
    if (p < 0 && !aligned)
        p += P;
    if (p <= kRelativeLow)
        return TAxis{p, P + s - p - TWindow::kMax};
    const int offset = IsCentred(p) ? p - TWindow::kCenter : P + p - TWindow::kMax;
    if (offset < 0)
        return TAxis{0, P + s - TWindow::kMax + 2 * offset};
    return TAxis{2 * offset, P + s - TWindow::kMax - 2 * offset};
}

// centre/edge: the alignment bits of this axis; aligned: any alignment was given.
TAxis ResolveAxis(int p, int s, const TWindow* parent, int P, bool aligned, bool centre, bool edge)
{
    if (aligned && !(p >= kRelativeLow && p <= kCentreHigh)) {
        if (centre)
            p -= s / 2;
        if (edge)
            p -= s;
        if (s == 0)
            return TAxis{p, s};
    }
    if (!parent)
        return TAxis{p, s};
    if (s >= 0 && s <= TWindow::kCenter)
        return TAxis{ResolvePosition(p, s, P, aligned), s};
    if (s < 0 && -s <= TWindow::kCenter) {
        const int extent = -s;
        return TAxis{ResolvePosition(p, extent, P, aligned) - extent, extent};
    }
    if (s > TWindow::kCenter)
        return ResolveStretched(p, s, P, aligned);
    // A far-edge extent beyond the parent's: only a centred or far-edge position has a meaning.
    if (IsCentred(p) || IsFarEdge(p))
        return ResolveStretched(p, -s, P, aligned);
    return TAxis{p, s};
}

// Relative values need a sized parent; the second layout pass places the window then.
bool WaitsForParent(int p, int s, int parentExtent)
{
    return parentExtent == 0 && (s < 0 || p < 0 || s > TWindow::kCenter || p > kRelativeLow);
}

}  // namespace

void TWindow::Init(TWindowStyle& style)
{
    mName = style.GetString("name", str());
    SizeAndPositionFromStyle(style);
}

void TWindow::PostChildrenInit(TWindowStyle& style)
{
    if (style.GetBool("fit", false))
        FitToChildren();
    SizeAndPositionFromStyle(style);
}

void TWindow::SizeAndPositionFromStyle(TWindowStyle& style)
{
    const int x = style.GetInt("x", 0);
    const int y = style.GetInt("y", 0);
    const int w = style.GetInt("w", GetWindowWidth());
    const int h = style.GetInt("h", GetWindowHeight());

    const int parentWidth = mParent ? mParent->GetWindowWidth() : 0;
    const int parentHeight = mParent ? mParent->GetWindowHeight() : 0;
    if (mParent && (WaitsForParent(x, w, parentWidth) || WaitsForParent(y, h, parentHeight)))
        return;
    if ((static_cast<unsigned>(x) > unsigned(kRelativeLow) && w == 0) ||
        (static_cast<unsigned>(y) > unsigned(kRelativeLow) && h == 0))
        return;

    const int align = style.GetInt("align", -1);
    const bool aligned = align != -1;
    const TAxis horizontal =
        ResolveAxis(x, w, mParent, parentWidth, aligned, aligned && (align & 1), aligned && (align & 2));
    const TAxis vertical =
        ResolveAxis(y, h, mParent, parentHeight, aligned, aligned && (align & 4), aligned && (align & 8));

    // Edges and sizes already set (by code or an earlier pass) are kept.
    const int left = mRect.left != 0 ? mRect.left : horizontal.position;
    const int top = mRect.top != 0 ? mRect.top : vertical.position;
    SetWindowPos(left, top);
    const int width = GetWindowWidth() != 0 ? GetWindowWidth() : horizontal.size;
    const int height = GetWindowHeight() != 0 ? GetWindowHeight() : vertical.size;
    SetWindowSize(width, height);
}
