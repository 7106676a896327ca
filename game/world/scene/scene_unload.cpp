#include "core/script/script.h"
#include "game/script/df_lua_obj.h"
#include "game/script/metrics.h"
#include "game/world/actor/girl.h"
#include "game/world/scene/scene.h"
#include "game/world/sound/sfx_manager.h"
#include "render/anim/animated_texture.h"
#include "render/text/text_graphic.h"

void tScene::DumpScene()
{
    if (!mSceneName.empty()) {
        MET_EndScene(mSceneName.c_str());
        mSceneName = str();
    }
    mPopupPending = false;
    mMode = MODE_NONE;
    mPlanes.clear();
    DumpGroundLuaObj();
    mGround.Dump();
    DumpActors();
    CloseScriptContext();
    if (this == TheScene()) {
        g_SFXManager.KillSFX();
        g_SFXManager.KillVox();
        g_SFXManager.KillBGVox();
    }
    mConversationMode = false;
    mBGConversationAborted = false;
    ExternalDumpFloatText();
    DumpChoiceText();
    SetRoomScale(0, 600, 1, 1);
    mLightmap.clear();
    mLightmapWidth = mLightmapHeight = 0;
    mAtlases.clear();
    // The holders keep the sprites of planes and actors, and so their pictures; the next load
    // makes new ones.
    mOverHudHolder.reset();
    mScreenHolder.reset();
    mWorldHolder.reset();
    mCamera = tVector2<float>(0, 0);
    mCameraMargin = tVector2<float>(140, 140);
    mClickedAtWorld = mClickedAtScreen = tVector2<float>(0, 0);
}

void tScene::DumpGroundLuaObj()
{
    // A script that kept the mesh's table finds no mesh behind it any more.
    mGround.DumpLuaObj();
    if (dfLuaTable* sceneObj = GetLuaObj())
        sceneObj->zapfield("mesh");
}
