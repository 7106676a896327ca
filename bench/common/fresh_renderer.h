#pragma once
// A new renderer on the given display handler's factory, its display and clipping at the
// benchmark's screen size, blending normal.

class TDisplayHandler;

void FreshRenderer(TDisplayHandler* (*factory)(), int width, int height);
