#pragma once
// A hidden SDL window with a compatibility-profile OpenGL context: what the renderer draws into
// until the platform layer owns window and context creation.

#include <memory>

// The framebuffer every engine context asks for: compatibility profile (the renderer uses
// fixed-function GL), 8-bit RGBA with destination alpha, double-buffered, the given depth.
void SetEngineGLAttributes(int depthBits);

class TGLContext
{
public:
    // Null (with a log line) when the video system, the window or the context cannot be made.
    static std::unique_ptr<TGLContext> Create(int width, int height);
    ~TGLContext();

    TGLContext(const TGLContext&) = delete;
    TGLContext& operator=(const TGLContext&) = delete;

    bool MakeCurrent();
    void Swap();
    int Width() const { return mWidth; }
    int Height() const { return mHeight; }

private:
    TGLContext() = default;

    void* mWindow = nullptr;   // SDL_Window*
    void* mContext = nullptr;  // SDL_GLContext
    int mWidth = 0;
    int mHeight = 0;
};
