#pragma once
// Actors in a scene whose Lua state is open, as the scene's loading leaves it: the class
// tables and enumerations published, each actor's table reachable by its name as a global.

#include "game/script/class_info.h"
#include "game/script/df_lua_obj.h"
#include "game/script/script_enums.h"
#include "game/world/actor/girl.h"
#include "game/world/scene/scene.h"

#include "game/world/lua_run.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// The fields the tests arrange and read.
class TestGirl : public tGirl
{
public:
    using tGirl::mAlpha;
    using tGirl::mAnimSprite;
    using tGirl::mBackgroundSpeech;
    using tGirl::mClicked;
    using tGirl::mParty;
    using tGirl::mPartySprite;
    using tGirl::mTextEndTick;
    using tGirl::mTickCount;
    using tGirl::mTint;
    using tGirl::mWaitMask;

    // One update's script step, as the actor's Update takes it.
    void Tick()
    {
        ++mTickCount;
        if (const int reason = IsTimeToRunScript())
            RunScript(reason);
    }
};

class TestScene : public tScene
{
public:
    TestScene()
    {
        mLua.open();
        mLua.openlibs();
        AddEnumsToLua(mLua);
        tClassInfo::AddAllClassInfoToLua(mLua);
        lua_settop(mLua.GetState(), 0);
    }
    // The actors go while their state is still open.
    ~TestScene() override { mActors.clear(); }

    TestGirl& Add(const char* name, tVector2<float> position = {0, 0})
    {
        auto* girl = new TestGirl;
        girl->SetName(name);
        girl->SetScene(this);
        girl->CreateLuaObj(mLua);
        girl->JumpToPoint(position);
        girl->GetLuaObj()->push();
        lua_setglobal(mLua.GetState(), name);
        mActors.emplace_back(girl);
        return *girl;
    }
    void Remove(const tGirl& girl)
    {
        for (auto& actor : mActors)
            if (actor.get() == &girl)
                actor.reset();
    }
    lua_State* L() { return mLua.GetState(); }
    std::string Run(const char* code) { return RunLua(L(), code); }
    std::string Global(const char* name) { return LuaGlobal(L(), name); }
};
