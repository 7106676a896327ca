#pragma once
// A scene and actors for the scene tests: actors go straight into the list (as the scene's
// spawn would put them), and the actors note their drawing and their end.

#include "game/script/df_lua_obj.h"
#include "game/world/actor/girl.h"
#include "game/world/mesh/mesh.h"
#include "game/world/mesh_fixture.h"
#include "game/world/scene/scene.h"
#include "render/sprite/sprite.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class ProbeActor : public tGirl
{
public:
    ~ProbeActor() override
    {
        if (onDelete)
            onDelete();
    }
    void Draw() override
    {
        if (onDraw)
            onDraw(*this);
    }
    void WaitFor(int resume) { mWaitMask |= 1u << resume; }
    int Ticks() const { return mTickCount; }

    std::function<void(ProbeActor&)> onDraw;
    std::function<void()> onDelete;
};

class ProbeScene : public tScene
{
public:
    ~ProbeScene() override
    {
        if (TheScene() == this)
            TheScene() = nullptr;
    }

    ProbeActor* Add(const char* name, int depth = 600)
    {
        auto actor = std::make_unique<ProbeActor>();
        actor->SetName(name);
        actor->SetScene(this);
        actor->SetDepthValue(depth);
        ProbeActor* added = actor.get();
        mActors.push_back(std::move(actor));
        mDepthSortNeeded = true;
        if (mLua.GetState())
            Register(*added);
        return added;
    }
    // A Lua state with the scene's object, as loading leaves it; actors added from now on are
    // stored in it under their names.
    void OpenLua()
    {
        mLua.open();
        tClassInfo::AddAllClassInfoToLua(mLua);
        CreateLuaObj(mLua);
    }
    void Register(tGirl& actor)
    {
        actor.CreateLuaObj(mLua);
        GetLuaObj()->setfield(actor.GetName().c_str(), actor.GetLuaObj());
    }
    bool SceneObjectHas(const char* name) { return GetLuaObj()->hasfield(name); }
    void SetPointed(tGirl* actor) { mPointedActor = actor; }
    void SetBounds(const TRect& bounds) { mSceneBounds = bounds; }
    void MakeHolders()
    {
        mOverHudHolder = TSprite::Create(0, nullptr);
        mScreenHolder = TSprite::Create(0, nullptr);
        mWorldHolder = TSprite::Create(0, nullptr);
    }
    bool HasFloatText() const { return mFloatText != nullptr; }
    const TRect& FloatTextBox() const { return mFloatTextBox; }
    float FadeAlpha() const { return mFadeColor.alpha; }
};

// A zone mesh of one triangle ("0,0 10,0 0,10"), for an actor to own.
inline tMesh* TriangleZone(const std::string& corners)
{
    return new tMesh(LoadMesh("tri " + corners + "\n"));
}
