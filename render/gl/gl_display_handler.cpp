#include "render/gl/gl_display_handler.h"

#include "core/debug/debug_log.h"
#include "render/gl/gl_scope.h"
#include "render/gl/gl_texture_data.h"
#include "render/renderer/render_platform.h"
#include "render/texture/texture.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

using tv_gl::Scissor;
using tv_gl::TFramebufferScope;

TGLDisplayHandler* TGLDisplayHandler::mTheHandler = nullptr;

namespace {

void LoadMatrix(const TMat4& m)
{
    float values[16];
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            values[row * 4 + col] = m[row][col];
    // Row vectors times the matrix: the rows laid out one after another are what GL's
    // column-major loading expects.
    glLoadMatrixf(values);
}

}  // namespace

TDisplayHandler* TGLDisplayHandler::Create()
{
    return new TGLDisplayHandler;
}

TGLDisplayHandler::TGLDisplayHandler()
{
    mTheHandler = this;
}

TGLDisplayHandler::~TGLDisplayHandler()
{
    Flush();
    *mSelf = nullptr;
    if (mTheHandler == this)
        mTheHandler = nullptr;
    const GLuint fbos[] = {mTargetFbo, mFrontFbo, mSurfaceFbo};
    for (GLuint f : fbos)
        if (f)
            glDeleteFramebuffers(1, &f);
    const GLuint rbs[] = {mTargetColor, mTargetDepth, mFrontColor};
    for (GLuint r : rbs)
        if (r)
            glDeleteRenderbuffers(1, &r);
    if (mWhiteTexture)
        glDeleteTextures(1, &mWhiteTexture);
    for (void* fence : mFrameFences)
        if (fence)
            glDeleteSync(static_cast<GLsync>(fence));
}

std::unique_ptr<TTextureData> TGLDisplayHandler::NewTextureData()
{
    return std::make_unique<TGLTextureData>(mSelf);
}

int TGLDisplayHandler::FrameWidth() const
{
    return mRenderTarget ? mTargetWidth : mDisplay.width;
}

int TGLDisplayHandler::FrameHeight() const
{
    return mRenderTarget ? mTargetHeight : mDisplay.height;
}

void TGLDisplayHandler::SetDisplay(unsigned int width, unsigned int height, bool, bool, bool, bool)
{
    Flush();
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    mNvidia = renderer && (renderer[0] == 'N' || renderer[0] == 'n') && (renderer[1] == 'V' || renderer[1] == 'v');
    mOrthoFar = -1.0f;
    mOrthoNear = 1.0f;
    if (static_cast<int>(width) != mDisplay.width || static_cast<int>(height) != mDisplay.height)
        mFrontValid = false;
    mDisplay = TViewport{0, 0, static_cast<int32_t>(width), static_cast<int32_t>(height)};
    mDisplaySet = true;
    {
        // A single buffer is itself what is shown, so there is nothing to keep or copy back.
        TFramebufferScope scope;
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        GLboolean doubleBuffered = GL_TRUE;
        glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
        mDoubleBuffered = doubleBuffered == GL_TRUE;
        if (!mDoubleBuffered)
            SetKeepShownImage(false);
    }
    PushViewport(0, 0, static_cast<int>(width), static_cast<int>(height));

    mWorld = TMat4();
    mView = TMat4();
    SetPerspectiveProjection(0.1f, 1000.0f, 0.7853982f, 0.0f);
    const GLfloat ambient[4] = {1, 1, 1, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    const GLfloat localViewer = 1.0f;
    glLightModelfv(GL_LIGHT_MODEL_LOCAL_VIEWER, &localViewer);
    static TMaterial material = {{1, 1, 1, 1}, {0.5f, 0.5f, 0.5f, 1}, {1, 1, 1, 1}, {0, 0, 0, 1}, 1.0f};
    SetMaterial(&material);
    glPolygonMode(GL_FRONT, GL_FILL);
    glEnable(GL_SCISSOR_TEST);
    glDepthFunc(GL_LEQUAL);
}

void TGLDisplayHandler::GetDisplay(unsigned int* width, unsigned int* height, bool* fullscreen)
{
    if (width)
        *width = static_cast<unsigned>(mDisplay.width);
    if (height)
        *height = static_cast<unsigned>(mDisplay.height);
    if (fullscreen)
        *fullscreen = IsFullscreen();
}

bool TGLDisplayHandler::IsFullscreen()
{
    return GetRenderPlatform().IsFullscreen();
}

void TGLDisplayHandler::RebuildDisplay()
{
    if (!mDisplaySet)
        return;
    mFrontValid = false;
    SetDisplay(static_cast<unsigned>(mDisplay.width), static_cast<unsigned>(mDisplay.height), false, false, false,
               false);
}

bool TGLDisplayHandler::BeginDraw(bool preserve)
{
    Flush();
    if (preserve && mDoubleBuffered && !mKeepShownImage)
        SetKeepShownImage(true);
    if (preserve && mKeepShownImage && mFrontValid) {
        // The shown image, kept at the last swap, becomes the start of this frame.
        TFramebufferScope scope;
        glDisable(GL_SCISSOR_TEST);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, mFrontFbo);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glBlitFramebuffer(0, 0, mDisplay.width, mDisplay.height, 0, 0, mDisplay.width, mDisplay.height,
                          GL_COLOR_BUFFER_BIT, GL_NEAREST);
        glEnable(GL_SCISSOR_TEST);
    }
    glDisable(GL_SCISSOR_TEST);
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDepthMask(mDepthWrite ? GL_TRUE : GL_FALSE);
    glEnable(GL_SCISSOR_TEST);
    return true;
}

void TGLDisplayHandler::EndDraw(bool swap)
{
    Flush();
    static const bool showFps = std::getenv("GANTRIMOLE_SHOWFPS") != nullptr;
    if (showFps) {
        static uint32_t ring[15] = {};
        static unsigned index = 0;
        static uint32_t lastReport = 0;
        const uint32_t now = GetRenderPlatform().Timer();
        ring[index] = now;
        index = (index + 1) % 15;
        if (index == 0 && now - lastReport > 1000 && now != ring[0]) {
            WriteDbg("fps: %f", 15000.0 / static_cast<double>(now - ring[0]));
            lastReport = now;
        }
    }
    if (!swap) {
        glFlush();
        return;
    }
    TRenderPlatform& platform = GetRenderPlatform();
    if (platform.ShowSoftwareCursor() && platform.IsMouseInContent()) {
        TRenderer* renderer = TRenderer::GetInstance();
        const bool began = renderer->Begin2d();
        DrawCursor();
        if (began)
            renderer->End2d();
    }
}

void TGLDisplayHandler::PostEndDraw(bool swap)
{
    Flush();
    TRenderer* renderer = TRenderer::GetInstance();
    if (std::shared_ptr<TTexture> capture = renderer->GetCaptureTexture()) {
        // First pass: the frame's top-left area, rows bottom-up; second pass turns them over.
        if (BeginRenderTarget(capture, TRenderer::kRenderTargetNormal))
            EndRenderTarget();
        if (BeginRenderTarget(capture, TRenderer::kRenderTargetFromTexture)) {
            Begin2d();
            const float w = static_cast<float>(capture->GetWidth());
            const float h = static_cast<float>(capture->GetHeight());
            const auto internal = capture->GetInternalSize();
            TVec2 corners[4] = {TVec2(0, 0), TVec2(w, 0), TVec2(w, h), TVec2(0, h)};
            const TVec2 uv[2] = {TVec2(0, h / static_cast<float>(std::max(1, internal.second))),
                                 TVec2(w / static_cast<float>(std::max(1, internal.first)), 0)};
            TTransformedLitVert verts[4];
            CreateVertsFromRect(TVec2(0, 0), verts, corners, uv, TMat3(), 1.0f, TColor(1, 1, 1, 1));
            SetBlendMode(TRenderer::kBlendOpaque);
            TGLTextureData* previous = mCurrentTexture;
            mCurrentTexture = dynamic_cast<TGLTextureData*>(capture->GetTextureData());
            TVertexSet set(verts, 4);
            DrawVertices(TRenderer::kTriangleFan, set);
            mCurrentTexture = previous;
            End2d();
            EndRenderTarget();
            // Served once; when the second pass cannot begin, the next frame tries again.
            renderer->SetCaptureTexture(nullptr);
        }
    }
    if (swap && !mKeepShownImage) {
        GetRenderPlatform().SwapBuffers();
        PaceFrames();
    } else if (swap) {
        // Keep what is about to be shown, for frames that start from it.
        if (!mFrontFbo) {
            glGenFramebuffers(1, &mFrontFbo);
            glGenRenderbuffers(1, &mFrontColor);
        }
        TFramebufferScope scope;
        if (!mFrontValid) {
            glBindRenderbuffer(GL_RENDERBUFFER, mFrontColor);
            glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, std::max(1, mDisplay.width), std::max(1, mDisplay.height));
            glBindFramebuffer(GL_FRAMEBUFFER, mFrontFbo);
            glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, mFrontColor);
        }
        glDisable(GL_SCISSOR_TEST);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, mFrontFbo);
        glBlitFramebuffer(0, 0, mDisplay.width, mDisplay.height, 0, 0, mDisplay.width, mDisplay.height,
                          GL_COLOR_BUFFER_BIT, GL_NEAREST);
        glEnable(GL_SCISSOR_TEST);
        mFrontValid = true;
        GetRenderPlatform().SwapBuffers();
    }
}

void TGLDisplayHandler::PaceFrames()
{
    // A swap that shows nothing (a single buffer) would let the device fall ever further
    // behind, holding every frame not yet drawn. As a swap chain does, let a bounded number of
    // earlier frames still be in the making when this one is handed over.
    const size_t slot = mFrameFenceIndex;
    mFrameFenceIndex = (mFrameFenceIndex + 1) % kFramesInFlight;
    if (GLsync oldest = static_cast<GLsync>(mFrameFences[slot])) {
        glClientWaitSync(oldest, GL_SYNC_FLUSH_COMMANDS_BIT, 1000000000ull);
        glDeleteSync(oldest);
    }
    mFrameFences[slot] = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
}

void TGLDisplayHandler::LoadModelView()
{
    mWorldView = mWorld * mView;
    glMatrixMode(GL_MODELVIEW);
    if (mAxes3d) {
        TMat4 m = mWorldView;
        m.RotateY(static_cast<float>(M_PI));
        m.Scale(1, 1, -1);
        LoadMatrix(m);
    } else {
        LoadMatrix(mWorldView);
    }
}

bool TGLDisplayHandler::Begin2d()
{
    Flush();
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    mDepthTest = false;
    mDepthWrite = false;
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    mCullFace = false;
    mBlendMode = TRenderer::kBlendNormal;
    mFilterMode = 1;
    mWrapU = mWrapV = 0;
    mAxes3d = false;
    mWorld = TMat4();
    mView = TMat4();
    LoadModelView();
    return true;
}

void TGLDisplayHandler::End2d()
{
    Flush();
    mAxes3d = false;
    mWorld = TMat4();
    mView = TMat4();
    LoadModelView();
}

bool TGLDisplayHandler::Begin3d()
{
    Flush();
    mAxes3d = true;
    mBlendMode = TRenderer::kBlendNormal;
    mFilterMode = 1;
    mWrapU = mWrapV = 1;
    if (!m3dPass) {
        glPushAttrib(GL_ENABLE_BIT);
        mDepthTestBefore3d = mDepthTest;
        mCullFaceBefore3d = mCullFace;
    }
    m3dPass = true;
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    mDepthTest = mDepthWrite = true;
    SetCullMode(TRenderer::kCullCCW);
    SetProjectionMatrix(&mProjection);
    return true;
}

void TGLDisplayHandler::End3d()
{
    Flush();
    // Only what Begin3d pushed is popped.
    if (m3dPass) {
        glPopAttrib();
        mDepthTest = mDepthTestBefore3d;
        mCullFace = mCullFaceBefore3d;
    }
    m3dPass = false;
}

void TGLDisplayHandler::SetWorldMatrix(TMat4* matrix)
{
    Flush();
    if (matrix)
        mWorld = *matrix;
    LoadModelView();
}

void TGLDisplayHandler::SetViewMatrix(TMat4* matrix)
{
    Flush();
    if (matrix)
        mView = *matrix;
    LoadModelView();
}

void TGLDisplayHandler::SetProjectionMatrix(TMat4* matrix)
{
    Flush();
    if (matrix)
        mProjection = *matrix;
    // The device's depth runs the other way round: mirror z before loading.
    TMat4 device = mProjection;
    device.Scale(1, 1, -1);
    glMatrixMode(GL_PROJECTION);
    LoadMatrix(device);
    glMatrixMode(GL_MODELVIEW);
}

void TGLDisplayHandler::SetPerspectiveProjection(float nearZ, float farZ, float fov, float aspect)
{
    if (aspect <= 0.0f)
        aspect = mDisplay.height > 0 ? static_cast<float>(mDisplay.width) / static_cast<float>(mDisplay.height) : 1.0f;
    mProjection.OffsetPerspective(nearZ, farZ, fov, aspect, TVec2(0, 0));
}

void TGLDisplayHandler::SetMaterial(TMaterial* material)
{
    Flush();
    mMaterial = material;
    static const TMaterial none = {{0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, 0.0f};
    const TMaterial& m = material ? *material : none;
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, m.diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, m.ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, m.specular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, m.emissive);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SHININESS, &m.power);
}

void TGLDisplayHandler::PushViewport(int left, int top, int right, int bottom)
{
    Flush();
    mViewportStack.push_back(TViewport{left, top, right - left, bottom - top});
    SetViewport(left, top, right, bottom);
}

void TGLDisplayHandler::PopViewport()
{
    Flush();
    if (mViewportStack.size() <= 1)
        return;
    mViewportStack.pop_back();
    const TViewport& v = mViewportStack.back();
    SetViewport(v.x, v.y, v.x + v.width, v.y + v.height);
}

void TGLDisplayHandler::SetViewport(int left, int top, int right, int bottom)
{
    Flush();
    mViewport = TViewport{left, top, right - left, bottom - top};
    if (mViewportStack.empty())
        mViewportStack.push_back(mViewport);
    else
        mViewportStack.back() = mViewport;
    const int fw = FrameWidth();
    const int fh = FrameHeight();
    right = std::min(right, fw);
    bottom = std::min(bottom, fh);
    left = std::max(left, 0);
    top = std::max(top, 0);
    const int w = right - left;
    const int h = bottom - top;
    if (w <= 0 || h <= 0)
        return;
    if (mRenderTarget)
        glViewport(left, top, w, h);
    else
        glViewport(left, fh - top - h, w, h);
}

void TGLDisplayHandler::GetViewport(int* left, int* top, int* right, int* bottom)
{
    *left = mViewport.x;
    *top = mViewport.y;
    *right = mViewport.x + mViewport.width;
    *bottom = mViewport.y + mViewport.height;
}

void TGLDisplayHandler::SetClipRectangle(const TURect& rect)
{
    Flush();
    mClip = rect;
    Scissor(rect, mRenderTarget != nullptr, FrameHeight());
}

void TGLDisplayHandler::SetCullMode(TRenderer::ECullMode mode)
{
    Flush();
    mCullMode = mode;
    mCullFace = mode != TRenderer::kCullNone;
    const bool target = mRenderTarget != nullptr;
    switch (mode) {
    case TRenderer::kCullNone: glDisable(GL_CULL_FACE); break;
    case TRenderer::kCullCW:
        glEnable(GL_CULL_FACE);
        glFrontFace(target ? GL_CW : GL_CCW);
        break;
    case TRenderer::kCullCCW:
        glEnable(GL_CULL_FACE);
        glFrontFace(target ? GL_CCW : GL_CW);
        break;
    }
}

void TGLDisplayHandler::SetTexture(std::shared_ptr<TTexture> texture)
{
    mCurrentTexture = texture ? dynamic_cast<TGLTextureData*>(texture->GetTextureData()) : nullptr;
}

bool TGLDisplayHandler::InAlphaTarget() const
{
    return mRenderTarget && mRenderTargetMode == TRenderer::kRenderTargetAlphaMask;
}

void TGLDisplayHandler::SetKeepShownImage(bool keep)
{
    if (keep != mKeepShownImage)
        mFrontValid = false;
    mKeepShownImage = keep;
}

void TGLDisplayHandler::SetCursor(std::shared_ptr<TTexture> texture, TPoint hotSpot, bool)
{
    if (texture && !mHardwareCursors) {
        if (auto* data = dynamic_cast<TGLTextureData*>(texture->GetTextureData()))
            data->ProcessColor();
    }
    mCursor = texture;
    mCursorHotSpot = hotSpot;
}

void TGLDisplayHandler::DrawCursor()
{
    if (!mCursor || !mCursor->GetTextureData())
        return;
    const TPoint mouse = GetMouse();
    TDrawSpec spec(
        TVec2(static_cast<float>(mouse.x - mCursorHotSpot.x + 1), static_cast<float>(mouse.y - mCursorHotSpot.y + 1)),
        1.0f, 1.0f, TDrawSpec::kUseCentre);
    TTextureData* data = mCursor->GetTextureData();
    const bool simple = data->HasFlag(TTextureData::kSimple);
    data->SetFlag(TTextureData::kSimple, false);
    mCursor->DrawSprite(spec);
    data->SetFlag(TTextureData::kSimple, simple);
}

TPoint TGLDisplayHandler::GetMouse()
{
    return GetRenderPlatform().GetMouse();
}

void TGLDisplayHandler::SetOption(const str& name, const str& value)
{
    if (name == "x")
        mOptionX = value.to_int();
    else if (name == "y")
        mOptionY = value.to_int();
    else if (name == "texture_rectangle")
        mSquareOnly = value.to_int() == 0;
    else if (name == "avoid_fillrect_if_16bit")
        mAvoidFillIn16Bit = value == "true";
    else if (name == "mac_use_hw_cursors")
        mHardwareCursors = value == "1";
}

str TGLDisplayHandler::GetOption(const str& name)
{
    if (name == "texture_rectangle")
        return mSquareOnly ? "0" : "1";
    if (name == "avoid_fillrect_if_16bit")
        return mAvoidFillIn16Bit ? "true" : "false";
    if (name == "mac_use_hw_cursors")
        return mHardwareCursors ? "1" : "0";
    return str();
}
