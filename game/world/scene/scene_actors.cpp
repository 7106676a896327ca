#include "game/script/df_log.h"
#include "game/script/df_lua_obj.h"
#include "game/world/actor/girl.h"
#include "game/world/mesh/mesh.h"
#include "game/world/scene/scene.h"
#include "render/text/text_graphic.h"

#include <algorithm>

tGirl* tScene::GetActorByName(const char* name) const
{
    return GetActorByName(str(name ? name : ""));
}

tGirl* tScene::GetActorByName(const str& name) const
{
    for (const auto& actor : mActors)
        if (actor && actor->GetName() == name)
            return actor.get();
    return nullptr;
}

bool tScene::HasActor(const tGirl* actor) const
{
    return actor && std::any_of(mActors.begin(), mActors.end(), [actor](const auto& a) { return a.get() == actor; });
}

void tScene::DepthSortActors()
{
    if (!mDepthSortNeeded)
        return;
    mDepthSortNeeded = false;
    // Sorting moves slots anyway, so the empty ones left by removed actors go now.
    mActors.erase(std::remove(mActors.begin(), mActors.end(), nullptr), mActors.end());
    std::stable_sort(mActors.begin(), mActors.end(),
                     [](const auto& a, const auto& b) { return tGirl::sortobject(a.get(), b.get()); });
}

void tScene::DumpActors()
{
    mConversationPartner = nullptr;
    mCameraActor = nullptr;
    mPointedActor = nullptr;
    mHeldClick.reset();
    // Out of the list first: a destructor that asks the scene finds no half-deleted actor.
    std::vector<std::unique_ptr<tGirl>> doomed;
    doomed.swap(mActors);
    doomed.clear();
}

void tScene::RemoveActor(tGirl* actor)
{
    auto slot = std::find_if(mActors.begin(), mActors.end(), [actor](const auto& a) { return a.get() == actor; });
    if (slot == mActors.end())
        return;
    ForgetActorName(*actor);
    // Nothing may point at the actor once it is gone: a choice clicked later would signal it.
    // Its name under the mouse goes with it, not at the mouse's next move.
    if (mPointedActor == actor) {
        mPointedActor = nullptr;
        mFloatText.reset();
    }
    if (mCameraActor == actor)
        mCameraActor = nullptr;
    if (mConversationPartner == actor)
        mConversationPartner = nullptr;
    if (mHeldClick)
        std::erase(mHeldClick->seen, actor);
    for (const auto& other : mActors)
        if (other && other.get() != actor)
            other->ForgetActor(actor);
    // The slot stays (empty) so that a walk over the list by index keeps its place. The actor
    // leaves it before its destructor runs, which may change the list.
    std::unique_ptr<tGirl> doomed = std::move(*slot);
}

void tScene::ForgetActorName(tGirl& actor)
{
    const str& name = actor.GetName();
    dfLuaTable* sceneObj = GetLuaObj();
    bool registered = false;
    if (sceneObj) {
        // Only the actor's own entry goes: a later actor of the same name may have replaced it.
        dfLua lua(sceneObj->GetState());
        lua_State* L = lua.GetState();
        const int top = lua_gettop(L);
        sceneObj->getfield(name.c_str());
        if (!lua_isnil(L, -1)) {
            registered = true;
            if (dfLuaTable* own = actor.GetLuaObj()) {
                own->PushSelfOnto(lua);
                registered = lua_rawequal(L, -1, -2) != 0;
            }
        }
        lua_settop(L, top);
    }
    if (registered)
        sceneObj->zapfield(name.c_str());
    else
        LOGIT("SCENE DIDN'T HAVE ACTOR %s registered\n", name.c_str());
}

bool tScene::InFollowClicksMode() const
{
    return std::any_of(mActors.begin(), mActors.end(),
                       [](const auto& a) { return a && a->GetMode() == MODE_FOLLOWCLICKS; });
}

bool tScene::AnyWaitingForClick() const
{
    for (const auto& actor : mActors) {
        if (actor && actor->IsWaitingFor(RESUME_ON_CLICK)) {
            LOGIT("AnyWaitingForClick says [%s] wanted that click\n", actor->GetName().c_str());
            return true;
        }
    }
    LOGIT("AnyWaitingForClick didn't find anybody who wanted that click\n");
    return false;
}

tGirl* tScene::CheckWorldPoint(const tVector2<float>& point) const
{
    const bool inUse = InUseMode();
    for (const auto& actor : mActors) {
        if (!actor || !actor->GetZone())
            continue;
        const uint32_t flags = actor->GetFlags();
        if ((flags & AFLAG_HALO_FOR_USE_ONLY) && !inUse)
            continue;
        const tVector2<float> local = (flags & AFLAG_FIXED_HALO) ? point : point - actor->GetPosition();
        if (actor->GetZone()->PolyCollide(local) >= 0)
            return actor.get();
    }
    return nullptr;
}

void tScene::SetConversationMode(bool on, tGirl* partner)
{
    mConversationMode = on;
    mConversationPartner = partner;
    mChoices.SetVisible(on);
}

void tScene::ChoiceClicked()
{
    if (mConversationPartner)
        mConversationPartner->Signal();
}

bool tScene::IsBGConversationAborted() const
{
    if (mBGConversationAborted)
        LOGIT("NOTICE that tScene::IsBGConversationAborted() returns true\n");
    return mBGConversationAborted;
}

void tScene::AbortBGConversation(bool aborted)
{
    LOGIT("tScene::AbortBGConversation(%d)\n", int(aborted));
    mBGConversationAborted = aborted;
}
