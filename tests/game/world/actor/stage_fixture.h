#pragma once
// A scene to stand actors on in tests: its sprite holders, a ground mesh from the mesh tool's
// text, a Lua state with the game's classes and enumerations, and the actors it owns (each
// actor's table is also a global of its name).

#include "game/script/class_info.h"
#include "game/script/df_lua_obj.h"
#include "game/script/script_enums.h"
#include "game/world/actor/girl.h"
#include "game/world/actor/party_sprite.h"
#include "game/world/lua_run.h"
#include "game/world/mesh_fixture.h"
#include "game/world/scene/scene.h"
#include "render/sprite/sprite.h"

#include <lua.h>

#include <memory>
#include <string>

// The actor with its state in reach.
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
    void Pose(DIR facing, float angle, MOTION motion)
    {
        mFacing = mDesiredFacing = facing;
        mAngle = angle;
        mMotion = motion;
    }
    const tVector2<float>& Step() const { return mStep; }
    const tVector2<float>& ImmediateTarget() const { return mImmediateTarget; }
    const str& CurrentAnimFile() const { return mCurrentAnimFile; }
    TSprite* PartyHolder() const { return mPartySprite ? mPartySprite->GetParent() : nullptr; }
};

class TestScene : public tScene
{
public:
    TestScene()
    {
        mWorldHolder = TSprite::Create(0, nullptr);
        mOverHudHolder = TSprite::Create(0, nullptr);
        mLua.open();
        mLua.openlibs();
        tClassInfo::AddAllClassInfoToLua(mLua);
        AddEnumsToLua(mLua);
        lua_settop(mLua.GetState(), 0);
    }
    ~TestScene() override
    {
        // The actors' tables live in the state.
        mActors.clear();
        mLua.close();
    }

    void SetGround(const std::string& meshText) { mGround = ::LoadMesh(meshText); }

    TestGirl* Add(const char* name, const tVector2<float>& at = {0, 0})
    {
        auto girl = std::make_unique<TestGirl>();
        girl->SetName(name);
        girl->SetScene(this);
        girl->CreateLuaObj(mLua);
        girl->GetLuaObj()->push();
        lua_setglobal(mLua.GetState(), name);
        girl->JumpToPoint(at);
        mActors.push_back(std::move(girl));
        return static_cast<TestGirl*>(mActors.back().get());
    }
    // Deletes an actor as the scene does when it goes.
    void Remove(tGirl* girl)
    {
        for (auto& slot : mActors)
            if (slot.get() == girl)
                slot.reset();
    }

    lua_State* L() { return mLua.GetState(); }
    std::string Run(const char* code) { return RunLua(L(), code); }
    std::string Global(const char* name) { return LuaGlobal(L(), name); }
};
