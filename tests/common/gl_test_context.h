#pragma once
// One hidden OpenGL context per test program, made on first use at the size asked then (the
// offscreen video driver unless the caller chose another) and made current on every call.
// Renderers made from then on draw through the OpenGL display handler. False when there is
// no GL.

bool EnsureTestGLContext(int width, int height);
