#pragma once
// Draws a sprite in screen coordinates, whatever window asks: a viewport over the whole
// 800 × 600 screen, at (0, 0), scale 1, alpha 1 (the sprite's own spec places it).

#include <memory>

class TSprite;

void DrawScreenSprite(const std::shared_ptr<TSprite>& sprite);
