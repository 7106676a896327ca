#pragma once
// The Lua animation library every animated sprite's script starts with (chunk "ganimationscript"):
// delay, pause, showFrame, fadeout, fadein, setAlpha, frames, loop, run, die, halt, isPlaying,
// stop, random and endReferences, over the sprite functions the sprite adds.

extern const char* const kAnimationLibraryChunkName;
extern const char* const kAnimationLibrarySource;
