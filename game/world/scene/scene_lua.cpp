// The scene's methods as scripts call them: scene:ChainTo("garden").

#include "game/script/df_log.h"
#include "game/world/actor/girl.h"
#include "game/world/mesh/mesh_lua.h"
#include "game/world/scene/scene.h"
#include "game/world/strings/scene_strings_lua.h"

void tScene::LuaAdd(dfLua& lua)
{
    lua.setmethod(&tScene::lf_AdjustBGVoxAlpha, "AdjustBGVoxAlpha");
    lua.setmethod(&tScene::GetClickedAtWorld, "GetClickedAtWorld");
    lua.setmethod(&tScene::GetClickedAtScreen, "GetClickedAtScreen");
    lua.setmethod(&tScene::SetMusicVolumeSpeed, "SetMusicVolumeSpeed");
    lua.setmethod(&tScene::SetMusicVolumeCurrent, "SetMusicVolumeCurrent");
    lua.setmethod(&tScene::SetMusicVolumeTarget, "SetMusicVolumeTarget");
    lua.setmethod(&tScene::IsMusicVolumeFadeDone, "IsMusicVolumeFadeDone");
    lua.setmethod(&tScene::SetFadeOverHud, "SetFadeOverHud");
    lua.setmethod(&tScene::SetFadeSpeed, "SetFadeSpeed");
    lua.setmethod(&tScene::SetFadeColor, "SetFadeColor");
    lua.setmethod(&tScene::SetFadeTarget, "SetFadeTarget");
    lua.setmethod(&tScene::IsFadeDone, "IsFadeDone");
    lua.setmethod(&tScene::SetTextBounds, "SetTextBounds");
    lua.setmethod(&tScene::SetTextBoundsXY, "SetTextBoundsXY");
    lua.setmethod(&tScene::SetSaySpec, "SetSaySpec");
    lua.setmethod(&tScene::lf_ModifySaySpec, "ModifySaySpec");
    lua.setmethod(&tScene::SetRoomScale, "SetRoomScale");
    lua.setmethod(&tScene::BareSpawn, "Spawn");
    lua.setmethod(&tScene::SetMode, "SetMode");
    lua.setmethod(&tScene::GetMode, "GetMode");
    lua.setmethod(&tScene::ZapZone, "ZapZone");
    lua.setmethod(&tScene::ChainTo, "ChainTo");
    lua.setmethod(&tScene::ChainToSubScene, "ChainToSubScene");
    lua.setmethod(&tScene::GameOver, "GameOver");
    lua.setmethod(&tScene::ReturnFromScene, "ReturnFromScene");
    lua.setmethod(&tScene::DoPopup, "DoPopup");
    lua.setmethod(&tScene::DoInvAdd, "DoInvAdd");
    lua.setmethod(&tScene::LoadLightmap, "LoadLightmap");
    lua.setmethod(&tScene::LoadMesh, "LoadMesh");
    lua.setmethod(&tScene::LoadVerts, "LoadVerts");
    lua.setmethod(&tScene::LoadGround, "LoadGround");
    lua.setmethod(&tScene::StartFlash, "DisplayFlash");
    lua.setmethod(&tScene::lf_ConversationMode, "ConversationMode");
    lua.setmethod(&tScene::IsBGConversationAborted, "IsBGConversationAborted");
    lua.setmethod(&tScene::AbortBGConversation, "AbortBGConversation");
    lua.setmethod(&tScene::lf_grabspeechline, "grabspeechline");
    lua.setmethod(&tScene::lf_grabstring, "grabstring");
    lua.setmethod(&tScene::lf_grabformattedstring, "grabformattedstring");
    lua.setmethod(&tScene::SetScreenSize, "SetScreenSize");
    lua.setmethod(&tScene::SetScreenPosition, "SetScreenPosition");
    lua.setmethod(&tScene::lf_SetCameraFollowActor, "SetCameraFollowActor");
    lua.setmethod(&tScene::SetCameraPosition, "SetCameraPosition");
    lua.setmethod(&tScene::GetCameraPosition, "GetCameraPosition");
    lua.setmethod(&tScene::SetCameraMargin, "SetCameraMargin");
    lua.setmethod(&tScene::GetCameraMargin, "GetCameraMargin");
    lua.setmethod(&tScene::ComputeRoomScale, "ComputeRoomScale");
}

namespace {

enum class EActorArg
{
    kActor,    // a live actor of the scene
    kNil,      // nil, or a table without an object
    kForeign,  // an object pointer that is no live actor of this scene
    kOther,    // any other value
};

// Argument 2 of a method call as an actor: a table stands for its "this" field, a bare object
// pointer is taken only when it is one of this scene's live actors.
EActorArg ReadActorArg(dfLua& lua, const tScene& scene, tGirl** actor)
{
    lua_State* L = lua.GetState();
    lua_settop(L, 2);
    if (lua_istable(L, 2)) {
        lua_pushstring(L, "this");
        lua_gettable(L, 2);
        lua_replace(L, 2);
    }
    switch (lua_type(L, 2)) {
    case LUA_TNIL: return EActorArg::kNil;
    case LUA_TLIGHTUSERDATA: {
        auto* candidate = static_cast<tGirl*>(lua_touserdata(L, 2));
        if (!scene.HasActor(candidate))
            return EActorArg::kForeign;
        *actor = candidate;
        return EActorArg::kActor;
    }
    default: return EActorArg::kOther;
    }
}

}  // namespace

int tScene::lf_ConversationMode(dfLua& lua)
{
    tGirl* partner = nullptr;
    switch (ReadActorArg(lua, *this, &partner)) {
    case EActorArg::kActor: SetConversationMode(true, partner); break;
    case EActorArg::kForeign: LOGIT("ConversationMode: the handle is no actor of this scene; nothing changes\n"); break;
    case EActorArg::kNil: break;
    case EActorArg::kOther: {
        const int type = lua_type(lua.GetState(), 2);
        if (type == LUA_TBOOLEAN || type == LUA_TNUMBER)
            SetConversationMode(lua.tointeger(2) != 0, nullptr);
        break;
    }
    }
    return 0;
}

int tScene::lf_SetCameraFollowActor(dfLua& lua)
{
    tGirl* actor = nullptr;
    switch (ReadActorArg(lua, *this, &actor)) {
    case EActorArg::kActor: SetCameraFollowActor(actor); break;
    case EActorArg::kNil: SetCameraFollowActor(nullptr); break;
    case EActorArg::kForeign:
        LOGIT("SetCameraFollowActor: the handle is no actor of this scene; the camera keeps its actor\n");
        break;
    case EActorArg::kOther: LOGIT("oops. Unimplemented lf_SetCameraFollowActor!!\n"); break;
    }
    return 0;
}

int tScene::lf_ModifySaySpec(dfLua& lua)
{
    ModifySaySpec(lua, 2);
    return 0;
}

int tScene::lf_grabstring(lua_State* L)
{
    return LuaGrabString(L, mStrings);
}

int tScene::lf_grabformattedstring(lua_State* L)
{
    return LuaGrabFormattedString(L, mStrings);
}

int tScene::lf_grabspeechline(lua_State* L)
{
    return LuaGrabSpeechLine(L, mStrings);
}
