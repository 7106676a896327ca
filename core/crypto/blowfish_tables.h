#pragma once
// Start values of the cipher's subkeys and substitution boxes, before any key is mixed in.

#include <cstdint>

extern const uint32_t kBlowfishInitP[18];
extern const uint32_t kBlowfishInitS[4][256];
