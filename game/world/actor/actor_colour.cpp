#include "game/world/actor/actor_colour.h"

#include "game/script/script_enums.h"

TColor ActorColour(const TColor& tint, float alpha, uint32_t flags, TColor32 light)
{
    TColor c(tint.red, tint.green, tint.blue, alpha);
    if (flags & AFLAG_USE_LIGHTMAP) {
        c.red *= light.Red() / 255.0f;
        c.green *= light.Green() / 255.0f;
        c.blue *= light.Blue() / 255.0f;
        c.alpha *= light.Alpha() / 255.0f;
    }
    return c;
}
