// Actors made from their spec tables: by the scene's "actorlist" at load and by scripts.

#include "core/script/lua_stack_guard.h"
#include "game/script/df_log.h"
#include "game/script/df_lua_obj.h"
#include "game/script/lua_error.h"
#include "game/world/actor/girl.h"
#include "game/world/mesh/mesh.h"
#include "game/world/mesh/mesh_lua.h"
#include "game/world/scene/scene.h"

#include <algorithm>

namespace {

// Spec keys the actor, the scene and the interface read later; copied as they are.
constexpr const char* kCopiedKeys[] = {
    "point_at_name", "point_at_color", "point_at_color_outline", "point_at_fn", "point_at", "on_collide",
    "on_arrive",     "on_use_inv",     "on_misuse_inv",          "on_hit_edge", "on_click", "cantuse",
};

// Whether storing an actor under `name` in the scene's table (on the top of the stack) would
// hide a part of the scene: its object pointer, its ground mesh, or a method of its class.
bool IsReservedActorName(lua_State* L, const str& name)
{
    if (name == "this" || name == "mesh")
        return true;
    TLuaStackGuard guard(L);
    const int scene = lua_gettop(L);
    lua_pushlstring(L, name.c_str(), name.length());
    lua_rawget(L, scene);
    if (!lua_isnil(L, -1))
        return false;  // an earlier actor: a duplicate, not a method
    lua_pushlstring(L, name.c_str(), name.length());
    lua_gettable(L, scene);
    return !lua_isnil(L, -1);
}

bool HasRawField(lua_State* L, const str& name)
{
    TLuaStackGuard guard(L);
    lua_pushlstring(L, name.c_str(), name.length());
    lua_rawget(L, -2);
    return !lua_isnil(L, -1);
}

// table[key] = the value on the top of the stack (popped); the table lies just below it.
void SetField(lua_State* L, const char* key)
{
    lua_pushstring(L, key);
    lua_insert(L, -2);
    lua_settable(L, -3);
}

}  // namespace

tGirl* tScene::Spawn(dfLua& spec, const tVector2<float>& position)
{
    lua_State* L = spec.GetState();
    TLuaStackGuard guard(L);
    if (lua_gettop(L) < 1) {
        LOGIT("ASSERT: %s\n", "luaSpec.gettop() >= 1");
        dfDebugBreak();
        lua_pushnil(L);
    } else if (!lua_istable(L, -1)) {
        LOGIT("ASSERT: %s\n", "luaSpec.istable()");
        dfDebugBreak();
    }
    lua_pushvalue(L, -1);
    dfLuaTable actorSpec(spec, "lActorSpec");
    const int height = lua_gettop(L);

    // The actor's table lives in the scene's own state, never in a coroutine that may end.
    tGirl* actor = tGirl::SuperFactory(mLua.GetState() ? mLua : spec);
    actor->SetScene(this);
    mActors.emplace_back(actor);
    DepthSortNeeded();
    actor->SetPosition(position);
    actor->GenerateThread();

    const str name = actorSpec.getfield_as_string("name");
    actor->SetName(name);
    if (name.empty())
        GlobalLuaError("Spawn", str::getFormatted("No name provided for actor #%d", ActorCount()));

    actorSpec.getfield("anim");
    actor->RegisterAnimFileFromLua(spec);
    str image = actorSpec.getfield_as_string("image");
    if (std::unique_ptr<dfLuaTable> gfx = actorSpec.getfield_as_table("gfx")) {
        gfx->getfield("anim");
        actor->RegisterAnimFileFromLua(spec);
        image = gfx->getfield_as_string("image");
    }
    lua_settop(L, height);  // the registrations pop what they read; be sure of it
    if (actor->HasAnimNames())
        actor->CreateAnimatedSprite();
    actor->LoadImage(image);

    const str halo = actorSpec.getfield_as_string("halo");
    if (!halo.empty())
        actor->LoadZone(halo);
    ReadHotSpot(*actor, actorSpec);

    dfLuaTable* object = actor->GetLuaObj();
    object->PushSelfOnto(spec);
    lua_pushlstring(L, name.c_str(), name.length());
    SetField(L, "name");
    actorSpec.PushSelfOnto(spec);
    SetField(L, "actorspec");
    for (const char* key : kCopiedKeys) {
        actorSpec.getfield(key);
        SetField(L, key);
    }
    lua_pop(L, 1);
    StoreActorObject(spec, *actor);

    actorSpec.getfield("command");
    const bool hasCommand = lua_isfunction(L, -1);
    lua_pop(L, 1);
    if (hasCommand) {
        dfLua& thread = actor->GetScriptState();
        if (thread.GetState()) {
            actorSpec.getfield("command");
            dfLuaObj command(spec, "command");
            command.PushSelfOnto(thread);
            object->PushSelfOnto(thread);
            actor->ResumeHelper(1);
        } else {
            LOGIT("Spawn: actor [%s] has no script thread; its command does not run\n", name.c_str());
        }
    }
    return actor;
}

void tScene::ReadHotSpot(tGirl& actor, dfLuaTable& actorSpec)
{
    lua_State* L = actorSpec.GetState();
    dfLua lua(L);
    actorSpec.getfield("hotspot");
    if (lua_istable(L, -1)) {
        actor.SetHotSpot(Get(TypeWrapper<tVector2<float>>(), lua, -1));
    } else if (lua_type(L, -1) == LUA_TSTRING) {
        const str label(lua_tostring(L, -1));
        const tMesh* zone = actor.GetZone();
        if (!zone) {
            LOGIT("named hotspot [%s] with no actor zone\n", label.c_str());
        } else if (auto it = zone->VertLabels().find(label); it != zone->VertLabels().end()) {
            actor.SetHotSpot(zone->GetVertex(it->second));
        } else {
            LOGIT("named hotspot [%s] is no label of the zone of %s\n", label.c_str(), actor.GetName().c_str());
        }
    }
    lua_pop(L, 1);
}

void tScene::StoreActorObject(dfLua& lua, tGirl& actor)
{
    dfLuaTable* sceneObject = GetLuaObj();
    if (!sceneObject)
        return;
    lua_State* L = lua.GetState();
    TLuaStackGuard guard(L);
    const str& name = actor.GetName();
    sceneObject->PushSelfOnto(lua);
    if (IsReservedActorName(L, name)) {
        LOGIT("Spawn: the actor name [%s] is taken by the scene itself; the actor is not stored under it\n",
              name.c_str());
        return;
    }
    if (HasRawField(L, name))
        GlobalLuaError("Attempt to spawn duplicate actor", name);
    lua_pushlstring(L, name.c_str(), name.length());
    actor.GetLuaObj()->PushSelfOnto(lua);
    lua_rawset(L, -3);
}

int tScene::BareSpawn(dfLua& lua)
{
    // The spec is the first argument after the scene; anything after it is ignored.
    lua_settop(lua.GetState(), 2);
    tGirl* actor = Spawn(lua, {0, 0});
    if (!actor || !actor->GetLuaObj())
        return 0;
    actor->GetLuaObj()->PushSelfOnto(lua);
    return 1;
}

int tScene::ActorCount() const
{
    return int(
        std::count_if(mActors.begin(), mActors.end(), [](const std::unique_ptr<tGirl>& a) { return a != nullptr; }));
}
