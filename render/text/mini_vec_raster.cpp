// Reading a command stream into edges and scan-converting them into coverage spans.

#include "render/text/mini_vec_draw.h"

#include "render/text/mvec_format.h"

#include <algorithm>
#include <cmath>

namespace {

// Shapes are clipped to 1600 pixels around their origin, in quarter pixels.
constexpr float kLimitQ = 6400.0f;
constexpr int kLimitRows = 6400;
constexpr int kCurvePieces = 3;

int FloorDiv4(int v)
{
    return v >= 0 ? v / 4 : -((-v + 3) / 4);
}

// Rounds to the nearest integer, held inside ±limit first so huge values never overflow.
int ClampRound(float v, float limit)
{
    if (!(v > -limit))
        return -static_cast<int>(limit);
    if (!(v < limit))
        return static_cast<int>(limit);
    return static_cast<int>(std::floor(v + 0.5f));
}

// First sub-row whose middle lies at or below y, held near the clip limit.
int CeilRow(float y)
{
    const float row = std::clamp(std::ceil(y - 0.5f), -kLimitQ - 1, kLimitQ + 1);
    return static_cast<int>(row);
}

}  // namespace

void TZvMiniVecDraw::Rasterise(const unsigned char* commands, int subX, int subY, std::vector<TSpan>* out)
{
    ++mRasterised;
    mEdges.clear();
    mFillA = mFillB = 0;
    mLayer = 2;
    int colorCount = 0;
    int colorBase = 0;
    float px = 0, py = 0;
    const unsigned char* p = commands;
    for (;;) {
        const uint8_t command = *p;
        // Bytes that are not commands end the shape like the end command.
        if (mvec::ArgumentBytes(command) < 0 || command == mvec::kEnd)
            break;
        const unsigned char* a = p + 1;
        p += 1 + mvec::ArgumentBytes(command);
        auto coord = [a](int i) { return mvec::ReadS16(a + 2 * i) * mvec::kUnit; };
        switch (command) {
        case mvec::kLayer:
            // Four layers exist; further layer commands keep drawing into the last.
            if (mLayer < 3)
                ++mLayer;
            colorBase = colorCount;
            mFillA = mFillB = 0;
            break;
        case mvec::kFillA: mFillA = a[0] == 0 ? 0 : static_cast<uint8_t>(std::min(colorBase + a[0], 253)); break;
        case mvec::kFillB: mFillB = a[0] == 0 ? 0 : static_cast<uint8_t>(std::min(colorBase + a[0], 253)); break;
        case mvec::kMove:
            px = coord(0);
            py = coord(1);
            break;
        case mvec::kLine: {
            const float qx = coord(0), qy = coord(1);
            for (int layer = 0; layer < 2 && mStroke[layer] != 0; ++layer)
                SetEdgeOutline(px, py, qx, qy, layer);
            SetEdge(px, py, qx, qy, mLayer);
            px = qx;
            py = qy;
            break;
        }
        case mvec::kCurve: {
            const float cx = coord(0), cy = coord(1), qx = coord(2), qy = coord(3);
            for (int piece = 1; piece <= kCurvePieces; ++piece) {
                const float t = float(piece) / kCurvePieces;
                const float nx = px + t * 2 * (cx - px) + t * t * (px - 2 * cx + qx);
                const float ny = py + t * 2 * (cy - py) + t * t * (py - 2 * cy + qy);
                for (int layer = 0; layer < 2 && mStroke[layer] != 0; ++layer)
                    SetEdgeOutline(px, py, nx, ny, layer);
                SetEdge(px, py, nx, ny, mLayer);
                px = nx;
                py = ny;
            }
            px = qx;
            py = qy;
            break;
        }
        case mvec::kDefineColor:
            ++colorCount;
            if (colorCount < TZvMiniVecDraw::kBoldSlot)
                SetColor(colorCount, TColor(a[0] / 255.0f, a[1] / 255.0f, a[2] / 255.0f, 1.0f), 1.0f);
            break;
        default: break;
        }
    }
    ScanConvert(subX, subY, out);
}

void TZvMiniVecDraw::SetEdge(float x0, float y0, float x1, float y1, int layer)
{
    if (mItalic) {
        x0 -= y0 / 3;
        x1 -= y1 / 3;
    }
    x0 *= mScaleX;
    x1 *= mScaleX;
    y0 *= mScaleY;
    y1 *= mScaleY;
    if (mSin != 0) {
        const float rx0 = x0 * mCos - y0 * mSin, ry0 = y0 * mCos + x0 * mSin;
        const float rx1 = x1 * mCos - y1 * mSin, ry1 = y1 * mCos + x1 * mSin;
        x0 = rx0;
        y0 = ry0;
        x1 = rx1;
        y1 = ry1;
    }
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1))
        return;
    TEdge e{};
    e.dir = -1;
    if (y0 > y1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
        e.dir = 1;
    }
    // A sub-row is crossed when its middle lies in [y0, y1).
    e.rowStart = CeilRow(y0);
    e.rowEnd = CeilRow(y1);
    e.rowStart = std::max(e.rowStart, -kLimitRows);
    e.rowEnd = std::min(e.rowEnd, kLimitRows);
    if (e.rowStart >= e.rowEnd)
        return;
    e.x0 = x0;
    e.y0 = y0;
    e.slope = (x1 - x0) / (y1 - y0);
    e.layer = static_cast<uint8_t>(layer);
    e.color = layer >= 2 ? (mFillA != 0 ? mFillA : mFillB) : 0;
    mEdges.push_back(e);
}

void TZvMiniVecDraw::SetEdgeOutline(float x0, float y0, float x1, float y1, int layer)
{
    const float dx = x1 - x0, dy = y1 - y0;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (!(length > 0) || mScaleX == 0 || mScaleY == 0)
        return;
    const float d = 4.0f * mStroke[layer];
    const float kx = d / mScaleX * (dx / length);
    const float ky = d / mScaleY * (dy / length);
    const float hex[6][2] = {{x0 + ky, y0 - kx}, {x0 - kx, y0 - ky}, {x0 - ky, y0 + kx},
                             {x1 - ky, y1 + kx}, {x1 + kx, y1 + ky}, {x1 + ky, y1 - kx}};
    for (int i = 0; i < 6; ++i) {
        const int j = (i + 1) % 6;
        SetEdge(hex[i][0], hex[i][1], hex[j][0], hex[j][1], layer);
    }
}

void TZvMiniVecDraw::ScanConvert(int subX, int subY, std::vector<TSpan>* out)
{
    if (mEdges.empty())
        return;
    std::sort(mEdges.begin(), mEdges.end(), [](const TEdge& a, const TEdge& b) { return a.rowStart < b.rowStart; });
    int lastRow = mEdges.front().rowStart;
    for (const TEdge& e : mEdges)
        lastRow = std::max(lastRow, e.rowEnd);

    struct TCrossing
    {
        int x;
        const TEdge* edge;
    };
    std::vector<const TEdge*> active;
    std::vector<TCrossing> crossings;
    size_t next = 0;
    int pixelRow = FloorDiv4(mEdges.front().rowStart + subY);
    for (int r = mEdges.front().rowStart; r < lastRow; ++r) {
        const int row = FloorDiv4(r + subY);
        if (row != pixelRow) {
            FlushCoverageRow(pixelRow, out);
            pixelRow = row;
        }
        while (next < mEdges.size() && mEdges[next].rowStart == r)
            active.push_back(&mEdges[next++]);
        std::erase_if(active, [r](const TEdge* e) { return e->rowEnd <= r; });
        if (active.empty())
            continue;
        crossings.clear();
        const float middle = r + 0.5f;
        for (const TEdge* e : active)
            crossings.push_back({ClampRound(e->x0 + (middle - e->y0) * e->slope, kLimitQ + 8) + subX, e});
        std::sort(crossings.begin(), crossings.end(), [](const TCrossing& a, const TCrossing& b) { return a.x < b.x; });
        int winding[2] = {0, 0};
        uint8_t fill[2] = {0, 0};  // layers 2 and 3, even-odd
        for (size_t k = 0; k + 1 < crossings.size(); ++k) {
            const TEdge* e = crossings[k].edge;
            if (e->layer < 2)
                winding[e->layer] += e->dir;
            else
                fill[e->layer - 2] = fill[e->layer - 2] ? 0 : e->color;
            int slot = 0;
            if (fill[1])
                slot = fill[1];
            else if (fill[0])
                slot = fill[0];
            else if (winding[1])
                slot = kBoldSlot;
            else if (winding[0])
                slot = kOutlineSlot;
            if (slot != 0 && crossings[k].x < crossings[k + 1].x) {
                const int ramp = slot == kOutlineSlot ? 0 : slot == kBoldSlot ? 1 : slot == kFillSlot ? 3 : 2;
                AddStretch(ramp, crossings[k].x, crossings[k + 1].x);
            }
        }
    }
    FlushCoverageRow(pixelRow, out);
}

void TZvMiniVecDraw::AddStretch(int ramp, int a, int b)
{
    const int limit = kColumns * 4;
    a = std::clamp(a + kLimitRows, 0, limit);
    b = std::clamp(b + kLimitRows, 0, limit);
    if (a >= b)
        return;
    std::vector<int32_t>& c = mCoverage[ramp];
    c[a >> 2] += 4 - (a & 3);
    c[(a >> 2) + 1] += a & 3;
    c[b >> 2] += (b & 3) - 4;
    c[(b >> 2) + 1] -= b & 3;
    mTouchedLow[ramp] = std::min(mTouchedLow[ramp], a >> 2);
    mTouchedHigh[ramp] = std::max(mTouchedHigh[ramp], (b >> 2) + 1);
}

void TZvMiniVecDraw::FlushCoverageRow(int row, std::vector<TSpan>* out)
{
    const int half = kColumns / 2;
    for (int ramp = 0; ramp < 4; ++ramp) {
        if (mTouchedHigh[ramp] < 0)
            continue;
        std::vector<int32_t>& c = mCoverage[ramp];
        int sum = 0;
        int runStart = 0;
        int runLevel = 0;
        auto emit = [&](int end) {
            if (runLevel > 0)
                out->push_back(TSpan{
                    static_cast<int16_t>(runStart - half), static_cast<int16_t>(end - half), static_cast<int16_t>(row),
                    static_cast<uint8_t>(std::min(runLevel, kRampSteps) - 1), static_cast<uint8_t>(ramp)});
        };
        for (int col = mTouchedLow[ramp]; col <= mTouchedHigh[ramp]; ++col) {
            sum += c[col];
            c[col] = 0;
            if (sum != runLevel) {
                emit(col);
                runStart = col;
                runLevel = sum;
            }
        }
        emit(mTouchedHigh[ramp] + 1);
        mTouchedLow[ramp] = kColumns + 2;
        mTouchedHigh[ramp] = -1;
    }
}
