#include "game/interface/subgame/sub_game.h"

#include <algorithm>

#include "core/script/lua_number.h"
#include "game/interface/windows/game_window_types.h"
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

// Far beyond any screen, yet small enough that a window's far edge (position + size) stays an
// int; scripts may set anything, NaN included.
constexpr float kFarthest = float(1 << 20);

float OnScreen(float value, float lowest)
{
    return std::clamp(value, lowest, kFarthest);  // NaN stays NaN: the conversion makes it 0
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
    const tVector2<float> position = sub->GetScreenPosition();
    const TPoint at = TPointFromVector2(tVector2<float>(OnScreen(position.x, -kFarthest), OnScreen(position.y, -kFarthest)));
    SetWindowPos(at.x, at.y);
    const tVector2<float> size = sub->GetScreenSize();
    SetWindowSize(NumberToInt(OnScreen(size.x, 0.0f)), NumberToInt(OnScreen(size.y, 0.0f)));
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
