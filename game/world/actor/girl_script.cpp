#include "game/world/actor/girl.h"

#include "core/script/script_interrupt.h"
#include "game/script/df_log.h"
#include "game/script/df_lua_obj.h"
#include "game/script/lua_error.h"
#include "game/world/actor/object_lua.h"
#include "game/world/mesh/mesh.h"
#include "game/world/scene/scene.h"
#include "game/world/sound/sfx_manager.h"
#include "render/anim/animated_sprite.h"

#include <lua.h>

#include <memory>

namespace {

// The actor's coroutine is kept alive by the actor's table (field "thread"); a pin holds it in
// the registry of `lua` while compiled code still needs it, even if the field is replaced.
std::unique_ptr<dfLuaObj> PinThread(dfLuaTable* table, dfLua& lua, const char* label)
{
    lua_State* L = lua.GetState();
    if (!table || !L)
        return nullptr;
    table->PushSelfOnto(lua);
    lua_pushstring(L, "thread");
    lua_rawget(L, -2);
    lua_remove(L, -2);
    return std::make_unique<dfLuaObj>(lua, label);
}

// The name of the actor a wait watches: a name, or an actor's table with a "name" field.
str OtherActorName(dfLua& lua, int index)
{
    lua_State* L = lua.GetState();
    if (lua_type(L, index) == LUA_TSTRING)
        return str(lua_tostring(L, index));
    if (!lua_istable(L, index))
        return str();
    lua_pushstring(L, "name");
    lua_gettable(L, index);
    str name = lua_type(L, -1) == LUA_TSTRING ? str(lua_tostring(L, -1)) : str();
    lua_pop(L, 1);
    return name;
}

// An actor whose animation has ended (one without an animated sprite never animates).
bool AnimationDone(const tGirl* actor)
{
    TAnimatedSprite* sprite = actor ? actor->GetAnimatedSprite() : nullptr;
    return sprite && !sprite->IsPlaying(0);
}

}  // namespace

lua_State* tGirl::GenerateThread()
{
    if (!GetLuaObj()) {
        LOGIT("ASSERT: %s\n", "GetLuaObj() != NULL");
        dfDebugBreak();
        return nullptr;
    }
    if (!GetScene() || !GetScene()->GetLua().GetState()) {
        LOGIT("ASSERT: %s\n", "GetScene() != NULL");
        dfDebugBreak();
        return nullptr;
    }
    lua_State* L = GetScene()->GetLua().GetState();
    lua_State* thread = lua_newthread(L);
    GetLuaObj()->PushSelfOnto(GetScene()->GetLua());
    lua_pushstring(L, "thread");
    lua_pushvalue(L, -3);
    lua_settable(L, -3);
    lua_pop(L, 2);
    AssignScriptThread(thread);
    return thread;
}

void tGirl::AssignScriptThread(lua_State* thread)
{
    // Watched like every other script the host runs, so that an endless loop in it can be
    // stopped when the player asks to close.
    // A coroutine that started its successor runs on until it yields: ResumeHelper lets it go.
    if (lua_State* old = mScript.GetState(); old && old != mResumingThread)
        UnregisterScriptState(old);
    mScript.close();
    mScript.assign(thread, false);
    if (thread)
        RegisterScriptState(thread);
}

int tGirl::lf_StartProc(dfLua& lua)
{
    lua_State* L = lua.GetState();
    if (!lua_isfunction(L, -1)) {
        LOGIT("tGirl::StartProc wasn't passed a function [%s]\n", Get(TypeWrapper<const char*>(), lua, -1));
        return 0;
    }
    // The old coroutine may be the one calling: it must outlive its replacement's start.
    const std::unique_ptr<dfLuaObj> oldThread = PinThread(GetLuaObj(), mScene ? mScene->GetLua() : lua, "oldthread");
    lua_State* thread = GenerateThread();
    if (!thread)
        return 0;
    lua_pushvalue(L, -1);
    lua_xmove(L, thread, 1);
    dfLua threadLua(thread);
    GetLuaObj()->PushSelfOnto(threadLua);
    mWaitMask = 0;
    ResumeHelper(1);
    return 0;
}

void tGirl::RunScript(int reason)
{
    lua_State* thread = mScript.GetState();
    // Only a coroutine waiting in a yield can go on; a finished one stays finished.
    if (!thread || !lua_isyielded(thread))
        return;
    if (reason != 0) {
        lua_pushnumber(thread, reason);
        ResumeHelper(1);
    } else {
        ResumeHelper(0);
    }
}

void tGirl::ResumeHelper(int nargs)
{
    lua_State* thread = mScript.GetState();
    if (!thread)
        return;
    std::unique_ptr<dfLuaObj> pin;
    if (mScene)
        pin = PinThread(GetLuaObj(), mScene->GetLua(), "resuming");
    const bool wasRunning = mRunningScript;
    lua_State* wasResuming = mResumingThread;
    mRunningScript = true;
    mResumingThread = thread;
    const int status = lua_resume(thread, nargs);
    mRunningScript = wasRunning;
    mResumingThread = wasResuming;
    if (mScript.GetState() != thread)
        UnregisterScriptState(thread);
    dfLua lua(thread);
    if (status != 0) {
        LOGIT("tGirl[%s]::lua_resume returned(%d)[stack #%d]\n", mName.c_str(), status, lua_gettop(thread));
        GlobalLuaError("ResumeHelper", Get(TypeWrapper<str>(), lua, -1));
        Expire();
        mWaitMask = 0;
        lua_settop(thread, 0);
        return;
    }
    // A script that started another one (StartProc) gave up its waits to it.
    if (mScript.GetState() != thread) {
        lua_settop(thread, 0);
        return;
    }
    // A coroutine that ended is never resumed again, whatever it returned.
    if (!lua_isyielded(thread)) {
        mWaitMask = 0;
        lua_settop(thread, 0);
        return;
    }
    uint32_t mask = 0;
    const int top = lua_gettop(thread);
    for (int i = 1; i <= top; ++i) {
        const int v = lua.tointeger(i);
        switch (v) {
        case RESUME_ON_DELAY: mResumeTick = mTickCount + lua.tointeger(++i); break;
        case RESUME_ON_CLICK: mClicked = false; break;
        case RESUME_ON_NEWPOLY: mEnteredNewPoly = false; break;
        case RESUME_ON_OTHER_WALKTO:
        case RESUME_ON_OTHER_ANIM: mOtherActorName = OtherActorName(lua, ++i); break;
        default: break;
        }
        if (v < 0 || v > 31) {
            LOGIT("tGirl[%s] ignores the wait %d\n", mName.c_str(), v);
            continue;
        }
        mask |= 1u << v;
    }
    mWaitMask = mask;
    lua_settop(thread, 0);
}

void tGirl::RunScriptIfDue()
{
    if (const int reason = IsTimeToRunScript())
        RunScript(reason);
}

int tGirl::IsTimeToRunScript()
{
    if (mWaitMask == 0)
        return 0;
    using Test = bool (*)(tGirl&);
    // When several waits hold, the first in this order is the one delivered.
    static const struct
    {
        int wait;
        int delivered;
        Test holds;
    } kOrder[] = {
        {RESUME_ON_WALKTO, RESUME_ON_WALKTO, [](tGirl& g) { return g.AtTarget(); }},
        {RESUME_ON_ANIM, RESUME_ON_ANIM, [](tGirl& g) { return AnimationDone(&g); }},
        {RESUME_ON_MUSICDONE, RESUME_ON_MUSICDONE, [](tGirl&) { return g_SFXManager.IsMusicMostlyDone(); }},
        {RESUME_ON_MUSICQUITEDONE, RESUME_ON_MUSICQUITEDONE, [](tGirl&) { return g_SFXManager.IsMusicQuiteDone(); }},
        {RESUME_ON_VOXDONE, RESUME_ON_VOXDONE, [](tGirl&) { return g_SFXManager.IsVoxMostlyDone(); }},
        {RESUME_ON_VOXQUITEDONE, RESUME_ON_VOXQUITEDONE, [](tGirl&) { return g_SFXManager.IsVoxQuiteDone(); }},
        {RESUME_ON_BGABORT, RESUME_ON_ABORT, [](tGirl& g) { return g.mScene && g.mScene->IsBGConversationAborted(); }},
        {RESUME_ON_BGVOXDONE, RESUME_ON_BGVOXDONE, [](tGirl&) { return g_SFXManager.IsBGVoxMostlyDone(); }},
        {RESUME_ON_BGVOXQUITEDONE, RESUME_ON_BGVOXQUITEDONE, [](tGirl&) { return g_SFXManager.IsBGVoxQuiteDone(); }},
        {RESUME_ON_PARTY, RESUME_ON_PARTY, [](tGirl& g) { return g.IsPartyDone(); }},
        {RESUME_ON_DELAY, RESUME_ON_DELAY, [](tGirl& g) { return g.mTickCount >= g.mResumeTick; }},
        {RESUME_NOW, RESUME_NOW, [](tGirl&) { return true; }},
        {RESUME_ON_CLICK, RESUME_ON_CLICK, [](tGirl& g) { return g.mClicked; }},
        {RESUME_ON_NEWPOLY, RESUME_ON_NEWPOLY, [](tGirl& g) { return g.mEnteredNewPoly; }},
        {RESUME_ON_FADE, RESUME_ON_FADE, [](tGirl& g) { return g.mScene && g.mScene->IsFadeDone(); }},
        {RESUME_ON_CHOICE, RESUME_ON_CHOICE,
         [](tGirl&) {
             tScene* active = ActiveScene();
             return active && active->IsChoiceDone();
         }},
        {RESUME_ON_OTHER_WALKTO, RESUME_ON_OTHER_WALKTO,
         [](tGirl& g) {
             const tGirl* o = g.mScene ? g.mScene->GetActorByName(g.mOtherActorName) : nullptr;
             return o && o->AtTarget();
         }},
        {RESUME_ON_OTHER_ANIM, RESUME_ON_OTHER_ANIM,
         [](tGirl& g) { return AnimationDone(g.mScene ? g.mScene->GetActorByName(g.mOtherActorName) : nullptr); }},
    };
    for (const auto& test : kOrder)
        if (IsWaitingFor(test.wait) && test.holds(*this))
            return test.delivered;
    return 0;
}

void tGirl::Signal()
{
    if (IsWaitingFor(RESUME_ON_SIGNAL))
        mWaitMask |= 1u << RESUME_NOW;
}

int tGirl::lf_WalkTo(dfLua& lua)
{
    lua_State* L = lua.GetState();
    tVector2<float> target = mPosition;
    if (lua_istable(L, 2)) {
        if (!lua_dispatch_detail::ThisObject(L, 2)) {
            LOGIT("this wasn't present\n");
            lua.stackdump("WalkTo");
        } else if (const tGirl* other = GetSceneActor(mScene, lua, 2)) {
            target = other->GetPosition();
        }
    } else if (mScene) {
        target = mScene->GetGround().LookupVertByLabel(Get(TypeWrapper<str>(), lua, 2));
    } else {
        target = tVector2<float>(0, 0);
    }
    WalkToXY(target);
    return 0;
}

int tGirl::lf_Spawn(dfLua& lua)
{
    lua_State* L = lua.GetState();
    if (!lua_istable(L, 2)) {
        LOGIT("tGirl[%s]::Spawn wasn't passed a table\n", mName.c_str());
        return 0;
    }
    if (!mScene || !mScene->GetLua().GetState())
        return 0;
    // The new actor's table is made on the scene's own state, never on a coroutine that may end.
    dfLua& sceneLua = mScene->GetLua();
    lua_State* S = sceneLua.GetState();
    const int height = lua_gettop(S);
    lua_pushvalue(L, 2);
    lua_xmove(L, S, 1);
    tGirl* spawned = mScene->Spawn(sceneLua, mPosition);
    lua_settop(S, height);
    if (!spawned || !spawned->GetLuaObj())
        return 0;
    spawned->GetLuaObj()->PushSelfOnto(lua);
    return 1;
}

void tGirl::ForgetActor(const tGirl*)
{
    // Scripts name the actors they wait on; the name is looked up at every test, so an actor
    // that goes away simply stops answering. Nothing here points at another actor.
}
