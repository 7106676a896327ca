#include "engine_gl_fixture.h"

#include "common/gl_test_context.h"

bool EnsureEngineGLContext()
{
    return EnsureTestGLContext(128, 64);
}
