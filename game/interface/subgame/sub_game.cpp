#include "game/interface/subgame/sub_game.h"

#include <algorithm>

#include "game/interface/windows/window_helpers.h"
#include "game/script/window_autoreg.h"
#include "game/world/scene/scene.h"
#include "game/world/scene/scene_hooks.h"
#include "render/renderer/renderer.h"

namespace {

// The game root advances the active scene (the sub-scene while there is one) every frame; in
// the root's own layer a second update here would run the sub-scene at twice the game's pace.
bool GameRootDrives(const TWindow& window)
{
    const TWindow* root = GetGameWindow();
    return root && root->FindParentModal() == window.FindParentModal();
}

}  // namespace

TWindow* tSubGame::DynamicCreate()
{
    return new tSubGame;
}

void tSubGame::Init(TWindowStyle& style)
{
    TWindow::Init(style);
    StartWindowAnimation(20, true, true, false);
}

void tSubGame::PostChildrenInit(TWindowStyle& style)
{
    TWindow::PostChildrenInit(style);
    FollowSubScene();
}

void tSubGame::FollowSubScene()
{
    const tScene* sub = SubScene();
    if (!sub) {
        if (GetWindowWidth() != 0 || GetWindowHeight() != 0)
            SetWindowSize(0, 0);
        return;
    }
    const TPoint at = TPointFromVector2(sub->GetScreenPosition());
    SetWindowPos(at.x, at.y);
    const tVector2<float> size = sub->GetScreenSize();
    SetWindowSize(int(unsigned(std::max(size.x, 0.0f))), int(unsigned(std::max(size.y, 0.0f))));
}

void tSubGame::Draw()
{
    tScene* sub = SubScene();
    if (!sub)
        return;
    FollowSubScene();
    TBegin2d scope;
    sub->Draw();
    scope.Done();
}

bool tSubGame::OnMouseMove(const TPoint& point)
{
    tScene* sub = SubScene();
    return sub ? sub->OnMouseMove(point) : false;
}

bool tSubGame::OnMouseDown(const TPoint& point)
{
    tScene* sub = SubScene();
    return sub ? sub->OnMouseDown(point) : false;
}

bool tSubGame::OnTaskAnimate()
{
    if (tScene* sub = SubScene(); sub && !GameRootDrives(*this))
        sub->Update();
    // After the update: a sub-scene that has just closed leaves nothing behind to click on.
    FollowSubScene();
    return true;
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"tSubGame", tSubGame::ClassId(), &tSubGame::DynamicCreate},
};
