#pragma once
// The benchmark's rooms: a grid of square cells, each two triangles, with rectangular
// obstacles of one to three cells left out (some touching the walls, most standing free).

#include "tools/meshtool/mesh_source.h"

#include <cstdint>

// About `triangles` triangles; the same mesh for the same arguments.
TMeshSource MakeBenchRoom(int triangles, uint32_t seed);
