#pragma once
// A walk mesh of the built demo data, read as the game reads it.

#include "game/world/mesh/mesh.h"

#include <string>

// `base` names the mesh below assets/ without its extension, e.g. "quest/cottage/cottage".
tMesh BuiltMesh(const std::string& base);
