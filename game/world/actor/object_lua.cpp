#include "game/world/actor/object_lua.h"

#include "game/script/class_info.h"
#include "game/script/df_log.h"
#include "game/world/actor/girl.h"
#include "game/world/scene/scene.h"

#include <lua.h>

baseObj* Get(TypeWrapper<baseObj*>, dfLua& lua, int index)
{
    lua_State* L = lua.GetState();
    if (lua_istable(L, index)) {
        // Read as the object of a method call is, so that the same tables serve both.
        void* object = lua_dispatch_detail::ThisObject(L, index);
        if (!object)
            LOGIT("object.this was not userdata\n");
        return static_cast<baseObj*>(object);
    }
    if (lua_type(L, index) == LUA_TLIGHTUSERDATA) {
        void* object = lua_touserdata(L, index);
        LOGIT("Warning: Get(tObject) found untabled object pointer %p\n", object);
        return static_cast<baseObj*>(object);
    }
    return nullptr;
}

tGirl* GetSceneActor(const tScene* scene, dfLua& lua, int index)
{
    const baseObj* object = Get(TypeWrapper<baseObj*>(), lua, index);
    if (!object)
        return nullptr;
    if (scene)
        for (const auto& actor : scene->GetActors())
            if (actor && static_cast<const baseObj*>(actor.get()) == object)
                return actor.get();
    LOGIT("%p is not an actor of this scene\n", static_cast<const void*>(object));
    return nullptr;
}
