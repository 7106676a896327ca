#include "startup_gl_fixture.h"

#include "common/gl_test_context.h"

bool EnsureStartupGLContext()
{
    return EnsureTestGLContext(128, 64);
}
