#pragma once
// The automatic choice of an actor's animation from its motion and facing: the verb
// ("DoTalk", "DoStand", "DoWalk") with the eight-way direction, its mirror image when the
// actor may be mirrored, the four-way direction and its mirror, then the bare verb.
//   tAnimChoice c{DIR_SW, angle, AFLAG_X_FLIPPABLE, MOTION_WALK, false};
//   ChooseAnim(c, [&](const str& name) { return actor.PlayAnim(name); }, &flipped);

#include "core/text/str.h"
#include "game/script/script_enums.h"

#include <cstdint>
#include <functional>

struct tAnimChoice
{
    DIR facing = DIR_S;
    float angle = 0;     // the exact facing, for the four-way name
    uint32_t flags = 0;  // AFLAG bits
    MOTION motion = MOTION_SPECIAL;
    bool conversation = false;  // the scene talks in its own text area: no talking mouths
};

// Tries names in order until `play` accepts one; true then, with *xFlipped telling whether a
// mirrored direction stands in. SPECIAL motion and AFLAG_SPECIAL_ANIM try nothing.
bool ChooseAnim(const tAnimChoice& choice, const std::function<bool(const str&)>& play, bool* xFlipped);
