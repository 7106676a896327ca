#pragma once
// One vector font read from a ".mvec" block: glyph lookup by code point, per-glyph extents and
// outline streams (drawn by TZvMiniVecDraw), and the line metrics of text layout.
//   TMvecFont font(std::move(bytes), size);
//   int g = font.GetGlyphIndex('A');
//   if (g >= 0) drawer.Draw(font.GetGlyphData(g), x, y);
// A block that fails the checks gives an empty font: every lookup misses, every metric is 0.

#include <cstddef>
#include <memory>
#include <vector>

// Shares of a line's height above and below the glyph box, the same for every font.
inline constexpr float gLSTop = 0.15f;
inline constexpr float gLSBot = 0.05f;

class TMvecFont
{
public:
    static constexpr float kLeadingTop = gLSTop;
    static constexpr float kLeadingBottom = gLSBot;

    // Takes the block; `size` is its length in bytes.
    TMvecFont(std::unique_ptr<unsigned char[]> data, size_t size);
    ~TMvecFont();
    TMvecFont(const TMvecFont&) = delete;
    TMvecFont& operator=(const TMvecFont&) = delete;

    // -1 when the font has no glyph for the code.
    int GetGlyphIndex(unsigned long code) const;
    // The glyph's command stream, always ending in the end command; null outside the range.
    const unsigned char* GetGlyphData(int i) const;
    // Font units; 0 outside the range.
    float GetGlyphMinX(int i) const;
    float GetGlyphMaxX(int i) const;
    float GetGlyphAdvance(int i) const;
    float GetGlyphTop(int i) const;
    float GetGlyphBottom(int i) const;
    // Squeeze that keeps a tall glyph inside its line's box; 1.0 outside the range.
    float GetGlyphScaleY(int i) const;

    int GetGlyphCount() const { return static_cast<int>(mCodes.size()); }
    bool IsEmpty() const { return mCodes.empty(); }
    float GetAscent() const { return mAscent; }
    float GetDescent() const { return mDescent; }
    float GetLinePercent() const { return 1.0f - kLeadingTop - kLeadingBottom; }
    float GetLeading(bool top) const;
    bool GetForceBold() const { return mForceBold; }
    float GetBoldScale() const { return mBoldScale; }

    // The block's bytes, for callers that key caches on stream addresses.
    const unsigned char* BlockBegin() const { return mData.get(); }
    const unsigned char* BlockEnd() const { return mData.get() + mSize; }

private:
    struct TGlyph
    {
        float minX = 0, maxX = 0, top = 0, bottom = 0, advance = 0;
        const unsigned char* stream = nullptr;
    };

    bool Load();
    void ComputeMetrics();

    std::unique_ptr<unsigned char[]> mData;
    size_t mSize = 0;
    std::vector<unsigned long> mCodes;
    std::vector<TGlyph> mGlyphs;
    std::vector<float> mScaleY;
    float mAscent = 0;
    float mDescent = 0;
    bool mForceBold = false;
    float mBoldScale = 1.0f;
};
