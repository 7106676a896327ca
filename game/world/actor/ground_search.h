#pragma once
// The walk-mesh path search as the actor uses it. The search's header names
// AFLAG_IGNORE_GROUND_MESH itself, which clashes with the script enumeration the actor code
// includes, so the actor reaches it through here.

#include "game/world/geometry/vector2.h"

#include <cstdint>

class tMesh;

// The next waypoint from `from` toward `to` (`to` itself when no route is found).
void PlanWalkLeg(const tMesh& ground, const tVector2<float>& from, const tVector2<float>& to, uint32_t flags,
                 tVector2<float>* next);
// Whether the older corridor search is the one in use.
bool OldSchoolSearch();
