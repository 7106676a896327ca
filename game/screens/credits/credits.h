#pragma once
// The credits screen: a text file of credit lines rolls upward through the window in an
// endless loop, in a left and a right column for "role|name" lines and a full-width centre
// column for the rest; "[" and "]" mark header parts shown in the header colour.
//   TCredits{ file = "credits/credits.txt", time = 60000, intropause = 2000, font = "fonts/default.mvec",
//             fontsize = 20, columngap = 20, columnwidth = 360, headercolor = Color(255, 210, 120) }

#include "core/math/color.h"
#include "core/text/str.h"
#include "ui/window/window.h"

#include <memory>

class TTextGraphic;

class TCredits : public TWindow
{
    TV_CLASS(TCredits, TWindow)

public:
    TCredits();
    ~TCredits() override;
    static TWindow* DynamicCreate();
    void Init(TWindowStyle& style) override;
    bool OnTaskAnimate() override;
    void Draw() override;

    // Read after Init: the three column texts (one copy) and one copy's height in pixels.
    const str& GetColumnText(int column) const { return mTexts[column]; }
    int GetLoopLength() const { return mLoopLength; }
    // The roll's offset in pixels after `elapsed` milliseconds.
    float OffsetAt(uint32_t elapsed) const;

    enum
    {
        kLeft = 0,
        kRight = 1,
        kCentre = 2
    };

private:
    void ReadFile(const str& path);
    void MakeColumns();

    std::unique_ptr<TTextGraphic> mColumns[3];
    str mTexts[3];
    uint32_t mStartTime = 0;
    bool mStarted = false;
    int mLoopLength = 0;
    str mFont;
    int mFontSize = 16;
    int mColumnGap = 0;
    uint32_t mPeriod = 0;
    uint32_t mIntroPause = 0;
    int mColumnWidth = 0;
    TColor mTextColor{1, 1, 1, 1};
    str mHeaderColor;
};

// One credit text as text markup: trimmed of blanks and tabs, "[" and "]" around header
// parts turned into the header colour, a line break at the end.
str CreditLine(const str& line, const str& headerColor);
