#pragma once
// Rich text: a UTF-8 string with inline tags laid out into lines of styled runs and drawn with
// vector fonts, at any scale, alpha and rotation, to the screen or into a texture.
//   TTextGraphic* t = TTextGraphic::Create("Hello <b>world</b>", 200, 50,
//                                          TTextGraphic::kHAlignCenter, nullptr, 16, white);
//   t->Draw(TVec2(10, 10), 50, 1.0f, 0, 1.0f, nullptr);
//   str link = t->Pick(mouse, 0);
//   t->Destroy();
// Tags: <br pad="n">, </p>, <a id="x" color="rrggbb">, </a>, <b>, <i>, <u> and their closers,
// <cursor>, <center>, <left>, <right> and closers, <font size face color>, </font>,
// <outline size color>, </outline>, <tab pos="px">; "\" shows the next character as it is.
// Horizontal positions inside a line are quarter pixels ("q") while laying out; lines and runs
// store whole pixels.

#include "core/math/color.h"
#include "core/math/rect.h"
#include "core/math/vec.h"
#include "core/text/str.h"

#include <memory>
#include <vector>

class TMvecFont;
class TTexture;
class TTextState;
struct TPixelSurface;

struct TTextRun
{
    TMvecFont* font = nullptr;      // draws the run
    float scale = 0;                // q per font unit
    int size = 0;                   // pixels; 0 when the run holds no character
    int baseline = 0;               // q
    TMvecFont* faceFont = nullptr;  // the face's own font while `font` is the fallback
    TColor color;
    bool bold = false, italic = false, underline = false, cursor = false;
    int start = 0;            // byte index of the first character
    int end = -2;             // byte index closing the run (inclusive); below start: empty
    int left = 0, right = 0;  // pixels
    str linkId;
    TColor linkColor;
    float outlineSize = 0;  // pixels
    TColor outlineColor;
    int tabPosition = 0;  // q; 0 = none
};

struct TTextLine
{
    int height = 0;     // pixels
    int baseline = 0;   // q
    int x = 0;          // pixels: alignment anchor
    float xOffset = 0;  // pixels
    std::vector<TTextRun> runs;
};

class TTextGraphic
{
public:
    static constexpr unsigned int kHAlignLeft = 0;
    static constexpr unsigned int kHAlignCenter = 1;
    static constexpr unsigned int kHAlignRight = 2;
    static constexpr unsigned int kVAlignTop = 0;
    static constexpr unsigned int kVAlignCenter = 4;
    static constexpr unsigned int kVAlignBottom = 8;

    static TTextGraphic* Create(const str& text, unsigned int width, unsigned int height, unsigned int flags,
                                const char* font, unsigned int lineHeight, const TColor& color);
    // Deletes the graphic made by Create.
    void Destroy();

    TTextGraphic();
    ~TTextGraphic();
    TTextGraphic(const TTextGraphic&) = delete;
    TTextGraphic& operator=(const TTextGraphic&) = delete;

    // These lay the text out again when the value changes.
    void SetText(const str& text);
    void SetFont(const char* font);  // null or "" is the built-in font
    void SetLineHeight(unsigned int lineHeight);
    // Always lays out again.
    void SetRotation(float degrees, unsigned int cx, unsigned int cy);

    // Take effect at the next layout or draw.
    void SetColor(const TColor& color) { mColor = color; }
    void SetFlags(unsigned int flags) { mFlags = flags; }
    void SetTextRect(unsigned int width, unsigned int height)
    {
        mWidth = static_cast<int>(width);
        mHeight = static_cast<int>(height);
    }
    void SetNoBlend(bool on = true) { mNoBlend = on; }
    void SetAlphaBlend(bool on = true) { mAlphaBlend = on; }
    void SetScroll(float scroll) { mScroll = scroll; }
    float GetScroll() const { return mScroll; }

    str GetFont() const { return mFontName; }
    unsigned int GetLineHeight() const { return mLineHeight; }
    const str& GetText() const { return mText; }
    int GetLineCount() const { return static_cast<int>(mLines.size()); }
    const std::vector<std::shared_ptr<TTextLine>>& GetLines() const { return mLines; }
    float GetVerticalOffset() const { return mVerticalOffset; }
    // Line index from which the remaining lines fit the height; 0 when all fit.
    int GetMaxScroll(float scale, int lineSpacing) const;
    void GetTextBounds(TRect* r, float scale) const;
    // Link id of the run under p (unscaled layout space); "" for none.
    str Pick(const TPoint& p, int lineSpacing) const;
    // True when the link under p (none for null) differs from the last one seen.
    bool Rollover(const TPoint* p, int lineSpacing);
    const str& GetRolloverLink() const { return mRolloverLink; }

    // A negative scale draws nothing; a null target draws to the screen.
    void Draw(const TVec2& origin, unsigned int clipHeight, float scale, int lineSpacing, float alpha,
              std::shared_ptr<TTexture> target);
    void Draw(const TRect& r, float scale, int lineSpacing, float alpha, std::shared_ptr<TTexture> target);
    // The same into pixels in memory.
    void DrawToSurface(const TVec2& origin, unsigned int clipHeight, float scale, int lineSpacing, float alpha,
                       TPixelSurface* surface);

    void RenderText();

private:
    struct TDrawTarget
    {
        std::shared_ptr<TTexture> texture;
        TPixelSurface* surface = nullptr;
    };
    struct TLineCursor;

    void DrawTo(TVec2 origin, unsigned int clipHeight, float scale, int lineSpacing, float alpha,
                const TDrawTarget& target);
    TTextRun MakeRun(int start, TMvecFont* fallback) const;
    void LayoutStep(TLineCursor& c, TTextLine& line, TTextRun& run, TMvecFont* fallback);
    void CutAtLastSpace(TLineCursor& c, TTextLine& line, TTextRun& run);
    void CloseLine(TLineCursor& c, std::shared_ptr<TTextLine> line);
    static void ShownRows(const TDrawTarget& target, float* top, float* bottom);
    void DrawLine(const TTextLine& line, float y0, TVec2 origin, float scale, float alpha, const TDrawTarget& target,
                  int textLength);

    str mText;
    std::unique_ptr<TTextState> mState;
    int mBoxLeft = 0, mBoxTop = 0, mBoxRight = 0, mBoxHeight = 0;
    int mWidth = 0;
    int mHeight = 0;
    float mCos = 1, mSin = 0;
    int mRotateX = 0, mRotateY = 0;
    bool mNoBlend = false;
    bool mAlphaBlend = false;
    std::vector<std::shared_ptr<TTextLine>> mLines;
    str mFontName = "__DEFAULT";
    unsigned int mLineHeight = 0;
    TColor mColor;
    float mScroll = 0;
    float mVerticalOffset = 0;
    str mRolloverLink;
    unsigned int mFlags = 0;
    bool mSpriteRender = false;
    int mJustifyOverride = -1;
};
