#pragma once
// The debug overlay of walk meshes and of the last path search, drawn through the renderer
// inside a 2-D bracket. tMesh::Draw is declared with the mesh and defined here, so the mesh
// itself needs no renderer (the tools and the search run without one).

#include "game/world/geometry/vector2.h"

// The last route (gPath) as a red line strip shifted by -camera, and its target (gTarget) as
// a small green square.
void DrawPath(const tVector2<float>& camera);
