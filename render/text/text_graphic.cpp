#include "render/text/text_graphic.h"

#include "core/config/config.h"
#include "render/text/font_data.h"
#include "render/text/text_state.h"
#include "render/text/text_units.h"

#include <climits>
#include <cmath>

using text_units::TruncQ;

TTextGraphic* TTextGraphic::Create(const str& text, unsigned int width, unsigned int height, unsigned int flags,
                                   const char* font, unsigned int lineHeight, const TColor& color)
{
    auto* graphic = new TTextGraphic;
    graphic->mFlags = flags;
    graphic->SetFont(font);
    graphic->mLineHeight = lineHeight;
    graphic->mColor = color;
    graphic->mWidth = static_cast<int>(width);
    graphic->mHeight = static_cast<int>(height);
    if (text != graphic->mText) {
        graphic->mText = text;
        graphic->RenderText();
    }
    return graphic;
}

void TTextGraphic::Destroy()
{
    delete this;
}

TTextGraphic::TTextGraphic() : mState(std::make_unique<TTextState>())
{
    mSpriteRender = TConfig::GetConfig(TConfig::kTextGraphicSpriteRender, "").to_int() > 0;
}

TTextGraphic::~TTextGraphic() = default;

void TTextGraphic::SetText(const str& text)
{
    if (text == mText)
        return;
    mText = text;
    RenderText();
}

void TTextGraphic::SetFont(const char* font)
{
    const str name = font && *font ? str(font) : str(TFontData::kDefaultName);
    if (name == mFontName)
        return;
    mFontName = name;
    RenderText();
}

void TTextGraphic::SetLineHeight(unsigned int lineHeight)
{
    if (lineHeight == mLineHeight)
        return;
    mLineHeight = lineHeight;
    RenderText();
}

void TTextGraphic::SetRotation(float degrees, unsigned int cx, unsigned int cy)
{
    const double radians = degrees * M_PI / 180.0;
    float c = static_cast<float>(std::cos(radians));
    float s = static_cast<float>(std::sin(radians));
    if (std::fabs(c - 1.0f) < 0.0001f && std::fabs(s) < 0.0001f) {
        c = 1.0f;
        s = 0.0f;
    }
    mCos = c;
    mSin = s;
    mRotateX = static_cast<int>(cx);
    mRotateY = static_cast<int>(cy);
    RenderText();
}

int TTextGraphic::GetMaxScroll(float scale, int lineSpacing) const
{
    float sum = 0;
    for (int i = GetLineCount() - 1; i >= 0; --i) {
        sum += static_cast<float>(mLines[i]->height + lineSpacing) * scale;
        if (sum > static_cast<float>(mHeight))
            return i + 1;
    }
    return 0;
}

void TTextGraphic::GetTextBounds(TRect* r, float scale) const
{
    if (!r)
        return;
    *r = TRect(INT_MAX, mBoxTop, 0, mBoxHeight);
    for (int i = std::max(0, TruncQ(mScroll)); i < GetLineCount(); ++i) {
        const TTextLine& line = *mLines[i];
        if (line.runs.empty())
            continue;
        const float x = static_cast<float>(line.x);
        const float o = scale * line.xOffset;
        const float f = static_cast<float>(line.runs.front().left);
        const float g = static_cast<float>(line.runs.back().right);
        if (static_cast<float>(r->left) > (x + f) + o)
            r->left = TruncQ(o + f * scale + x);
        if ((x + g) + o > static_cast<float>(r->right))
            r->right = TruncQ(o + g * scale + x);
    }
    r->top = TruncQ(scale * mVerticalOffset) + mBoxTop;
    r->bottom = TruncQ(static_cast<float>(r->top) + static_cast<float>(mBoxHeight) * scale);
    if (r->left == INT_MAX)
        r->left = 0;
}

str TTextGraphic::Pick(const TPoint& p, int lineSpacing) const
{
    float y = static_cast<float>(mBoxTop) + mVerticalOffset;
    const float px = static_cast<float>(p.x);
    const float py = static_cast<float>(p.y);
    for (int i = std::max(0, TruncQ(mScroll)); i < GetLineCount(); ++i) {
        const TTextLine& line = *mLines[i];
        const float h = static_cast<float>(line.height);
        if (y - static_cast<float>(lineSpacing) <= py && py < y + h) {
            for (const TTextRun& run : line.runs) {
                if (static_cast<float>(line.x + run.left) + line.xOffset <= px &&
                    px < static_cast<float>(line.x + run.right) + line.xOffset)
                    return run.linkId;
            }
        }
        y += static_cast<float>(lineSpacing) + h;
    }
    return str();
}

bool TTextGraphic::Rollover(const TPoint* p, int lineSpacing)
{
    const str link = p ? Pick(*p, lineSpacing) : str();
    if (link == mRolloverLink)
        return false;
    mRolloverLink = link;
    return true;
}
