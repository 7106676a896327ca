#include "game/world/actor/girl.h"

#include "core/debug/debug_log.h"
#include "game/script/df_lua_obj.h"
#include "game/world/mesh/mesh.h"
#include "game/world/scene/scene.h"
#include "particles/machine/lua_particle_system.h"
#include "render/anim/animated_sprite.h"
#include "render/text/text_graphic.h"

tClassInfo tGirl::civ("tGirl", &tGirl::Factory, &tGirl::LuaAdd, &baseObj::civ);

baseObj* tGirl::Factory()
{
    return new tGirl;
}

tGirl* tGirl::SuperFactory(dfLua& lua)
{
    auto* girl = new tGirl;
    girl->CreateLuaObj(lua);
    return girl;
}

bool tGirl::sortobject(const tGirl* a, const tGirl* b)
{
    return (a ? a->mDepthValue : 0) > (b ? b->mDepthValue : 0);
}

tGirl::tGirl()
{
    mClassInfo = &civ;
}

void tGirl::DumpState()
{
    DumpLuaObj();
    AssignScriptThread(nullptr);
}

namespace {

// A zero flag is a script's mistake worth reporting; the call still goes ahead.
void ReportZeroFlag(tGirl& girl, const char* what)
{
    ReportLuaError(girl.GetScriptState(), girl.GetName().c_str(), what);
}

}  // namespace

void tGirl::AddFlag(uint32_t flag)
{
    if (flag == 0)
        ReportZeroFlag(*this, "AddFlag(0)");
    mFlags |= flag;
}

void tGirl::ClearFlag(uint32_t flag)
{
    if (flag == 0)
        ReportZeroFlag(*this, "ClearFlag(0)");
    mFlags &= ~flag;
}

bool tGirl::TestFlag(uint32_t flag)
{
    if (flag == 0)
        ReportZeroFlag(*this, "TestFlag(0)");
    return (mFlags & flag) != 0;
}
