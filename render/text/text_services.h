#pragma once
// The process-wide objects text drawing uses: the font cache and the one vector drawer. The
// engine's render link owns and installs them with the renderer; until then lazily made defaults
// stand in, so text works in tools and tests without a platform.

class TFontData;
class TZvMiniVecDraw;

// Never null.
TFontData* GetFontData();
TZvMiniVecDraw* GetMiniVecDraw();
// Install objects owned by the caller; null goes back to the defaults.
void SetFontData(TFontData* fonts);
void SetMiniVecDraw(TZvMiniVecDraw* drawer);

// Drops cached spans of streams inside [begin, end) from the drawers in use, before that memory
// is freed (the cache keys on stream addresses).
void ForgetCachedStreams(const unsigned char* begin, const unsigned char* end);

// Called when text drawn into a texture is finished, so the screen is drawn again. The window
// manager installs it; until then nothing happens.
void SetScreenInvalidator(void (*invalidate)());
void InvalidateScreenForText();
