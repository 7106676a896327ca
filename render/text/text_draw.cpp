// Replaying a laid-out text through the vector drawer.

#include "render/text/text_graphic.h"

#include "render/renderer/renderer.h"
#include "render/text/mini_vec_draw.h"
#include "render/text/mvec_font.h"
#include "render/text/text_services.h"
#include "render/text/text_units.h"
#include "render/texture/texture.h"

#include <algorithm>
#include <limits>

using text_units::RoundQ;
using text_units::TruncQ;

void TTextGraphic::Draw(const TVec2& origin, unsigned int clipHeight, float scale, int lineSpacing, float alpha,
                        std::shared_ptr<TTexture> target)
{
    TDrawTarget t;
    t.texture = std::move(target);
    DrawTo(origin, clipHeight, scale, lineSpacing, alpha, t);
}

void TTextGraphic::Draw(const TRect& r, float scale, int lineSpacing, float alpha, std::shared_ptr<TTexture> target)
{
    Draw(TVec2(static_cast<float>(r.left), static_cast<float>(r.top)), static_cast<unsigned int>(r.bottom - r.top),
         scale, lineSpacing, alpha, std::move(target));
}

void TTextGraphic::DrawToSurface(const TVec2& origin, unsigned int clipHeight, float scale, int lineSpacing,
                                 float alpha, TPixelSurface* surface)
{
    if (!surface)
        return;
    TDrawTarget t;
    t.surface = surface;
    DrawTo(origin, clipHeight, scale, lineSpacing, alpha, t);
}

// The rows the target shows, in the coordinates the origin is given in once the viewport is added:
// the renderer's clipping rectangle on the screen, the rows of a texture or a surface.
void TTextGraphic::ShownRows(const TDrawTarget& target, float* top, float* bottom)
{
    *top = -std::numeric_limits<float>::infinity();
    *bottom = std::numeric_limits<float>::infinity();
    if (target.surface) {
        *top = 0;
        *bottom = static_cast<float>(target.surface->height);
    } else if (target.texture) {
        *top = 0;
        *bottom = static_cast<float>(target.texture->GetHeight());
    } else if (const TURect clip = TRenderer::GetInstance()->GetClippingRectangle(); clip.bottom > clip.top) {
        *top = static_cast<float>(clip.top);
        *bottom = static_cast<float>(clip.bottom);
    }
}

void TTextGraphic::DrawTo(TVec2 origin, unsigned int clipHeight, float scale, int lineSpacing, float alpha,
                          const TDrawTarget& target)
{
    if (scale < 0)
        return;
    if (!target.texture && !target.surface) {
        TRect viewport;
        TRenderer::GetInstance()->GetViewport(&viewport);
        origin.x += static_cast<float>(viewport.left);
        origin.y += static_cast<float>(viewport.top);
    }
    // A text far taller than its window's visible part (a long page in a scrolled list) costs
    // only the lines that show; a turned text is drawn whole.
    float shownTop, shownBottom;
    ShownRows(target, &shownTop, &shownBottom);
    const int textLength = static_cast<int>(mText.length());
    TZvMiniVecDraw* drawer = GetMiniVecDraw();
    drawer->SetNoBlend(mNoBlend);
    drawer->SetAlphaBlend(mAlphaBlend);
    drawer->SetRotation(mCos, mSin);
    float y0 = static_cast<float>(mSpriteRender ? TruncQ(static_cast<float>(mBoxTop) / scale + mVerticalOffset)
                                                : TruncQ(scale * mVerticalOffset + static_cast<float>(mBoxTop)));
    const int first = std::max(0, TruncQ(mScroll));
    origin.y -= (mScroll - static_cast<float>(first)) * static_cast<float>(mLineHeight) * scale;
    for (int i = first; i < GetLineCount(); ++i) {
        const TTextLine& line = *mLines[i];
        const float bottom = mSpriteRender ? (y0 + static_cast<float>(mLineHeight)) * scale
                                           : static_cast<float>(line.height) * scale + y0;
        // Glyphs may reach a line's height beyond its box (outlines, italics, accents).
        const float reach = 2.0f * static_cast<float>(std::max(line.height, static_cast<int>(mLineHeight))) * scale;
        const float top = origin.y + y0 * scale;
        const bool shown = mSin != 0 || (top + reach > shownTop && top - reach < shownBottom);
        if (shown && !(bottom > static_cast<float>(clipHeight)) && !(bottom < 0))
            DrawLine(line, y0, origin, scale, alpha, target, textLength);
        y0 += static_cast<float>(lineSpacing + line.height);
    }
    drawer->Stop();
}

void TTextGraphic::DrawLine(const TTextLine& line, float y0, TVec2 origin, float scale, float alpha,
                            const TDrawTarget& target, int textLength)
{
    TZvMiniVecDraw* drawer = GetMiniVecDraw();
    const float glyphScale = scale;
    float penX = 0, penY = 0;
    bool italic = false;
    for (const TTextRun& run : line.runs) {
        const bool rolled = !mRolloverLink.empty() && run.linkId == mRolloverLink;
        const TColor& color = rolled ? run.linkColor : run.color;
        const bool outlined = run.outlineSize != 0;
        float stroke[2] = {0, 0};
        drawer->SetItalic(run.italic);
        if (outlined) {
            stroke[0] = run.outlineSize;
            drawer->SetColor(TZvMiniVecDraw::kOutlineSlot, run.outlineColor, alpha);
        }
        if (run.bold || (run.font && run.font->GetForceBold())) {
            const float boldScale = run.font ? run.font->GetBoldScale() : 1.0f;
            stroke[outlined ? 1 : 0] = static_cast<float>(run.size) * scale * 0.0125f * boldScale;
            drawer->SetColor(outlined ? TZvMiniVecDraw::kBoldSlot : TZvMiniVecDraw::kOutlineSlot, color, alpha);
            if (outlined)
                stroke[0] += stroke[1];
        }
        drawer->SetStrokeWidths(stroke[0], stroke[1]);

        float x = scale * line.xOffset + static_cast<float>(line.x);
        float y = (static_cast<float>(line.baseline) * 0.25f + y0) * scale;
        if (mSin != 0) {
            const float dx = x - static_cast<float>(mRotateX), dy = y - static_cast<float>(mRotateY);
            x = dx * mCos - mSin * dy + static_cast<float>(mRotateX);
            y = mSin * dx + dy * mCos + static_cast<float>(mRotateY);
        }
        const float startX = static_cast<float>(TruncQ(x + origin.x));
        const float startY = static_cast<float>(TruncQ(y + origin.y));
        if (target.surface)
            drawer->StartSurface(startX, startY, target.surface);
        else
            drawer->Start(startX, startY, target.texture);
        drawer->SetColor(TZvMiniVecDraw::kFillSlot, color, alpha);

        if (run.italic != italic) {
            const float metric = run.font ? (run.italic ? run.font->GetDescent() : run.font->GetAscent()) : 0.0f;
            const float move = scale * run.scale / 3 * metric;
            penX += move * mCos;
            penY += move * mSin;
            italic = run.italic;
        }
        const float runPenX = penX, runPenY = penY;
        float advances = 0;
        if (run.font) {
            for (int p = run.start; p <= run.end && p < textLength;) {
                const text_units::TDecoded ch = text_units::DecodeTextChar(mText.c_str(), p, textLength);
                p += ch.length;
                const int g = run.font->GetGlyphIndex(ch.code);
                if (g < 0)
                    continue;
                const float sx = glyphScale * run.scale;
                drawer->SetScale(sx, sx * run.font->GetGlyphScaleY(g));
                drawer->Draw(run.font->GetGlyphData(g), RoundQ(penX), TruncQ(penY));
                const float advance = run.font->GetGlyphAdvance(g);
                penX += advance * run.scale * glyphScale * mCos;
                penY += advance * run.scale * glyphScale * mSin;
                advances += advance;
            }
        }
        if (run.tabPosition != 0) {
            penX = static_cast<float>(run.tabPosition) * mCos;
            penY = static_cast<float>(run.tabPosition) * mSin;
        }
        if (run.cursor) {
            const float descent = run.font ? run.font->GetDescent() : 0.0f;
            const float ascent = run.font ? run.font->GetAscent() : 0.0f;
            drawer->SetScale(1.0f, glyphScale * run.scale);
            TZvMiniVecDraw::DrawBox(drawer, 0, RoundQ(descent), 3, RoundQ(-ascent), RoundQ(penX), TruncQ(penY));
        }
        if (run.underline && advances != 0) {
            drawer->SetScale(glyphScale * run.scale * advances, 1.0f);
            drawer->SetStrokeWidths(0, 0);
            drawer->SetItalic(false);
            TZvMiniVecDraw::DrawBox(drawer, 0, 8, 1, 11, RoundQ(runPenX), TruncQ(runPenY));
        }
    }
}
