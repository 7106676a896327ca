#include "render/text/mvec_font.h"

#include "core/debug/debug_log.h"
#include "render/text/mvec_format.h"
#include "render/text/text_services.h"

#include <algorithm>
#include <cstring>

namespace {

// Stands in for a damaged outline, so a bad glyph draws nothing instead of reading garbage.
const unsigned char kEmptyStream[1] = {mvec::kEnd};

}  // namespace

TMvecFont::TMvecFont(std::unique_ptr<unsigned char[]> data, size_t size) : mData(std::move(data)), mSize(size)
{
    if (!mData)
        mSize = 0;
    if (!Load()) {
        mCodes.clear();
        mGlyphs.clear();
        mScaleY.clear();
        return;
    }
    ComputeMetrics();
}

TMvecFont::~TMvecFont()
{
    // The drawer's span cache keys on stream addresses, which this block may reuse later.
    ForgetCachedStreams(BlockBegin(), BlockEnd());
}

bool TMvecFont::Load()
{
    const unsigned char* d = mData.get();
    if (!d || mSize < mvec::kHeaderSize || std::memcmp(d, mvec::kMagic, 4) != 0) {
        if (d)
            WriteDbg("ERROR: vector font: not a font block (%zu bytes, bad header)", mSize);
        return false;
    }
    const size_t count = mvec::ReadU16(d + 4);
    const size_t streamsStart = mvec::kHeaderSize + count * mvec::kRecordSize;
    if (streamsStart > mSize) {
        WriteDbg("ERROR: vector font: %zu glyph records need %zu bytes, the block has %zu", count, streamsStart, mSize);
        return false;
    }
    mCodes.resize(count);
    mGlyphs.resize(count);
    mScaleY.assign(count, 1.0f);
    size_t damaged = 0;
    bool sorted = true;
    for (size_t i = 0; i < count; ++i) {
        const unsigned char* r = d + mvec::kHeaderSize + i * mvec::kRecordSize;
        mCodes[i] = mvec::ReadU32(r);
        if (i > 0 && mCodes[i] <= mCodes[i - 1])
            sorted = false;
        TGlyph& g = mGlyphs[i];
        g.minX = mvec::ReadS16(r + 4) * mvec::kUnit;
        g.maxX = mvec::ReadS16(r + 6) * mvec::kUnit;
        g.top = mvec::ReadS16(r + 8) * mvec::kUnit;
        g.bottom = mvec::ReadS16(r + 10) * mvec::kUnit;
        g.advance = mvec::ReadS16(r + 12) * mvec::kUnit;
        const size_t offset = mvec::ReadU32(r + 14);
        // Streams live after the records; one that runs off the block or holds a byte that is
        // not a command is replaced by an empty one.
        if (offset >= streamsStart && offset < mSize && mvec::StreamLength(d + offset, mSize - offset) > 0) {
            g.stream = d + offset;
        } else {
            g.stream = kEmptyStream;
            ++damaged;
        }
    }
    if (damaged > 0)
        WriteDbg("WARNING: vector font: %zu of %zu glyph outlines are damaged and draw nothing", damaged, count);
    if (!sorted)
        WriteDbg("WARNING: vector font: glyph codes are not in ascending order; some glyphs will not be found");
    return true;
}

void TMvecFont::ComputeMetrics()
{
    const int w = GetGlyphIndex('W');
    if (w >= 0) {
        mAscent = -mGlyphs[w].top;
    } else {
        // No 'W': the tallest ASCII glyph stands in.
        for (unsigned long code = 0; code < 128; ++code) {
            const int i = GetGlyphIndex(code);
            if (i >= 0)
                mAscent = std::max(mAscent, -mGlyphs[i].top);
        }
    }
    mDescent = 0;
    for (unsigned long code = 0; code < 128; ++code) {
        if (code == '_')
            continue;
        const int i = GetGlyphIndex(code);
        if (i >= 0)
            mDescent = std::max(mDescent, mGlyphs[i].bottom);
    }
    const float s = kLeadingTop + kLeadingBottom;
    const float total = (mAscent + mDescent) * s / (1.0f - s);
    const float above = kLeadingTop * total / s + mAscent;
    const float below = kLeadingBottom * total / s + mDescent;
    for (size_t i = 0; i < mGlyphs.size(); ++i) {
        const float up = above > 0 ? -mGlyphs[i].top / above : 0.0f;
        const float down = below > 0 ? mGlyphs[i].bottom / below : 0.0f;
        if (up > 1.0f || down > 1.0f)
            mScaleY[i] = 1.0f / std::max(up, down);
    }
}

int TMvecFont::GetGlyphIndex(unsigned long code) const
{
    int lo = 0;
    int hi = static_cast<int>(mCodes.size()) - 1;
    while (lo <= hi) {
        const int probe = (lo + hi) / 2;
        if (mCodes[probe] > code)
            hi = probe - 1;
        else if (mCodes[probe] < code)
            lo = probe + 1;
        else
            return probe;
    }
    return -1;
}

const unsigned char* TMvecFont::GetGlyphData(int i) const
{
    return i >= 0 && i < GetGlyphCount() ? mGlyphs[i].stream : nullptr;
}

float TMvecFont::GetGlyphMinX(int i) const
{
    return i >= 0 && i < GetGlyphCount() ? mGlyphs[i].minX : 0.0f;
}
float TMvecFont::GetGlyphMaxX(int i) const
{
    return i >= 0 && i < GetGlyphCount() ? mGlyphs[i].maxX : 0.0f;
}
float TMvecFont::GetGlyphAdvance(int i) const
{
    return i >= 0 && i < GetGlyphCount() ? mGlyphs[i].advance : 0.0f;
}
float TMvecFont::GetGlyphTop(int i) const
{
    return i >= 0 && i < GetGlyphCount() ? mGlyphs[i].top : 0.0f;
}
float TMvecFont::GetGlyphBottom(int i) const
{
    return i >= 0 && i < GetGlyphCount() ? mGlyphs[i].bottom : 0.0f;
}
float TMvecFont::GetGlyphScaleY(int i) const
{
    return i >= 0 && i < GetGlyphCount() ? mScaleY[i] : 1.0f;
}

float TMvecFont::GetLeading(bool top) const
{
    const float s = kLeadingTop + kLeadingBottom;
    const float total = (mAscent + mDescent) * s / (1.0f - s);
    return (top ? kLeadingTop : kLeadingBottom) * total / s;
}
