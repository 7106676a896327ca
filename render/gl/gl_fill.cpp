// Rectangle fills on the frame or the open target (by a scissored clear where that writes the
// same pixels) and into textures.

#include "render/gl/gl_display_handler.h"

#include "render/gl/gl_scope.h"
#include "render/gl/gl_texture_data.h"
#include "render/texture/texture.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

using tv_gl::Scissor;

void TGLDisplayHandler::FillRect(int left, int top, int right, int bottom, const TColor& color,
                                 std::shared_ptr<TTexture> target)
{
    Flush();
    if (target) {
        if (auto* data = dynamic_cast<TGLTextureData*>(target->GetTextureData()))
            data->FillRect(left, top, right, bottom, color, mAvoidFillIn16Bit);
        return;
    }
    const TRenderer::EBlendMode saved = mBlendMode;
    const bool alphaTarget = InAlphaTarget();
    if (!alphaTarget && mBatching && FillByClear(left, top, right, bottom, color))
        return;
    if (alphaTarget) {
        glEnable(GL_TEXTURE_2D);
        BindWhiteTexture();
        mBlendMode = TRenderer::kBlendNormal;
        ApplyBlendMode(mBlendMode);
    } else {
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
    }
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    if (!mRenderTarget) {
        const int W = mDisplay.width;
        const int H = mDisplay.height;
        glOrtho(mDisplay.x, mDisplay.x + W, mDisplay.y, mDisplay.y + H, mOrthoNear, mOrthoFar);
        PushViewport(0, 0, W, H);
        glColor4f(color.red, color.green, color.blue, color.alpha);
        glRecti(left, H - top, right, H - bottom);
        PopViewport();
    } else {
        const int tw = mTargetWidth;
        const int th = mTargetHeight;
        glOrtho(0, tw, th, 0, mOrthoNear, mOrthoFar);
        PushViewport(0, 0, tw, th);
        if (alphaTarget)
            glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_REPLACE);
        glColor4f(color.red, color.green, color.blue, color.alpha);
        glRecti(left, th - bottom, right, th - top);
        PopViewport();
    }
    if (alphaTarget) {
        mBlendMode = saved;
        glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_MODULATE);
    }
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

bool TGLDisplayHandler::FillByClear(int left, int top, int right, int bottom, const TColor& color)
{
    // An unblended, untextured rectangle writes exactly what a clear of the area writes, as
    // long as nothing else in the fixed-function path would touch its fragments; of those the
    // handler only ever turns on the depth test and culling, and it tracks both.
    if (mDepthTest || mCullFace)
        return false;

    // The rectangle's pixels, cut to the area drawn into and to the clip (the scissor is on).
    const int fw = FrameWidth();
    const int fh = FrameHeight();
    const int l = std::max({std::min(left, right), 0, static_cast<int>(mClip.left)});
    const int t = std::max({std::min(top, bottom), 0, static_cast<int>(mClip.top)});
    const int r = std::min({std::max(left, right), fw, static_cast<int>(mClip.right)});
    const int b = std::min({std::max(top, bottom), fh, static_cast<int>(mClip.bottom)});
    // What the rectangle's drawing leaves behind. The clear colour is the fill's from here on:
    // every clear of the handler sets its own first.
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glColor4f(color.red, color.green, color.blue, color.alpha);
    if (r <= l || b <= t)
        return true;
    if (mRenderTarget)
        glScissor(l, t, r - l, b - t);
    else
        glScissor(l, fh - b, r - l, b - t);
    glClearColor(color.red, color.green, color.blue, color.alpha);
    glClear(GL_COLOR_BUFFER_BIT);
    Scissor(mClip, mRenderTarget != nullptr, fh);
    return true;
}
