#include "game/world/actor/anim_choice.h"

#include "game/world/actor/facing.h"

#include <cstring>

namespace {

// The eight-way name, or for a diagonal the four-way name of the angle (passed through `map`).
const char* FourWayName(DIR dir, float angle, DIR (*map)(DIR))
{
    const char* name = DIR_NAME(dir);
    return std::strlen(name) == 2 ? DIR_NAME(map(Dir4FromAngle(angle))) : name;
}

DIR Same(DIR dir)
{
    return dir;
}

}  // namespace

bool ChooseAnim(const tAnimChoice& c, const std::function<bool(const str&)>& play, bool* xFlipped)
{
    *xFlipped = false;
    if (c.flags & AFLAG_SPECIAL_ANIM)
        return false;
    const char* verb = nullptr;
    if ((c.flags & AFLAG_TALKING) && !c.conversation)
        verb = "DoTalk";
    else if (c.motion == MOTION_STAND)
        verb = "DoStand";
    else if (c.motion == MOTION_WALK)
        verb = "DoWalk";
    if (!verb)
        return false;

    const DIR mirror = XFlipDir(c.facing);
    const bool mayMirror = (c.flags & AFLAG_X_FLIPPABLE) && mirror != c.facing;
    const struct
    {
        const char* dir;
        bool mirrored;
    } tries[] = {
        {DIR_NAME(c.facing), false},
        {DIR_NAME(mirror), true},
        {FourWayName(c.facing, c.angle, &Same), false},
        {FourWayName(mirror, c.angle, &XFlipDir), true},
        {"", false},
    };
    for (const auto& t : tries) {
        if (t.mirrored && !mayMirror)
            continue;
        if (play(str(verb) + t.dir)) {
            *xFlipped = t.mirrored;
            return true;
        }
    }
    return false;
}
