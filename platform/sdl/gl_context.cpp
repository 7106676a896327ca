#include "platform/sdl/gl_context.h"

#include "core/debug/debug_log.h"

#include <SDL.h>

void SetEngineGLAttributes(int depthBits)
{
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

std::unique_ptr<TGLContext> TGLContext::Create(int width, int height)
{
    if (width <= 0 || height <= 0) {
        WriteDbg("TGLContext: bad size %dx%d", width, height);
        return nullptr;
    }
    if (!(SDL_WasInit(SDL_INIT_VIDEO) & SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        WriteDbg("TGLContext: video init failed: %s", SDL_GetError());
        return nullptr;
    }
    SetEngineGLAttributes(24);

    std::unique_ptr<TGLContext> ctx(new TGLContext);
    SDL_Window* window = SDL_CreateWindow("tessivander", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width,
                                          height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window) {
        WriteDbg("TGLContext: window creation failed: %s", SDL_GetError());
        return nullptr;
    }
    ctx->mWindow = window;
    SDL_GLContext gl = SDL_GL_CreateContext(window);
    if (!gl) {
        WriteDbg("TGLContext: context creation failed: %s", SDL_GetError());
        return nullptr;
    }
    ctx->mContext = gl;
    ctx->mWidth = width;
    ctx->mHeight = height;
    if (!ctx->MakeCurrent())
        return nullptr;
    SDL_GL_SetSwapInterval(0);
    return ctx;
}

TGLContext::~TGLContext()
{
    if (mContext)
        SDL_GL_DeleteContext(static_cast<SDL_GLContext>(mContext));
    if (mWindow)
        SDL_DestroyWindow(static_cast<SDL_Window*>(mWindow));
}

bool TGLContext::MakeCurrent()
{
    if (SDL_GL_MakeCurrent(static_cast<SDL_Window*>(mWindow), static_cast<SDL_GLContext>(mContext)) != 0) {
        WriteDbg("TGLContext: make current failed: %s", SDL_GetError());
        return false;
    }
    return true;
}

void TGLContext::Swap()
{
    SDL_GL_SwapWindow(static_cast<SDL_Window*>(mWindow));
}
