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

#include <algorithm>
#include <cmath>
#include <utility>

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
    DepthSortActors();
    const std::vector<tGirl*> seen = ActorsInClickOrder();
    // Asked before the click is noted: a wait for a click is not one that has ended yet.
    const bool due = !InFollowClicksMode() && !AnyRequestPending() &&
                     std::any_of(seen.begin(), seen.end(), [](tGirl* actor) { return actor->IsTimeToRunScript(); });
    // Every actor notes the click before any acts on it: a wait that a handler begins comes
    // after the click and does not end on it.
    for (tGirl* actor : seen)
        actor->NoteClick();
    DropHeldClick();
    // Nobody has control, but a wait ended since the last update (a line run out between two
    // frames): the click waits for that update, where the scripts go on, and acts there if they
    // hand control back. The scene never changes in the middle of input: a second click, or a
    // button under the pointer, would meet what nobody has seen yet.
    if (due) {
        mHeldClick = tHeldClick{mClickedAtWorld, seen};
        return true;
    }
    GiveClick(point, seen);
    return true;
}

std::vector<tGirl*> tScene::ActorsInClickOrder() const
{
    std::vector<tGirl*> actors;
    for (const auto& actor : mActors)
        if (actor)
            actors.push_back(actor.get());
    return actors;
}

// Actors that a handler spawns are not among `actors`: they wait for the next click.
void tScene::GiveClick(const TPoint& point, const std::vector<tGirl*>& actors)
{
    for (tGirl* actor : actors)
        if (HasActor(actor))
            if (const int kind = actor->JudgeClick(point))
                GenerateClickSound(kind);
}

void tScene::JudgeHeldClick(const tHeldClick& click, bool actorsWentOn)
{
    // The scripts handed control back and opened nothing the click could reach: no choices, no
    // window or scene to come, no actor that was not on the screen.
    const bool handedBack =
        actorsWentOn && InFollowClicksMode() && !mChoices.IsChoiceOpen() && !HasSubScene() && !AnyRequestPending() &&
        std::all_of(mActors.begin(), mActors.end(), [&](const auto& actor) {
            return !actor || std::find(click.seen.begin(), click.seen.end(), actor.get()) != click.seen.end();
        });
    if (!handedBack) {
        for (tGirl* actor : click.seen)
            actor->CountInactiveClick();
        return;
    }
    // Where the click was in the world, wherever the camera has gone since.
    const tVector2<float> screen = ScreenFromWorld(click.world);
    GiveClick(TPoint(int(std::lround(screen.x)), int(std::lround(screen.y))), click.seen);
}

void tScene::DropHeldClick()
{
    if (const std::optional<tHeldClick> held = std::exchange(mHeldClick, std::nullopt))
        for (tGirl* actor : held->seen)
            actor->CountInactiveClick();
}

bool tScene::AnyRequestPending() const
{
    return mPopupPending || mGameOver || !mChainTo.empty() || !mChainToSubScene.empty() || mFlash != nullptr;
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
