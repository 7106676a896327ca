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
    // long as nothing else in the fixed-function path would touch its fragments.
    static const GLenum kFragmentStages[] = {GL_DEPTH_TEST, GL_CULL_FACE,  GL_ALPHA_TEST,      GL_STENCIL_TEST,
                                             GL_FOG,        GL_LIGHTING,   GL_COLOR_LOGIC_OP,  GL_POLYGON_STIPPLE,
                                             GL_TEXTURE_1D, GL_TEXTURE_3D, GL_TEXTURE_CUBE_MAP};
    for (GLenum stage : kFragmentStages)
        if (glIsEnabled(stage))
            return false;
    GLboolean mask[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    if (!mask[0] || !mask[1] || !mask[2] || !mask[3])
        return false;

    // The rectangle's pixels, cut to the area drawn into and, with the scissor test on, the clip.
    const int fw = FrameWidth();
    const int fh = FrameHeight();
    int l = std::max(std::min(left, right), 0);
    int t = std::max(std::min(top, bottom), 0);
    int r = std::min(std::max(left, right), fw);
    int b = std::min(std::max(top, bottom), fh);
    const bool scissored = glIsEnabled(GL_SCISSOR_TEST);
    if (scissored) {
        l = std::max(l, static_cast<int>(mClip.left));
        t = std::max(t, static_cast<int>(mClip.top));
        r = std::min(r, static_cast<int>(mClip.right));
        b = std::min(b, static_cast<int>(mClip.bottom));
    }
    // What the rectangle's drawing leaves behind.
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glColor4f(color.red, color.green, color.blue, color.alpha);
    if (r <= l || b <= t)
        return true;
    if (mRenderTarget)
        glScissor(l, t, r - l, b - t);
    else
        glScissor(l, fh - b, r - l, b - t);
    if (!scissored)
        glEnable(GL_SCISSOR_TEST);
    GLfloat previous[4] = {0, 0, 0, 0};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, previous);
    glClearColor(color.red, color.green, color.blue, color.alpha);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(previous[0], previous[1], previous[2], previous[3]);
    if (!scissored)
        glDisable(GL_SCISSOR_TEST);
    Scissor(mClip, mRenderTarget != nullptr, fh);
    return true;
}
