// Laying the marked-up text out into lines and runs.

#include "render/text/text_graphic.h"

#include "core/config/config.h"
#include "core/debug/debug_log.h"
#include "render/text/font_data.h"
#include "render/text/mvec_font.h"
#include "render/text/text_services.h"
#include "render/text/text_state.h"
#include "render/text/text_units.h"

#include <algorithm>

using text_units::PxQ;
using text_units::RoundQ;
using text_units::TruncQ;

namespace {

bool Usable(const TMvecFont* font)
{
    return font && !font->IsEmpty() && font->GetAscent() + font->GetDescent() > 0;
}

// What a cut at the last space goes back to.
struct TSpaceMark
{
    int position = -1;  // byte index of the space
    int next = 0;       // byte index after it
    float penX = 0;
    float overhang = 0;
    float lastOutline = 0;
    bool lineItalic = false;
    bool useFallback = false;
    std::unique_ptr<TTextState> state;
    int tags = -1;  // the line's tag count when the state was kept
};

}  // namespace

struct TTextGraphic::TLineCursor
{
    const char* text = nullptr;
    int length = 0;
    int p = 0;
    bool useFallback = false;
    // The line.
    bool lineBreak = false;
    bool endedOnJustify = false;
    int padding = 0;
    float penX = 0;
    float overhang = 0;
    bool lineItalic = false;
    bool firstGlyph = true;
    bool firstChar = true;
    float firstOutline = 0;
    float lastOutline = 0;
    TSpaceMark space;
    int tags = 0;  // tags read on the line so far
    // The run.
    int count = 0;
    bool firstStep = true;
    float italicGap = 0;
};

TTextRun TTextGraphic::MakeRun(int start, TMvecFont* fallback) const
{
    const TTextState::TFontLevel& level = mState->CurrentLevel();
    TMvecFont* face = GetFontData()->GetMvec(level.face);
    TTextRun run;
    run.font = fallback ? fallback : face;
    run.faceFont = fallback ? face : nullptr;
    if (!Usable(run.font))
        run.font = nullptr;
    run.size = level.size;
    run.color = level.color;
    run.bold = mState->mBold;
    run.italic = mState->mItalic;
    run.underline = mState->mUnderline;
    run.linkId = mState->mLinkId;
    run.linkColor = mState->mLinkColor;
    run.outlineSize = mState->mOutlineSize;
    run.outlineColor = mState->mOutlineColor;
    run.start = start;
    if (run.font) {
        run.scale = run.font->GetLinePercent() * static_cast<float>(run.size) * 4.0f /
                    (run.font->GetAscent() + run.font->GetDescent());
        str lower = level.face;
        lower.downcase();
        if (lower.find(str("lithos")) != str::npos)
            run.scale *= 0.7f;
        run.baseline = TruncQ(run.scale * (run.font->GetAscent() + run.font->GetLeading(true)));
    }
    return run;
}

void TTextGraphic::RenderText()
{
    mBoxLeft = mBoxTop = mBoxRight = mBoxHeight = 0;
    mLines.clear();
    mState->Reset(mFontName, static_cast<int>(std::min(mLineHeight, 4096u)), mColor);
    TMvecFont* fallback = GetFontData()->GetMvec(TFontData::kFallbackFile);
    TLineCursor c;
    c.text = mText.c_str();
    c.length = static_cast<int>(mText.length());
    mJustifyOverride = -1;
    int total = 0;
    while (c.p < c.length) {
        auto line = std::make_shared<TTextLine>();
        c.lineBreak = c.endedOnJustify = false;
        c.padding = 0;
        c.penX = c.overhang = 0;
        c.lineItalic = false;
        c.firstGlyph = c.firstChar = true;
        c.firstOutline = c.lastOutline = 0;
        c.space = TSpaceMark();
        c.tags = 0;
        while (c.p < c.length && !c.lineBreak) {
            TTextRun run = MakeRun(c.p, c.useFallback ? fallback : nullptr);
            run.left = PxQ(c.penX);
            c.italicGap = 0;
            if (run.italic != c.lineItalic) {
                if (run.font)
                    c.italicGap = run.scale / 3 * (c.lineItalic ? run.font->GetAscent() : run.font->GetDescent());
                c.penX += c.italicGap;
                c.lineItalic = run.italic;
            }
            run.end = -2;
            c.count = 0;
            c.firstStep = true;
            while (run.end == -2) {
                if (c.p >= c.length) {
                    run.end = c.p - 1;
                    break;
                }
                LayoutStep(c, *line, run, fallback);
                c.firstStep = false;
            }
            run.right = PxQ(c.penX);
            if (c.count == 0) {
                run.size = 0;
                run.baseline = 0;
            }
            line->height = std::max(line->height, run.size);
            line->baseline = std::max(line->baseline, run.baseline);
            line->runs.push_back(std::move(run));
        }
        CloseLine(c, line);
        total += mLines.back()->height;
    }
    if (mFlags & kVAlignCenter) {
        mBoxTop = mHeight / 2;
        mVerticalOffset = static_cast<float>(-total) * 0.5f;
    } else if (mFlags & kVAlignBottom) {
        mBoxTop = mHeight;
        mVerticalOffset = static_cast<float>(-total);
    } else {
        mBoxTop = 0;
        mVerticalOffset = 0;
    }
    mBoxHeight = total;
}

void TTextGraphic::LayoutStep(TLineCursor& c, TTextLine& line, TTextRun& run, TMvecFont* fallback)
{
    int consumed = 0;
    bool lineBreak = false, cursor = false, justify = false;
    int tab = 0;
    if (mState->ParseTag(c.text + c.p, &consumed, &lineBreak, &c.padding, &cursor, &justify, &tab)) {
        ++c.tags;
        if (cursor) {
            if (c.firstStep)
                c.penX -= c.italicGap;
            ++c.count;
        } else if (lineBreak) {
            ++c.count;  // an empty line keeps its height
        }
        run.end = c.p - 1;
        run.cursor = cursor;
        if (lineBreak)
            c.lineBreak = true;
        if (justify)
            c.lineBreak = c.endedOnJustify = true;
        if (tab != 0) {
            c.penX = static_cast<float>(tab);
            run.tabPosition = tab;
        }
        c.p += std::max(consumed, 1);
        return;
    }

    ++c.count;
    const text_units::TDecoded ch = text_units::DecodeTextChar(c.text, c.p, c.length);
    if (ch.code == ' ') {
        c.space.position = c.p;
        c.space.next = c.p + ch.length;
        c.space.penX = c.penX;
        c.space.overhang = c.overhang;
        c.space.lastOutline = c.lastOutline;
        c.space.lineItalic = c.lineItalic;
        c.space.useFallback = c.useFallback;
        // Only a tag changes the state: between tags every space would keep the same copy.
        if (c.space.tags != c.tags) {
            c.space.state = std::make_unique<TTextState>(*mState);
            c.space.tags = c.tags;
        }
    }
    const float penBefore = c.penX, overhangBefore = c.overhang;
    const float firstOutlineBefore = c.firstOutline, lastOutlineBefore = c.lastOutline;
    const bool firstGlyphBefore = c.firstGlyph;

    if (!run.font) {
        WriteDbg("ERROR: FONT missing in text when attempting to render string %s.", mText.c_str());
    } else if (run.faceFont && run.faceFont->GetGlyphIndex(ch.code) >= 0) {
        // Back to the face as soon as it has the character.
        run.end = c.p - 1;
        c.useFallback = false;
        --c.count;
        return;
    } else if (const int g = run.font->GetGlyphIndex(ch.code); g >= 0) {
        c.penX += c.overhang;
        const float a = run.font->GetGlyphAdvance(g);
        const float m = run.font->GetGlyphMaxX(g);
        if (m <= a) {
            c.penX += a * run.scale;
            c.overhang = 0;
        } else {
            c.penX += m * run.scale;
            c.overhang = run.scale * (a - m);
        }
        if (c.firstGlyph) {
            c.penX += 4.0f - run.scale * run.font->GetGlyphMinX(g);
            c.firstOutline = c.lastOutline = run.outlineSize;
            c.firstGlyph = false;
        } else {
            c.lastOutline = run.outlineSize;
        }
    } else if (Usable(fallback) && run.font != fallback && fallback->GetGlyphIndex(ch.code) >= 0) {
        run.end = c.p - 1;
        c.useFallback = true;
        --c.count;
        return;
    }

    if (ch.code == '\n') {
        run.end = c.p - 1;
        c.lineBreak = true;
        c.p += ch.length;
        return;
    }
    if (RoundQ((c.firstOutline + 1.0f + c.lastOutline) * 4.0f + c.penX) > mWidth * 4) {
        if (c.space.penX != 0 && c.space.position >= 0) {
            CutAtLastSpace(c, line, run);
            return;
        }
        if (!c.firstChar) {
            if (!TConfig::LegacyLineWrap()) {
                // The character moves whole to the next line.
                c.penX = penBefore;
                c.overhang = overhangBefore;
                c.firstOutline = firstOutlineBefore;
                c.lastOutline = lastOutlineBefore;
                c.firstGlyph = firstGlyphBefore;
                --c.count;
                run.end = c.p - 1;
                c.lineBreak = true;
                return;
            }
            run.end = c.p;
            c.p += ch.length;
            c.lineBreak = true;
            return;
        }
    }
    c.firstChar = false;
    if (c.p + ch.length >= c.length)
        run.end = c.p;
    c.p += ch.length;
}

void TTextGraphic::CutAtLastSpace(TLineCursor& c, TTextLine& line, TTextRun& run)
{
    const TSpaceMark& s = c.space;
    // Runs after the space go back to the next line; a run holding the space ends before it.
    std::erase_if(line.runs, [&](const TTextRun& r) { return r.start > s.position; });
    for (TTextRun& r : line.runs) {
        if (r.start <= s.position && s.position <= r.end) {
            r.end = s.position - 1;
            r.right = PxQ(s.penX);
        }
    }
    if (run.start > s.position) {
        run.end = run.start - 1;
        c.count = 0;
    } else {
        run.end = s.position - 1;
    }
    line.height = 0;
    line.baseline = 0;
    for (const TTextRun& r : line.runs) {
        line.height = std::max(line.height, r.size);
        line.baseline = std::max(line.baseline, r.baseline);
    }
    c.penX = s.penX;
    c.overhang = s.overhang;
    c.lastOutline = s.lastOutline;
    c.lineItalic = s.lineItalic;
    c.useFallback = s.useFallback;
    // Tags between the space and the cut are read again on the next line.
    if (s.state)
        *mState = *s.state;
    c.p = s.next;
    c.lineBreak = true;
}

void TTextGraphic::CloseLine(TLineCursor& c, std::shared_ptr<TTextLine> line)
{
    line->height += c.padding;
    const int w = PxQ(c.penX);
    const unsigned int j = mJustifyOverride != -1 ? static_cast<unsigned int>(mJustifyOverride) : mFlags;
    if (j & kHAlignCenter) {
        line->x = mWidth / 2;
        line->xOffset = static_cast<float>(-w) * 0.5f;
    } else if (j & kHAlignRight) {
        line->x = mWidth - RoundQ(c.lastOutline) - 1;
        line->xOffset = static_cast<float>(-w);
    } else {
        line->x = RoundQ(c.firstOutline);
        line->xOffset = 0;
    }
    line->xOffset += 0.5f;
    if (c.endedOnJustify)
        mJustifyOverride = mState->CurrentJustify();
    mLines.push_back(std::move(line));
}
