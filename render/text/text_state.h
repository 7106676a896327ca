#pragma once
// The state of the rich-text tag interpreter: nested font levels, style switches, justification,
// link and outline; ParseTag reads one tag and updates it.
//   bool br, cursor, justify; int used, pad = 0, tab;
//   if (state.ParseTag("<font size=\"20\">", &used, &br, &pad, &cursor, &justify, &tab)) ...

#include "core/math/color.h"
#include "core/text/str.h"

class TTextState
{
public:
    static constexpr int kLevels = 32;
    static constexpr int kTagBuffer = 128;

    struct TFontLevel
    {
        str face;
        int size = 16;
        TColor color;
    };

    TTextState();
    // Level 0 = the given font, every switch off, justification from the graphic's flags.
    void Reset(const str& face, int size, const TColor& color);

    // Interprets the tag at s (zero-terminated). False when s holds no complete tag, which is
    // then ordinary text. Outputs: bytes consumed, line break, padding (set only by a "br" with
    // "pad"), cursor, justification changed, tab position in quarter pixels (0 = none).
    bool ParseTag(const char* s, int* consumed, bool* lineBreak, int* padding, bool* cursor, bool* justifyChanged,
                  int* tab);
    // The value of attribute `name` in a tag buffer as ParseTag stores it; false when absent.
    static bool GetAttribute(const char* tag, const char* name, char* value);

    // Deeper nesting than kLevels is counted; the deepest stored level stands for the rest.
    const TFontLevel& CurrentLevel() const { return mLevels[StoredIndex(mLevel)]; }
    TFontLevel& CurrentLevel() { return mLevels[StoredIndex(mLevel)]; }
    int LevelIndex() const { return mLevel; }
    // -1: the graphic's own flags; 0 left, 1 centre, 2 right.
    int CurrentJustify() const { return mJustify[StoredIndex(mJustifyIndex)]; }
    void PushJustify(int value);
    void PopJustify();

    bool mBold = false;
    bool mItalic = false;
    bool mUnderline = false;
    str mLinkId;
    TColor mLinkColor;
    float mOutlineSize = 0;
    TColor mOutlineColor;

private:
    static int StoredIndex(int i) { return i < 0 ? 0 : i >= kLevels ? kLevels - 1 : i; }
    void PushFont();
    void PopFont();

    TFontLevel mLevels[kLevels];
    int mLevel = 0;
    int mJustify[kLevels];
    int mJustifyIndex = 0;
};
