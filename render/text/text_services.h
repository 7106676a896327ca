#pragma once
// The process-wide objects text drawing uses: the font cache and the one vector drawer. The
// platform object owns them and installs them at start-up; until it does, lazily made defaults
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
