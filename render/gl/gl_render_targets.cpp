// Render-target passes into framebuffer objects, and the framebuffer for drawing straight into
// textures.

#include "render/gl/gl_display_handler.h"

#include "core/debug/debug_log.h"
#include "render/gl/gl_scope.h"
#include "render/gl/gl_texture_data.h"
#include "render/texture/texture.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <vector>

unsigned int TGLDisplayHandler::SurfaceFramebuffer()
{
    if (!mSurfaceFbo)
        glGenFramebuffers(1, &mSurfaceFbo);
    return mSurfaceFbo;
}

void TGLDisplayHandler::EnsureTargetBuffer(int width, int height)
{
    if (mTargetFbo && width <= mTargetBufferWidth && height <= mTargetBufferHeight)
        return;
    mTargetBufferWidth = std::max(width, mTargetBufferWidth);
    mTargetBufferHeight = std::max(height, mTargetBufferHeight);
    if (!mTargetFbo) {
        glGenFramebuffers(1, &mTargetFbo);
        glGenRenderbuffers(1, &mTargetColor);
        glGenRenderbuffers(1, &mTargetDepth);
    }
    glBindRenderbuffer(GL_RENDERBUFFER, mTargetColor);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, mTargetBufferWidth, mTargetBufferHeight);
    glBindRenderbuffer(GL_RENDERBUFFER, mTargetDepth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, mTargetBufferWidth, mTargetBufferHeight);
    glBindFramebuffer(GL_FRAMEBUFFER, mTargetFbo);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, mTargetColor);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, mTargetDepth);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        WriteDbg("TGLDisplayHandler: render target buffer of %dx%d is incomplete", mTargetBufferWidth,
                 mTargetBufferHeight);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

bool TGLDisplayHandler::BeginRenderTarget(std::shared_ptr<TTexture> target, TRenderer::ERenderTargetMode mode)
{
    Flush();
    auto* data = target ? dynamic_cast<TGLTextureData*>(target->GetTextureData()) : nullptr;
    if (!data || !data->HasDeviceTexture() || target->GetWidth() == 0 || target->GetHeight() == 0) {
        WriteDbg("TGLDisplayHandler: render target has no device surface");
        return false;
    }
    const int tw = static_cast<int>(target->GetWidth());
    const int th = static_cast<int>(target->GetHeight());
    EnsureTargetBuffer(tw, th);

    // The target area starts as the frame's top-left corner held it (rows bottom-up, as the
    // texture receives them); what lies beyond the display starts transparent black.
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_FRAMEBUFFER, mTargetFbo);
    if (tw > mDisplay.width || th > mDisplay.height) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    const int cw = std::min(tw, mDisplay.width);
    const int ch = std::min(th, mDisplay.height);
    if (cw > 0 && ch > 0) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glBlitFramebuffer(0, mDisplay.height - ch, cw, mDisplay.height, 0, th - ch, cw, th, GL_COLOR_BUFFER_BIT,
                          GL_NEAREST);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, mTargetFbo);
    }
    glEnable(GL_SCISSOR_TEST);

    mRenderTarget = target;
    mRenderTargetMode = mode;
    mTargetWidth = tw;
    mTargetHeight = th;
    PushViewport(0, 0, tw, th);

    glDisable(GL_SCISSOR_TEST);
    glDepthMask(GL_TRUE);
    if (mode == TRenderer::kRenderTargetAlphaMask) {
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
        glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_MODULATE);
        glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_PREVIOUS);
        glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_ALPHA);
        glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_TEXTURE);
        glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_ALPHA);
        const GLfloat white[4] = {1, 1, 1, 1};
        glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, white);
        glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GL_REPLACE);
        glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA, GL_PRIMARY_COLOR);
        glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA, GL_SRC_ALPHA);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    } else {
        glClear(GL_DEPTH_BUFFER_BIT);
    }
    glDepthMask(mDepthWrite ? GL_TRUE : GL_FALSE);
    glEnable(GL_SCISSOR_TEST);
    if (mode == TRenderer::kRenderTargetFromTexture || mode == TRenderer::kRenderTargetFromTextureKeepAlpha)
        data->CopyPixels(0, 0, nullptr, nullptr);
    SetClipRectangle(mClip);
    return true;
}

void TGLDisplayHandler::EndRenderTarget()
{
    Flush();
    if (!mRenderTarget) {
        WriteDbg("TGLDisplayHandler: EndRenderTarget without a render target");
        return;
    }
    std::shared_ptr<TTexture> target = mRenderTarget;
    auto* data = dynamic_cast<TGLTextureData*>(target->GetTextureData());
    const int tw = mTargetWidth;
    const int th = mTargetHeight;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, mTargetFbo);
    if (mRenderTargetMode != TRenderer::kRenderTargetAlphaMask) {
        const int cw = std::min<int>(tw, static_cast<int>(data->mSurfaceWidth));
        const int ch = std::min<int>(th, static_cast<int>(data->mSurfaceHeight));
        glBindTexture(GL_TEXTURE_2D, data->GetTextureName());
        glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, cw, ch);
        const bool forceOpaque = mRenderTargetMode == TRenderer::kRenderTargetNormal ||
                                 mRenderTargetMode == TRenderer::kRenderTargetFromTexture;
        if (forceOpaque && target->HasAlpha()) {
            TColor32* pixels = nullptr;
            unsigned pitch = 0;
            if (target->Lock(&pixels, &pitch)) {
                for (unsigned y = 0; y < data->mSurfaceHeight; ++y)
                    for (unsigned x = 0; x < pitch; ++x)
                        pixels[y * pitch + x].SetAlpha(255);
                target->Unlock();
            }
        }
    } else if (target->HasAlpha()) {
        glFinish();
        std::vector<uint32_t> read(static_cast<size_t>(tw) * th);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glReadPixels(0, 0, tw, th, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, read.data());
        TColor32* pixels = nullptr;
        unsigned pitch = 0;
        if (target->Lock(&pixels, &pitch)) {
            const int cw = std::min<int>(tw, static_cast<int>(pitch));
            const int ch = std::min<int>(th, static_cast<int>(data->mSurfaceHeight));
            for (int y = 0; y < ch; ++y)
                for (int x = 0; x < cw; ++x)
                    pixels[y * pitch + x].SetAlpha(static_cast<uint8_t>(read[static_cast<size_t>(y) * tw + x] & 0xFF));
            target->Unlock();
        }
    }
    mRenderTarget.reset();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (mRenderTargetMode == TRenderer::kRenderTargetAlphaMask)
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    SetClipRectangle(mClip);
    PopViewport();
}
