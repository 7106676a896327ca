#pragma once
// The colour an actor is drawn in: its tint and alpha, lit by the scene's light map under its
// feet when it asks for that (AFLAG_USE_LIGHTMAP).

#include "core/math/color.h"

#include <cstdint>

TColor ActorColour(const TColor& tint, float alpha, uint32_t flags, TColor32 lightmapPixel);
