#include "floor_scene.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>
#include <cstddef>

namespace {

struct TFloorVertex
{
    float x, y, z;
    float u, v;
    uint32_t color;  // 0xAARRGGBB, read as BGRA bytes
};

}  // namespace

TFloorScene::TFloorScene(const std::vector<TFloorQuad>& quads, unsigned int texture, float u, float v, int width,
                         int height)
    : mTexture(texture), mWidth(width), mHeight(height)
{
    std::vector<TFloorVertex> verts;
    verts.reserve(quads.size() * 6);
    const float corner[4][2] = {{-16, -16}, {16, -16}, {16, 16}, {-16, 16}};
    const float uv[4][2] = {{0, 0}, {u, 0}, {u, v}, {0, v}};
    for (const TFloorQuad& q : quads) {
        const float c = std::cos(q.rotation), s = std::sin(q.rotation);
        const auto a = static_cast<uint32_t>(std::lround(q.alpha * 255.0f));
        TFloorVertex k[4];
        for (int i = 0; i < 4; ++i)
            k[i] = TFloorVertex{q.x + corner[i][0] * c - corner[i][1] * s,
                                q.y + corner[i][0] * s + corner[i][1] * c,
                                0,
                                uv[i][0],
                                uv[i][1],
                                a << 24 | 0x00FFFFFFu};
        for (int i : {0, 1, 2, 0, 2, 3})
            verts.push_back(k[i]);
    }
    mVertexCount = static_cast<int>(verts.size());
    glGenBuffers(1, &mBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, mBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(verts.size() * sizeof(TFloorVertex)), verts.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

TFloorScene::~TFloorScene()
{
    for (void* fence : mFences)
        if (fence)
            glDeleteSync(static_cast<GLsync>(fence));
    glDeleteBuffers(1, &mBuffer);
}

void TFloorScene::DrawFrame()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, mWidth, mHeight);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, mWidth, mHeight, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, mTexture);
    glBindBuffer(GL_ARRAY_BUFFER, mBuffer);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    const auto* base = static_cast<const char*>(nullptr);
    glVertexPointer(3, GL_FLOAT, sizeof(TFloorVertex), base + offsetof(TFloorVertex, x));
    glTexCoordPointer(2, GL_FLOAT, sizeof(TFloorVertex), base + offsetof(TFloorVertex, u));
    glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, sizeof(TFloorVertex), base + offsetof(TFloorVertex, color));
    glDrawArrays(GL_TRIANGLES, 0, mVertexCount);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    // The engine's frames, which take turns with these, keep the scissor test on.
    glEnable(GL_SCISSOR_TEST);

    if (auto oldest = static_cast<GLsync>(mFences[mFenceIndex])) {
        glClientWaitSync(oldest, GL_SYNC_FLUSH_COMMANDS_BIT, 1000000000ull);
        glDeleteSync(oldest);
    }
    mFences[mFenceIndex] = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    mFenceIndex = (mFenceIndex + 1) % kFramesInFlight;
}
