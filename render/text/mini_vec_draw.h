#pragma once
// A small anti-aliased scan-line rasteriser for the outline command streams of mvec_format.h
// (glyphs, the text cursor and underline). Shapes are filled even-odd in layers, optionally
// stroked with two outline widths, scaled, rotated and slanted; the result is horizontal spans
// coloured from 32-step coverage ramps, sent to the screen as lines or written into pixels.
// Spans are cached per stream address, transform and sub-pixel position.
//   drawer.SetColor(TZvMiniVecDraw::kFillSlot, TColor(1, 1, 1, 1), 1.0f);
//   drawer.StartSurface(10.0f, 20.0f, &surface);   // or Start with a texture, null: the screen
//   drawer.Draw(font.GetGlyphData(g), 0, 0);
//   drawer.Stop();

#include "core/math/color.h"
#include "render/renderer/render_types.h"
#include "render/text/pixel_surface.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class TTexture;

class TZvMiniVecDraw
{
public:
    static constexpr int kFillSlot = 1;
    static constexpr int kBoldSlot = 254;
    static constexpr int kOutlineSlot = 255;
    static constexpr int kRampSteps = 32;

    TZvMiniVecDraw();
    ~TZvMiniVecDraw();
    TZvMiniVecDraw(const TZvMiniVecDraw&) = delete;
    TZvMiniVecDraw& operator=(const TZvMiniVecDraw&) = delete;

    // Fills the coverage ramp the slot is drawn through; alpha multiplies the colour's alpha.
    void SetColor(int slot, const TColor& color, float alpha);
    // Entry `step` (0..31) of the ramp of `slot`, as spans get it.
    TColor32 GetRampColor(int slot, int step) const;

    // Position in pixels. A null texture draws to the screen through the renderer; a texture
    // stays locked until Stop or a Start with another target. Always true.
    bool Start(float x, float y, std::shared_ptr<TTexture> target);
    // The same into a memory surface that the caller keeps alive until Stop.
    bool StartSurface(float x, float y, TPixelSurface* surface);
    // One shape at (x, y) quarter pixels from the start position.
    void Draw(const unsigned char* commands, int x, int y);
    void Stop();
    void Flush();
    void Calibrate();
    // Locks the texture for span writes and takes its size; false (and no pixels) when it
    // cannot be locked.
    bool GetPixelAccess(std::shared_ptr<TTexture> texture);

    // A filled box from (x1, y1) to (x2, y2) in shape units, drawn at (x, y).
    static void DrawBox(TZvMiniVecDraw* drawer, int x1, int y1, int x2, int y2, int x, int y);

    // Drawing state, set before each shape.
    void SetScale(float sx, float sy)
    {
        mScaleX = sx;
        mScaleY = sy;
    }
    void SetRotation(float cosine, float sine)
    {
        mCos = cosine;
        mSin = sine;
    }
    void SetStrokeWidths(float w0, float w1)
    {
        mStroke[0] = w0;
        mStroke[1] = w1;
    }
    void SetItalic(bool on) { mItalic = on; }
    void SetNoBlend(bool on) { mNoBlend = on; }
    void SetAlphaBlend(bool on) { mAlphaBlend = on; }

    // Drops cached spans of streams inside [begin, end).
    void ForgetStreams(const unsigned char* begin, const unsigned char* end);
    void ClearCache();
    size_t CachedShapeCount() const { return mCache.size(); }
    // Shapes rasterised so far (not replayed from the cache).
    size_t RasterisedCount() const { return mRasterised; }

private:
    struct TSpan
    {
        int16_t x0, x1, y;  // pixels from the shape's origin; x1 exclusive
        uint8_t level;      // ramp step
        uint8_t ramp;
    };
    static_assert(sizeof(TSpan) == 8);

    struct TEdge
    {
        float x0, y0, slope;
        int rowStart, rowEnd;  // sub-rows covered, end exclusive
        int8_t dir;            // +1 running up, -1 down
        uint8_t color;
        uint8_t layer;
    };

    struct TCacheKey
    {
        const unsigned char* stream;
        int subX, subY;
        uint32_t scaleX, scaleY, stroke0, stroke1, cosine, sine;
        bool italic;
        bool operator==(const TCacheKey&) const = default;
    };
    struct TCacheKeyHash
    {
        size_t operator()(const TCacheKey& k) const;
    };

    TCacheKey MakeKey(const unsigned char* commands, int subX, int subY) const;
    void DrawShape(const unsigned char* commands, int x, int y, bool cached);
    void Rasterise(const unsigned char* commands, int subX, int subY, std::vector<TSpan>* out);
    void SetEdge(float x0, float y0, float x1, float y1, int layer);
    void SetEdgeOutline(float x0, float y0, float x1, float y1, int layer);
    void ScanConvert(int subX, int subY, std::vector<TSpan>* out);
    void AddStretch(int ramp, int a, int b);
    void FlushCoverageRow(int row, std::vector<TSpan>* out);
    void Replay(const std::vector<TSpan>& spans, int shapeX, int shapeY);
    void WritePixels(int x0, int x1, int y, TColor32 color);
    void AddLine(float x0, float x1, float y, TColor32 color);
    bool HasPixels() const { return mPixels.pixels != nullptr; }

    // Ramps: 0 outline, 1 bold stroke, 2 other slots, 3 fill.
    TColor32 mRamps[4][kRampSteps] = {};

    float mScaleX = 1, mScaleY = 1;
    float mCos = 1, mSin = 0;
    float mStroke[2] = {0, 0};
    bool mItalic = false;
    bool mNoBlend = false;
    bool mAlphaBlend = false;
    int mOriginX = 0, mOriginY = 0;
    int mSubX = 0, mSubY = 0;
    float mAdjustLeft = 0.25f, mAdjustRight = 0.25f, mAdjustY = 0.25f;

    // The shape being read.
    std::vector<TEdge> mEdges;
    uint8_t mFillA = 0, mFillB = 0;
    int mLayer = 2;

    // Coverage differences of the pixel row being built, one row per ramp.
    static constexpr int kColumns = 3200;
    std::vector<int32_t> mCoverage[4];
    int mTouchedLow[4], mTouchedHigh[4];

    std::unordered_map<TCacheKey, std::vector<TSpan>, TCacheKeyHash> mCache;
    size_t mCachedSpans = 0;
    size_t mRasterised = 0;

    // Output.
    std::shared_ptr<TTexture> mTexture;
    bool mLocked = false;
    bool mToScreen = false;
    TPixelSurface mPixels;
    // Spans to the screen are in pixels of the whole target: text drawing adds the viewport's
    // corner to its origin, so viewport-relative vertices would be offset twice.
    std::vector<TPreScaledTransformedLitVert> mBatch;

    // Every drawer alive, so freed font memory can be dropped from all caches.
    TZvMiniVecDraw* mNextLive = nullptr;
    TZvMiniVecDraw* mPrevLive = nullptr;
    friend void ForgetCachedStreams(const unsigned char*, const unsigned char*);
};
