#pragma once
// GL state helpers shared by the display handler's files.

#include "core/math/rect.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

namespace tv_gl {

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

// The scissor box of a clipping rectangle: target rows run top-down, the frame's bottom-up.
inline void Scissor(const TURect& r, bool inTarget, int frameHeight)
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

}  // namespace tv_gl
