#pragma once
// A particle effect played in a menu or dialog, on the clock of its dialog: while the dialog
// is paused the effect stands still.
//   tMenuParty{ file = "particles/fireflies.lua", px = 400, py = 300, w = 800, h = 600 }

#include "core/math/vec.h"
#include "game/interface/windows/df_window.h"
#include "particles/machine/lua_particle_system.h"
#include "ui/window/window.h"

class tMenuParty : public TWindow
{
    TV_CLASS(tMenuParty, TWindow)

public:
    static TWindow* DynamicCreate();
    // "px", "py" (0): where the effect is drawn; "file": a ".lua" description or Lua text.
    void Init(TWindowStyle& style) override;
    bool OnTaskAnimate() override;
    void Draw() override;
    TLuaParticleSystem& GetParty() { return mParty; }

private:
    uint32_t ModalTime() const;

    uint32_t mLastTime = 0;
    TVec3 mPosition{0, 0, 0};
    TLuaParticleSystem mParty;
};

// Draws the active scene's layer above the interface.
class TOverhud : public dfWindow
{
    TV_CLASS(TOverhud, dfWindow)

public:
    static TWindow* DynamicCreate();
    void Draw() override;
};
