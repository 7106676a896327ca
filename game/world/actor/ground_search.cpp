#include "game/world/actor/ground_search.h"

#include "game/world/path/path_search.h"

void PlanWalkLeg(const tMesh& ground, const tVector2<float>& from, const tVector2<float>& to, uint32_t flags,
                 tVector2<float>* next)
{
    ComputePathToTarget(ground, from, to, flags, next);
}

bool OldSchoolSearch()
{
    return OLD_SCHOOL;
}
