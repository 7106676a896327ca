#include "core/platform/platform.h"
#include "game/script/metrics.h"
#include "game/script/window_state.h"
#include "game/world/actor/girl.h"
#include "game/world/common/debug_flags.h"
#include "game/world/scene/scene.h"
#include "game/world/scene/scene_hooks.h"
#include "game/world/sound/sfx_manager.h"
#include "game/world/state/gamestate.h"
#include "render/renderer/render_platform.h"

bool tScene::OnMouseDown(const TPoint& point)
{
    mClickedAtScreen = tVector2<float>(float(point.x), float(point.y));
    mClickedAtWorld = WorldFromScreen(point);
    if (mChoices.IsChoiceOpen()) {
        if (mChoices.OnMouseDown(point) && mConversationPartner)
            mConversationPartner->Signal();
        return true;
    }
    if (HasSubScene())
        return true;
    MET_Count("TotalClicks");
    // A wait that ended since the last update (a line run out between two frames) lets its
    // script go on first: the click lands in the scene as it stands now, not as it stood at
    // that update.
    if (!InFollowClicksMode())
        for (size_t i = 0; i < mActors.size(); ++i)
            if (tGirl* actor = mActors[i].get())
                actor->RunScriptIfDue();
    DepthSortActors();
    // Every actor present at the click gets it, whatever an earlier one did; actors that a
    // handler spawns join the end of the list and wait for the next click.
    const size_t count = mActors.size();
    for (size_t i = 0; i < count; ++i) {
        tGirl* actor = mActors[i].get();
        if (!actor)
            continue;
        if (const int kind = actor->OnMouseDown(point))
            GenerateClickSound(kind);
    }
    return true;
}

bool tScene::OnMouseMove(const TPoint& point)
{
    mMouseWindow = GetMouseWindow();
    if (mChoices.OnMouseMove(point)) {
        ExternalDumpFloatText();
        return true;
    }
    if (TPlatform::IsEnabled(TPlatform::kCheatMode) && debugflag[2]) {
        mProbePoint = WorldFromScreen(point);
        mProbeGround = mGround.ClosestPointToMesh(mProbePoint);
    }
    if (HasSubScene())
        return true;
    GenerateFloatText(point);
    DepthSortActors();
    const size_t count = mActors.size();
    for (size_t i = 0; i < count; ++i)
        if (tGirl* actor = mActors[i].get())
            actor->OnMouseMove(point);
    return true;
}

void tScene::DumpFloatTextOffScene()
{
    if (!mFloatText && !mPointedActor)
        return;
    const bool outside = TPlatform::GetInstance() && !GetRenderPlatform().IsMouseInContent();
    if (outside || GetMouseWindow() != mMouseWindow)
        ExternalDumpFloatText();
}

void tScene::UpdateMouseCursor()
{
    DumpFloatTextOffScene();
    if (!InFollowClicksMode()) {
        ActivateCursor("cursor_inactive");
        return;
    }
    const str& item = gGamestate.GetInvUsage_Raw();
    if (!item.empty())
        ActivateCursor(item);
    else if (mPointedActor && !mPointedActor->GetPointAtCursor().empty())
        ActivateCursor(mPointedActor->GetPointAtCursor());
    else
        ActivateCursor("cursor");
}

bool InUseMode()
{
    return !gGamestate.GetInvUsage_Raw().empty();
}

void GenerateClickSound(int kind)
{
    static const char* const kSounds[] = {"clicksound_actor", "clicksound_ground_valid", "clicksound_ground_edge"};
    if (kind < 1 || kind > 3)
        return;
    g_SFXManager.PlaySFX(str::getFormatted("audio/sfx/%s", kSounds[kind - 1]), false);
}
