#pragma once
// The small render target that pixel hit tests draw into, shared by every sprite.

#include <memory>

class TTexture;

// Made on first use; empty when it cannot be made.
std::shared_ptr<TTexture> GetPickTarget();
// Dropped when the last sprite goes.
void ReleasePickTarget();
