#include "core/script/script.h"
#include "game/script/df_log.h"
#include "game/world/actor/girl.h"
#include "game/world/scene/scene.h"
#include "game/world/scene/scene_hooks.h"
#include "game/world/state/gamestate.h"
#include "online/web/flash_host.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_script_base.h"

#include <utility>

namespace {

float g_BGVoxAlpha = 1;

// Popups waiting for their dialog, by serial number, in the window manager's Lua state.
constexpr char kPopupTable[] = "gDeferredPopups";

void SetStringField(lua_State* L, const char* key, const str& value)
{
    lua_pushstring(L, key);
    lua_pushstring(L, value.c_str());
    lua_rawset(L, -3);
}

// The dialog's texts travel as Lua values: formatted into the source, an apostrophe in a
// title would end the string and the rest would run as code. The source carries only the
// serial number, so a text that runs later (the window script busy) still finds its own.
void ShowPopup(const tScene::tPopupDef& popup)
{
    TWindowManager* wm = TWindowManager::GetInstance();
    TWindowScriptBase* script = wm ? wm->GetScript() : nullptr;
    if (!script) {
        LOGIT("DEFERRED POPUP dropped: no window script\n");
        return;
    }
    static int serial = 0;
    ++serial;
    lua_State* L = script->GetState();
    const int top = lua_gettop(L);
    lua_pushstring(L, kPopupTable);
    lua_rawget(L, LUA_GLOBALSINDEX);
    if (!lua_istable(L, -1)) {
        lua_pop(L, 1);
        lua_newtable(L);
        lua_pushstring(L, kPopupTable);
        lua_pushvalue(L, -2);
        lua_rawset(L, LUA_GLOBALSINDEX);
    }
    lua_newtable(L);
    lua_pushstring(L, "scripts/popup.lua");
    lua_rawseti(L, -2, 1);
    SetStringField(L, "popupgfx", popup.image);
    SetStringField(L, "body", popup.body);
    SetStringField(L, "title", popup.title);
    lua_rawseti(L, -2, serial);
    lua_settop(L, top);
    wm->DoLuaString(wm->GetTopModalWindow(),
                    str::getFormatted("local p = %s[%d]; %s[%d] = nil; EnterPause(); DisplayDialog(p); ExitPause();",
                                      kPopupTable, serial, kPopupTable, serial));
}

void PopTopModal()
{
    TWindowManager* wm = TWindowManager::GetInstance();
    TModalWindow* top = wm ? wm->GetTopModalWindow() : nullptr;
    if (!top) {
        LOGIT("GAME WAS OVER with no modal window to close\n");
        return;
    }
    wm->PopModal(top->GetName());
}

// The request is taken before the load runs: a script of the new scene may ask again.
str Take(str& request)
{
    return std::exchange(request, str());
}

}  // namespace

void tScene::Update()
{
    const bool actorsWentOn = UpdateRequestsAndActors();
    // A click held for this update is judged once the scripts have gone on, or not at all.
    if (const std::optional<tHeldClick> held = std::exchange(mHeldClick, std::nullopt))
        JudgeHeldClick(*held, actorsWentOn);
}

bool tScene::UpdateRequestsAndActors()
{
    if (mGameOver) {
        mGameOver = false;
        LOGIT("GAME WAS OVER\n");
        PopTopModal();
        return false;
    }
    if (mPopupPending) {
        mPopupPending = false;
        LOGIT("DEFERRED POPUP (%s, %s, %s)\n", mPopup.image.c_str(), mPopup.title.c_str(), mPopup.body.c_str());
        ShowPopup(mPopup);
    }
    UpdateVolume();
    ApplyMusicVolume(mMusicVolume);
    if (mFlash) {
        if (mFlash->IsPlaying())
            return false;
        DumpFlash();
    }
    if (!mChainToSubScene.empty()) {
        const str name = Take(mChainToSubScene);
        gGamestate.EnterSubScene(name);
        if (!SubScene()) {
            SubScene() = new tScene;
            SubScene()->SetSaySpec(mSaySpec);
        }
        SubScene()->LoadSceneByName(name, false);
    }
    if (!mChainTo.empty()) {
        const str name = Take(mChainTo);
        gGamestate.SetScene(name, true);
        lf_SaveGame();
        LoadSceneByName(name, false);
    }
    // By index: an actor's script may spawn actors, which join the end of the list.
    for (size_t i = 0; i < mActors.size(); ++i) {
        tGirl* actor = mActors[i].get();
        if (!actor)
            continue;
        actor->Update();
        if (actor->IsExpired())
            RemoveActor(actor);
    }
    return true;
}

void tScene::ChainTo(const str& name)
{
    mChainTo = name;
}

void tScene::ChainToSubScene(const str& name)
{
    mChainToSubScene = name;
}

void tScene::DoPopup(const str& image, const str& title, const str& body)
{
    mPopup = tPopupDef{image, title, body};
    mPopupPending = true;
}

void tScene::GameOver()
{
    mGameOver = true;
}

void tScene::ReturnFromScene()
{
    if (SubScene())
        SubScene()->mReturnRequested = true;
    else
        ChainTo(gGamestate.GetString("returnfromscene"));
}

void tScene::StartFlash(const str& path)
{
    DumpFlash();
    mFlash = std::make_unique<TFlashHost>(path);
    mFlash->Start(false, true, false);
}

void tScene::DumpFlash()
{
    mFlash.reset();
}

void tScene::AdjustBGVoxAlpha(float alpha)
{
    LOGIT("AdjustBGVoxAlpha(%f)\n", alpha);
    g_BGVoxAlpha = alpha;
}

float GetBGVoxAlpha()
{
    return g_BGVoxAlpha;
}
