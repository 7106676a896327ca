#include "render/gl/gl_display_handler.h"

#include "core/debug/debug_log.h"
#include "render/gl/gl_texture_data.h"
#include "render/renderer/render_platform.h"
#include "render/texture/texture.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <vector>

TGLDisplayHandler* TGLDisplayHandler::mTheHandler = nullptr;

namespace {

// Keeps the framebuffer bindings of the caller and puts them back.
class TFramebufferScope
{
public:
    TFramebufferScope()
    {
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &mDraw);
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &mRead);
    }
    ~TFramebufferScope()
    {
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(mDraw));
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(mRead));
    }

private:
    GLint mDraw = 0;
    GLint mRead = 0;
};

GLenum Primitive(TRenderer::EDrawType type)
{
    switch (type) {
    case TRenderer::kPointList: return GL_POINTS;
    case TRenderer::kLineList: return GL_LINES;
    case TRenderer::kLineStrip: return GL_LINE_STRIP;
    case TRenderer::kTriangleList: return GL_TRIANGLES;
    case TRenderer::kTriangleStrip: return GL_TRIANGLE_STRIP;
    case TRenderer::kTriangleFan: return GL_TRIANGLE_FAN;
    }
    return GL_POINTS;
}

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
    if (!m3dPass)
        glPushAttrib(GL_ENABLE_BIT);
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
    if (m3dPass)
        glPopAttrib();
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

namespace {

void Scissor(const TURect& r, bool inTarget, int frameHeight)
{
    const int l = static_cast<int>(r.left);
    const int t = static_cast<int>(r.top);
    const int w = static_cast<int>(r.right) - l;
    const int h = static_cast<int>(r.bottom) - t;
    if (inTarget)
        glScissor(l, t, std::max(w, 0), std::max(h, 0));
    else
        glScissor(l, frameHeight - static_cast<int>(r.bottom), std::max(w, 0), std::max(h, 0));
}

}  // namespace

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

void TGLDisplayHandler::ApplyBlendMode(TRenderer::EBlendMode mode)
{
    const bool alphaTarget = InAlphaTarget();
    switch (mode) {
    case TRenderer::kBlendNormal:
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, alphaTarget ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
        break;
    case TRenderer::kBlendOpaque: glDisable(GL_BLEND); break;
    case TRenderer::kBlendAdditiveAlpha:
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        break;
    case TRenderer::kBlendSubtractive:
        glEnable(GL_BLEND);
        if (alphaTarget)
            glBlendFunc(GL_ONE, GL_ONE);
        else
            glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
        break;
    case TRenderer::kBlendMultiplicative:
        glEnable(GL_BLEND);
        glBlendFunc(GL_ZERO, GL_SRC_COLOR);
        break;
    }
}

void TGLDisplayHandler::ApplyFilteringMode(bool mipmap)
{
    if (mFilterMode == 0) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmap ? GL_NEAREST_MIPMAP_NEAREST : GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    } else {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmap ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    }
    static const GLint kWrap[3] = {GL_CLAMP_TO_EDGE, GL_REPEAT, GL_MIRRORED_REPEAT};
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, kWrap[std::clamp(mWrapU, 0, 2)]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, kWrap[std::clamp(mWrapV, 0, 2)]);
}

void TGLDisplayHandler::BindWhiteTexture()
{
    // Texturing stays on for untextured drawing into an alpha mask, so that the combiner writes
    // alpha into the colour channels; a complete texture must be bound for that.
    if (!mWhiteTexture) {
        const GLuint white = 0xFFFFFFFFu;
        glGenTextures(1, &mWhiteTexture);
        glBindTexture(GL_TEXTURE_2D, mWhiteTexture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, &white);
    }
    glBindTexture(GL_TEXTURE_2D, mWhiteTexture);
}

void TGLDisplayHandler::DrawVertices(TRenderer::EDrawType type, const TVertexSet& set)
{
    Draw(Primitive(type), set, nullptr, 0);
}

void TGLDisplayHandler::DrawIndexedVertices(TRenderer::EDrawType type, const TVertexSet& set,
                                            unsigned short* indices, int count)
{
    if (!indices || count <= 0)
        return;
    Draw(Primitive(type), set, indices, count);
}

void TGLDisplayHandler::SetKeepShownImage(bool keep)
{
    if (keep != mKeepShownImage)
        mFrontValid = false;
    mKeepShownImage = keep;
}

void TGLDisplayHandler::SetBatching(bool on)
{
    Flush();
    mBatching = on;
}

void TGLDisplayHandler::Flush()
{
    if (mBatch.empty() || mSending)
        return;
    if (!mBatchIndices.empty())
        Send(GL_TRIANGLES, mBatch.data(), static_cast<unsigned>(mBatch.size()), mBatchIndices.data(),
             static_cast<int>(mBatchIndices.size()), mBatchState);
    mBatch.clear();
    mBatchIndices.clear();
}

void TGLDisplayHandler::Draw(unsigned int primitive, const TVertexSet& set, const unsigned short* indices,
                             int count)
{
    const TTransformedLitVert* verts = set.GetVertices();
    const unsigned n = set.GetCount();
    if (!verts || n == 0)
        return;
    const bool pointsOrLines = primitive == GL_POINTS || primitive == GL_LINES || primitive == GL_LINE_STRIP;
    TDrawState state;
    // A memory surface has no device texture to draw with.
    state.textured = !pointsOrLines && mCurrentTexture && mCurrentTexture->HasDeviceTexture();
    if (state.textured) {
        state.texture = mCurrentTexture->GetTextureName();
        state.mipmap = mCurrentTexture->HasFlag(TTextureData::kMipmap);
    }
    state.blend = mBlendMode;
    state.kind = set.GetKind();
    // Gathered vertices are numbered with 16 bits.
    constexpr size_t kMaxBatchVertices = 65536;
    if (!mBatching || pointsOrLines || n > kMaxBatchVertices) {
        Flush();
        Send(primitive, verts, n, indices, count, state);
        return;
    }
    if (!mBatch.empty() && (!(state == mBatchState) || mBatch.size() + n > kMaxBatchVertices))
        Flush();
    mBatchState = state;
    Gather(primitive, verts, n, indices, count);
}

void TGLDisplayHandler::Gather(unsigned int primitive, const TTransformedLitVert* verts, unsigned int count,
                               const unsigned short* indices, int indexCount)
{
    // The set's vertices are added as they are; each triangle keeps the vertex order GL gives
    // it within a fan, strip or list.
    const size_t m = indices ? static_cast<size_t>(indexCount) : count;
    if (m < 3)
        return;
    const size_t base = mBatch.size();
    mBatch.insert(mBatch.end(), verts, verts + count);
    if (!indices && primitive == GL_TRIANGLE_FAN && m == 4) {
        const auto b = static_cast<unsigned short>(base);
        const unsigned short quad[6] = {b, static_cast<unsigned short>(b + 1), static_cast<unsigned short>(b + 2),
                                        b, static_cast<unsigned short>(b + 2), static_cast<unsigned short>(b + 3)};
        mBatchIndices.insert(mBatchIndices.end(), quad, quad + 6);
        return;
    }
    auto add = [&](size_t a, size_t b, size_t c) {
        const size_t ia = indices ? indices[a] : a;
        const size_t ib = indices ? indices[b] : b;
        const size_t ic = indices ? indices[c] : c;
        // An index past the vertices would read beyond the caller's array.
        if (ia >= count || ib >= count || ic >= count)
            return;
        mBatchIndices.push_back(static_cast<unsigned short>(base + ia));
        mBatchIndices.push_back(static_cast<unsigned short>(base + ib));
        mBatchIndices.push_back(static_cast<unsigned short>(base + ic));
    };
    switch (primitive) {
    case GL_TRIANGLE_FAN:
        for (size_t i = 1; i + 1 < m; ++i)
            add(0, i, i + 1);
        break;
    case GL_TRIANGLE_STRIP:
        for (size_t i = 0; i + 2 < m; ++i) {
            if (i % 2 == 0)
                add(i, i + 1, i + 2);
            else
                add(i + 1, i, i + 2);
        }
        break;
    default:
        for (size_t i = 0; i + 2 < m; i += 3)
            add(i, i + 1, i + 2);
        break;
    }
}

void TGLDisplayHandler::Send(unsigned int primitive, const TTransformedLitVert* verts, unsigned int n,
                             const unsigned short* indices, int count, const TDrawState& state)
{
    mSending = true;
    ++mDrawCalls;
    ApplyBlendMode(state.blend);

    const bool alphaTarget = InAlphaTarget();
    if (!state.textured) {
        if (alphaTarget) {
            glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_REPLACE);
            glEnable(GL_TEXTURE_2D);
            BindWhiteTexture();
        } else {
            glDisable(GL_TEXTURE_2D);
        }
    } else {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, state.texture);
        ApplyFilteringMode(state.mipmap);
    }
    glDisable(GL_LIGHTING);

    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(TTransformedLitVert), &verts[0].position);
    glTexCoordPointer(2, GL_FLOAT, sizeof(TTransformedLitVert), &verts[0].uv);
    if constexpr (std::endian::native == std::endian::little) {
        // A colour word 0xAARRGGBB lies in memory as blue, green, red, alpha.
        glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, sizeof(TTransformedLitVert), &verts[0].diffuse);
    } else {
        mColorScratch.resize(static_cast<size_t>(n) * 4);
        for (unsigned i = 0; i < n; ++i) {
            const TColor32 c = verts[i].diffuse;
            mColorScratch[i * 4 + 0] = c.Red();
            mColorScratch[i * 4 + 1] = c.Green();
            mColorScratch[i * 4 + 2] = c.Blue();
            mColorScratch[i * 4 + 3] = c.Alpha();
        }
        glColorPointer(4, GL_UNSIGNED_BYTE, 0, mColorScratch.data());
    }

    const int tw = FrameWidth();
    const int th = FrameHeight();
    const bool inTarget = mRenderTarget != nullptr;
    const bool preScaled = state.kind == TVertexSet::kPreScaled;
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    if (!preScaled) {
        // Vertex (0, 0) is the viewport's top-left corner, even where that lies off the frame.
        const int l = std::max(mViewport.x, 0);
        const int t = std::max(mViewport.y, 0);
        const int r = std::min(mViewport.x + mViewport.width, tw);
        const int b = std::min(mViewport.y + mViewport.height, th);
        const int w = r - l;
        const int h = b - t;
        const double ox = mViewport.x < 0 ? -mViewport.x : 0;
        const double oy = mViewport.y < 0 ? -mViewport.y : 0;
        if (w > 0 && h > 0) {
            if (inTarget)
                glOrtho(ox, ox + w, oy, oy + h, mOrthoNear, mOrthoFar);
            else
                glOrtho(ox, ox + w, oy + h, oy, mOrthoNear, mOrthoFar);
        }
    } else {
        const TURect s(static_cast<unsigned>(std::max<int>(mViewport.x, static_cast<int>(mClip.left))),
                       static_cast<unsigned>(std::max<int>(mViewport.y, static_cast<int>(mClip.top))),
                       static_cast<unsigned>(std::max(0, std::min<int>(mViewport.x + mViewport.width,
                                                                       static_cast<int>(mClip.right)))),
                       static_cast<unsigned>(std::max(0, std::min<int>(mViewport.y + mViewport.height,
                                                                       static_cast<int>(mClip.bottom)))));
        Scissor(s, inTarget, th);
        PushViewport(0, 0, tw, th);
        if (tw > 0 && th > 0) {
            if (inTarget)
                glOrtho(0, tw, 0, th, mOrthoNear, mOrthoFar);
            else
                glOrtho(0, tw, th, 0, mOrthoNear, mOrthoFar);
        }
    }
    glMatrixMode(GL_MODELVIEW);

    if (indices)
        glDrawElements(primitive, count, GL_UNSIGNED_SHORT, indices);
    else
        glDrawArrays(primitive, 0, static_cast<GLsizei>(n));

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    if (preScaled) {
        PopViewport();
        SetClipRectangle(mClip);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    if (alphaTarget && !state.textured)
        glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_MODULATE);
    mSending = false;
}

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
    static const GLenum kFragmentStages[] = {GL_DEPTH_TEST, GL_CULL_FACE,   GL_ALPHA_TEST,      GL_STENCIL_TEST,
                                             GL_FOG,        GL_LIGHTING,    GL_COLOR_LOGIC_OP,  GL_POLYGON_STIPPLE,
                                             GL_TEXTURE_1D, GL_TEXTURE_3D,  GL_TEXTURE_CUBE_MAP};
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
    TDrawSpec spec(TVec2(static_cast<float>(mouse.x - mCursorHotSpot.x + 1),
                         static_cast<float>(mouse.y - mCursorHotSpot.y + 1)),
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
