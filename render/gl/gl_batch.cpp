// Batched drawing: triangles that share texture, blend mode and vertex kind are gathered and
// sent as one draw, and so are lines (text spans) that share blend mode and vertex kind;
// everything else goes to GL as it comes.

#include "render/gl/gl_display_handler.h"

#include "render/gl/gl_scope.h"
#include "render/gl/gl_texture_data.h"
#include "render/texture/texture.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

using tv_gl::Scissor;

namespace {

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

}  // namespace

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

void TGLDisplayHandler::DrawIndexedVertices(TRenderer::EDrawType type, const TVertexSet& set, unsigned short* indices,
                                            int count)
{
    if (!indices || count <= 0)
        return;
    Draw(Primitive(type), set, indices, count);
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
    if (mBatchState.primitive == GL_LINES)
        Send(GL_LINES, mBatch.data(), static_cast<unsigned>(mBatch.size()), nullptr, 0, mBatchState);
    else if (!mBatchIndices.empty())
        Send(GL_TRIANGLES, mBatch.data(), static_cast<unsigned>(mBatch.size()), mBatchIndices.data(),
             static_cast<int>(mBatchIndices.size()), mBatchState);
    mBatch.clear();
    mBatchIndices.clear();
}

void TGLDisplayHandler::Draw(unsigned int primitive, const TVertexSet& set, const unsigned short* indices, int count)
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
    // Plain line lists gather as they are; other lines and points go at once.
    const bool lineList = primitive == GL_LINES && !indices;
    state.primitive = lineList ? GL_LINES : GL_TRIANGLES;
    // Gathered vertices are numbered with 16 bits.
    constexpr size_t kMaxBatchVertices = 65536;
    if (!mBatching || (pointsOrLines && !lineList) || n > kMaxBatchVertices) {
        Flush();
        Send(primitive, verts, n, indices, count, state);
        return;
    }
    if (!mBatch.empty() && (!(state == mBatchState) || mBatch.size() + n > kMaxBatchVertices))
        Flush();
    mBatchState = state;
    if (lineList)
        mBatch.insert(mBatch.end(), verts, verts + (n & ~1u));  // an odd last vertex draws nothing
    else
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
                       static_cast<unsigned>(
                           std::max(0, std::min<int>(mViewport.x + mViewport.width, static_cast<int>(mClip.right)))),
                       static_cast<unsigned>(
                           std::max(0, std::min<int>(mViewport.y + mViewport.height, static_cast<int>(mClip.bottom)))));
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
