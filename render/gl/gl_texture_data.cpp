#include "render/gl/gl_texture_data.h"

#include "core/debug/debug_log.h"
#include "render/gl/gl_display_handler.h"
#include "render/renderer/render_platform.h"
#include "render/renderer/renderer.h"
#include "render/texture/texture.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Draws the handler holds back must reach GL before a surface is read, changed or deleted.
void FlushHeldDraws(TGLDisplayHandler* handler)
{
    if (handler)
        handler->Flush();
}

// Draws into a texture through the handler's surface framebuffer, putting the caller's
// framebuffers, viewport and scissor back afterwards.
class TSurfaceTarget
{
public:
    TSurfaceTarget(TGLDisplayHandler* handler, GLuint texture, int level)
    {
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &mDraw);
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &mRead);
        glPushAttrib(GL_VIEWPORT_BIT | GL_SCISSOR_BIT);
        GLuint fbo = 0;
        if (handler) {
            fbo = handler->SurfaceFramebuffer();
        } else {
            glGenFramebuffers(1, &mOwnFbo);
            fbo = mOwnFbo;
        }
        glBindFramebuffer(GL_FRAMEBUFFER, fbo);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, level);
        glDisable(GL_SCISSOR_TEST);
    }
    ~TSurfaceTarget()
    {
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(mDraw));
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(mRead));
        if (mOwnFbo)
            glDeleteFramebuffers(1, &mOwnFbo);
        glPopAttrib();
    }

private:
    GLint mDraw = 0;
    GLint mRead = 0;
    GLuint mOwnFbo = 0;
};

int DisplayWidth(TGLDisplayHandler* handler)
{
    return handler ? handler->GetDisplayRect().width : 0;
}

// A copy of a source rectangle to (x, y), cut to the source surface and to the destination.
struct TCopyArea
{
    int sx = 0, sy = 0, dx = 0, dy = 0, w = 0, h = 0;

    bool Cut(int x, int y, const TRect& rect, uint32_t srcWidth, uint32_t srcHeight, uint32_t dstWidth,
             uint32_t dstHeight)
    {
        sx = std::max(rect.left, 0);
        sy = std::max(rect.top, 0);
        dx = x + (sx - rect.left);
        dy = y + (sy - rect.top);
        w = std::min(rect.right, static_cast<int>(srcWidth)) - sx;
        h = std::min(rect.bottom, static_cast<int>(srcHeight)) - sy;
        if (dx < 0) {
            sx -= dx;
            w += dx;
            dx = 0;
        }
        if (dy < 0) {
            sy -= dy;
            h += dy;
            dy = 0;
        }
        w = std::min(w, static_cast<int>(dstWidth) - dx);
        h = std::min(h, static_cast<int>(dstHeight) - dy);
        return w > 0 && h > 0;
    }
};

TGLTextureData* DataOf(const std::shared_ptr<TTexture>& texture)
{
    return texture ? dynamic_cast<TGLTextureData*>(texture->GetTextureData()) : nullptr;
}

}  // namespace

bool FillRectIsBuggy()
{
    static bool bOnce = true;
    static bool bIsBuggy = false;
    if (bOnce) {
        bOnce = false;
        // No system version query here: it counts as 0x1040, so the renderer alone decides.
        const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        bIsBuggy = renderer && std::strcmp(renderer, "NVIDIA GeForce 8600M GT OpenGL Engine") == 0;
    }
    return bIsBuggy;
}

TGLTextureData::~TGLTextureData()
{
    FlushHeldDraws(Handler());
    TGLDisplayHandler* handler = Handler();
    if (handler && handler->GetCurrentTextureData() == this)
        handler->SetCurrentTextureData(nullptr);
    if (mMemoryPixels)
        delete[] mMemoryPixels;
    else if (mTextureName != kNoTexture)
        glDeleteTextures(1, &mTextureName);
    delete[] mLockBuffer;
}

bool TGLTextureData::CreateSurface(unsigned int w, unsigned int h, bool clear)
{
    FlushHeldDraws(Handler());
    mLevel = 0;
    if (static_cast<int>(w) > DisplayWidth(Handler()) && HasFlag(kSimple))
        mFlags |= kSlow;
    // A second call replaces the surface.
    delete[] mMemoryPixels;
    mMemoryPixels = nullptr;
    delete[] mLockBuffer;
    mLockBuffer = nullptr;
    if (mTextureName != kNoTexture) {
        glDeleteTextures(1, &mTextureName);
        mTextureName = kNoTexture;
    }

    if (HasFlag(kSlow)) {
        mWidth = mSurfaceWidth = w;
        mHeight = mSurfaceHeight = h;
        mXMargin = mYMargin = 0;
        mMemoryPixels = new TColor32[static_cast<size_t>(std::max(w, 1u)) * std::max(h, 1u)]();
    } else {
        mWidth = w;
        mHeight = h;
        TGLDisplayHandler* handler = Handler();
        if (!handler || handler->IsSquareOnly()) {
            mSurfaceWidth = mSurfaceHeight = NextPowerOfTwo(std::max(w, h));
        } else {
            mSurfaceWidth = NextPowerOfTwo(w);
            mSurfaceHeight = NextPowerOfTwo(h);
        }
        mXMargin = static_cast<int32_t>((mSurfaceWidth - w) / 2);
        mYMargin = static_cast<int32_t>((mSurfaceHeight - h) / 2);

        GLuint name = 0;
        glGenTextures(1, &name);
        mTextureName = name;
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, HasFlag(kAlpha) ? GL_LINEAR : GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        while (glGetError() != GL_NO_ERROR) {}
        glTexImage2D(GL_TEXTURE_2D, mLevel, GL_RGBA, static_cast<GLsizei>(mSurfaceWidth),
                     static_cast<GLsizei>(mSurfaceHeight), 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
        if (glGetError() != GL_NO_ERROR) {
            WriteDbg("TGLTextureData: cannot allocate a %ux%u texture", mSurfaceWidth, mSurfaceHeight);
            return false;
        }
    }
    if (clear)
        Clear();
    return true;
}

bool TGLTextureData::FillSurface(unsigned int w, unsigned int h, TColor32* pixels)
{
    if (!pixels)
        return true;
    if (mMemoryPixels) {
        const unsigned rows = std::min(h, mSurfaceHeight);
        const unsigned cols = std::min(w, mSurfaceWidth);
        for (unsigned y = 0; y < rows; ++y)
            std::memcpy(mMemoryPixels + static_cast<size_t>(y) * mSurfaceWidth, pixels + static_cast<size_t>(y) * w,
                        cols * sizeof(TColor32));
        return true;
    }
    if (mTextureName == kNoTexture)
        return true;
    FlushHeldDraws(Handler());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(w));
    if (!HasFlag(kMipmap)) {
        glBindTexture(GL_TEXTURE_2D, mTextureName);
        glTexImage2D(GL_TEXTURE_2D, mLevel, GL_RGBA, static_cast<GLsizei>(mSurfaceWidth),
                     static_cast<GLsizei>(mSurfaceHeight), 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels);
    } else {
        glDeleteTextures(1, &mTextureName);
        GLuint name = 0;
        glGenTextures(1, &name);
        mTextureName = name;
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, static_cast<GLint>(w), static_cast<GLint>(h), GL_BGRA,
                          GL_UNSIGNED_INT_8_8_8_8_REV, pixels);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    return true;
}

bool TGLTextureData::Lock(TColor32** pixels, unsigned int* pitch)
{
    if (!pixels || !pitch)
        return false;
    *pitch = mSurfaceWidth;
    if (mMemoryPixels) {
        *pixels = mMemoryPixels;
        return true;
    }
    if (mTextureName == kNoTexture)
        return false;
    if (!mLockBuffer)
        mLockBuffer = new TColor32[static_cast<size_t>(mSurfaceWidth) * mSurfaceHeight]();
    FlushHeldDraws(Handler());
    glFinish();
    glBindTexture(GL_TEXTURE_2D, mTextureName);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, mLockBuffer);
    glFinish();
    *pixels = mLockBuffer;
    return true;
}

void TGLTextureData::Unlock()
{
    TColor32* pixels = mMemoryPixels ? mMemoryPixels : mLockBuffer;
    if (!pixels)
        return;
    if (!HasFlag(kAlpha)) {
        const unsigned rows = std::min(mHeight, mSurfaceHeight);
        const unsigned cols = std::min(mWidth, mSurfaceWidth);
        for (unsigned y = 0; y < rows; ++y)
            for (unsigned x = 0; x < cols; ++x)
                pixels[static_cast<size_t>(y) * mSurfaceWidth + x].SetAlpha(255);
    }
    if (!mMemoryPixels && mTextureName != kNoTexture) {
        FlushHeldDraws(Handler());
        glFinish();
        glBindTexture(GL_TEXTURE_2D, mTextureName);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glTexImage2D(GL_TEXTURE_2D, mLevel, GL_RGBA, static_cast<GLsizei>(mSurfaceWidth),
                     static_cast<GLsizei>(mSurfaceHeight), 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, mLockBuffer);
    }
}

void TGLTextureData::ProcessColor()
{
    if (mColorProcessed)
        return;
    mColorProcessed = true;
    mFlags |= kAlpha;
    TColor32* pixels = nullptr;
    unsigned pitch = 0;
    if (!Lock(&pixels, &pitch))
        return;
    const size_t count = static_cast<size_t>(mSurfaceWidth) * mSurfaceHeight;
    for (size_t i = 0; i < count; ++i) {
        TColor32& p = pixels[i];
        if (p.Red() == 255 && p.Green() == 0 && p.Blue() == 255)
            p = TColor32(0u);
        else
            p.SetAlpha(255);
    }
    Unlock();
}

void TGLTextureData::FillRect(int l, int t, int r, int b, const TColor& colorArg, bool avoid)
{
    TColor color = colorArg;
    if (!HasFlag(kAlpha))
        color.alpha = 1.0f;
    // Only the part inside the surface is filled.
    l = std::max(l, 0);
    t = std::max(t, 0);
    r = std::min(r, static_cast<int>(mSurfaceWidth));
    b = std::min(b, static_cast<int>(mSurfaceHeight));
    if (r <= l || b <= t)
        return;
    const TColor32 packed(color);
    if (mMemoryPixels) {
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x)
                mMemoryPixels[static_cast<size_t>(y) * mSurfaceWidth + x] = packed;
        return;
    }
    if (mTextureName == kNoTexture)
        return;
    FlushHeldDraws(Handler());
    if ((avoid && GetRenderPlatform().PixelSize() == 16) || FillRectIsBuggy()) {
        std::vector<TColor32> block(static_cast<size_t>(r - l) * (b - t), packed);
        glFinish();
        glBindTexture(GL_TEXTURE_2D, mTextureName);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glTexSubImage2D(GL_TEXTURE_2D, 0, l, t, r - l, b - t, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, block.data());
        return;
    }
    // Drawn straight into the texture: framebuffer row 0 is the texture's top row.
    TSurfaceTarget surface(Handler(), mTextureName, 0);
    glViewport(0, 0, static_cast<GLsizei>(mSurfaceWidth), static_cast<GLsizei>(mSurfaceHeight));
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, mSurfaceWidth, 0, mSurfaceHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glColor4f(color.red, color.green, color.blue, color.alpha);
    glRecti(l, t, r, b);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

void TGLTextureData::Clear()
{
    if (mMemoryPixels) {
        std::fill(mMemoryPixels, mMemoryPixels + static_cast<size_t>(mSurfaceWidth) * mSurfaceHeight, TColor32(0u));
        return;
    }
    if (mTextureName == kNoTexture)
        return;
    FlushHeldDraws(Handler());
    if (FillRectIsBuggy()) {
        FillRect(0, 0, static_cast<int>(mSurfaceWidth), static_cast<int>(mSurfaceHeight), TColor(0, 0, 0, 0), true);
        return;
    }
    // The whole surface, whatever its size against the display.
    TSurfaceTarget surface(Handler(), mTextureName, mLevel);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
}

void TGLTextureData::CopyPixels(int x, int y, const TRect* rectArg, std::shared_ptr<TTexture> dest)
{
    const TRect rect = rectArg ? *rectArg : TRect(0, 0, static_cast<int>(mWidth), static_cast<int>(mHeight));
    TGLTextureData* destData = DataOf(dest);
    if (dest && (!destData || destData->IsMemorySurface()))
        return;  // nothing is copied into memory surfaces
    TGLDisplayHandler* handler = Handler();
    if (!handler)
        return;
    handler->Flush();
    const TRenderer::EBlendMode savedBlend = handler->GetBlendMode();
    handler->SetBlendMode(TRenderer::kBlendOpaque);
    glDisable(GL_BLEND);
    if (dest)
        glDisable(GL_SCISSOR_TEST);
    else
        glEnable(GL_SCISSOR_TEST);

    if (!dest) {
        if (mMemoryPixels)
            DrawSFB(x, y, rect);
        else
            Draw(x, y, &rect, true);
    } else if (mMemoryPixels) {
        DrawSV(x, y, rect, dest);
    } else {
        DrawVV(x, y, rect, dest);
    }

    glEnable(GL_SCISSOR_TEST);
    handler->SetBlendMode(savedBlend);
}

void TGLTextureData::Draw(int x, int y, const TRect* rectArg, bool toTarget)
{
    TGLDisplayHandler* handler = Handler();
    if (!handler || mTextureName == kNoTexture)
        return;
    const TRect rect = rectArg ? *rectArg : TRect(0, 0, static_cast<int>(mWidth), static_cast<int>(mHeight));
    const float w = static_cast<float>(rect.right - rect.left);
    const float h = static_cast<float>(rect.bottom - rect.top);
    const float H = static_cast<float>(handler->GetDisplayRect().height);
    const bool inTarget = !handler->RenderTargetIsScreen();

    const bool was3d = handler->In3dPass();
    const TRenderer::EBlendMode blend = handler->GetBlendMode();
    if (was3d) {
        handler->End3d();
        handler->Begin2d();
        handler->SetBlendMode(blend);
    }

    TVec2 corners[4];
    if (toTarget && inTarget) {
        corners[0] = TVec2(0, 0);
        corners[1] = TVec2(w, 0);
        corners[2] = TVec2(w, h);
        corners[3] = TVec2(0, h);
    } else if (toTarget) {
        corners[0] = TVec2(0, H - h);
        corners[1] = TVec2(w, H - h);
        corners[2] = TVec2(w, H);
        corners[3] = TVec2(0, H);
    } else {
        corners[0] = TVec2(0, H);
        corners[1] = TVec2(w, H);
        corners[2] = TVec2(w, H - h);
        corners[3] = TVec2(0, H - h);
    }
    const float sw = static_cast<float>(mSurfaceWidth);
    const float sh = static_cast<float>(mSurfaceHeight);
    const TVec2 uv[2] = {TVec2(rect.left / sw, rect.top / sh), TVec2(rect.right / sw, rect.bottom / sh)};
    TTransformedLitVert verts[4];
    CreateVertsFromRect(TVec2(static_cast<float>(x), static_cast<float>(y)), verts, corners, uv, TMat3(), 1.0f,
                        TColor(1, 1, 1, 1));

    const int fw = handler->FrameWidth();
    const int fh = handler->FrameHeight();
    handler->PushViewport(0, 0, fw, fh);
    TRenderer* renderer = TRenderer::GetInstance();
    renderer->PushClippingRectangle(TURect(0, 0, static_cast<unsigned>(fw), static_cast<unsigned>(fh)));
    TGLTextureData* previous = handler->GetCurrentTextureData();
    handler->SetCurrentTextureData(this);
    TVertexSet set(verts, 4);
    handler->DrawVertices(TRenderer::kTriangleFan, set);
    handler->SetCurrentTextureData(previous);
    renderer->PopClippingRectangle();
    handler->PopViewport();

    if (was3d) {
        handler->End2d();
        handler->Begin3d();
        handler->SetBlendMode(blend);
    }
}

void TGLTextureData::DrawVV(int x, int y, const TRect& rect, std::shared_ptr<TTexture> dest)
{
    TGLTextureData* d = DataOf(dest);
    if (!d || mTextureName == kNoTexture || !d->HasDeviceTexture())
        return;
    TCopyArea a;
    if (!a.Cut(x, y, rect, mSurfaceWidth, mSurfaceHeight, d->mSurfaceWidth, d->mSurfaceHeight))
        return;
    FlushHeldDraws(Handler());
    TSurfaceTarget surface(Handler(), mTextureName, 0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glFinish();
    glBindTexture(GL_TEXTURE_2D, d->GetTextureName());
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, a.dx, a.dy, a.sx, a.sy, a.w, a.h);
}

void TGLTextureData::DrawSV(int x, int y, const TRect& rect, std::shared_ptr<TTexture> dest)
{
    TGLTextureData* d = DataOf(dest);
    if (!d || !mMemoryPixels || !d->HasDeviceTexture())
        return;
    TCopyArea a;
    if (!a.Cut(x, y, rect, mSurfaceWidth, mSurfaceHeight, d->mWidth, d->mHeight))
        return;
    FlushHeldDraws(Handler());
    glBindTexture(GL_TEXTURE_2D, d->GetTextureName());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(mSurfaceWidth));
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, a.sx);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, a.sy);
    glPixelStorei(GL_UNPACK_SKIP_IMAGES, 0);
    // One upload path serves every renderer: it gives what the pixel-drawing path gives.
    glTexSubImage2D(GL_TEXTURE_2D, 0, a.dx, a.dy, a.w, a.h, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, mMemoryPixels);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
}

void TGLTextureData::DrawSFB(int x, int y, const TRect& rect)
{
    TGLDisplayHandler* handler = Handler();
    if (!handler || !mMemoryPixels)
        return;
    // The rectangle's top-left lands at (x, y) of the viewport, upright; the scissor clips.
    const int sx = std::max(rect.left, 0), sy = std::max(rect.top, 0);
    const int w = std::min(rect.right, static_cast<int>(mSurfaceWidth)) - sx;
    const int h = std::min(rect.bottom, static_cast<int>(mSurfaceHeight)) - sy;
    if (w <= 0 || h <= 0)
        return;
    const auto& v = handler->GetCurrentViewport();
    const int px = v.x + x + (sx - rect.left);
    const int py = v.y + y + (sy - rect.top);
    const bool inTarget = !handler->RenderTargetIsScreen();
    handler->Flush();
    glDisable(GL_TEXTURE_2D);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(mSurfaceWidth));
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, sx);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, sy);
    if (inTarget) {
        glWindowPos2i(px, py);
        glPixelZoom(1.0f, 1.0f);
    } else {
        glWindowPos2i(px, handler->FrameHeight() - py);
        glPixelZoom(1.0f, -1.0f);
    }
    glDrawPixels(w, h, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, mMemoryPixels);
    glPixelZoom(1.0f, 1.0f);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
}
