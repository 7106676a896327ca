#include "game/interface/ingame/game_window.h"

#include <cmath>

#include "core/platform/event.h"
#include "core/platform/platform.h"
#include "game/interface/inventory/strip_link.h"
#include "game/interface/windows/window_helpers.h"
#include "game/script/df_log.h"
#include "game/script/metrics.h"
#include "game/script/script_enums.h"
#include "game/script/window_autoreg.h"
#include "game/startup/game_steps.h"
#include "game/world/clock/pause.h"
#include "game/world/common/debug_flags.h"
#include "game/world/scene/scene.h"
#include "game/world/scene/scene_hooks.h"
#include "game/world/sound/sfx_manager.h"
#include "game/world/state/gamestate.h"
#include "render/renderer/renderer.h"
#include "ui/screen/image.h"
#include "ui/widgets/layered_window.h"
#include "ui/widgets/text.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_script_base.h"
#include "ui/window/window_spider.h"

TGame* g_pGame = nullptr;

namespace {

int SendGameMessageLua(lua_State* L)
{
    auto* game = static_cast<TGame*>(tWindowGlobals::Owner(L));
    if (game && lua_isstring(L, 1))
        game->SendGameMessage(lua_tostring(L, 1));
    return 0;
}

TWindow* Child(TWindow* parent, const str& name)
{
    return parent ? parent->GetChildWindow(name, unsigned(-1)) : nullptr;
}

// The game takes the clicks while a game window exists, a scene is active and one of its
// actors waits for a click.
bool SceneWaitsForClick()
{
    tScene* active = ActiveScene();
    return g_pGame && active && active->AnyWaitingForClick();
}

}  // namespace

TGame::TGame()
{
    if (!g_pGame)
        g_pGame = this;
    SetGameGrabsClicksQuery(&SceneWaitsForClick);
    SetGameWindowHook([]() -> TWindow* { return g_pGame; });
    MET_BeginPlay();
}

TGame::~TGame()
{
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->OrphanTextureRefreshListener(&mTextureRefresh);
    if (g_pGame == this)
        g_pGame = nullptr;
    if (TheScene())
        TheScene()->DumpScene();
    g_SFXManager.DumpVox();
    delete SubScene();
    SubScene() = nullptr;
    MET_EndPlay();
}

TWindow* TGame::DynamicCreate()
{
    return new TGame;
}

void TGame::Init(TWindowStyle& style)
{
    mGlobals.Bind("SendGameMessage", &SendGameMessageLua);
    dfWindow::Init(style);
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->AdoptTextureRefreshListener(&mTextureRefresh);
    TWindowManager* wm = TWindowManager::GetInstance();
    if (TheScene() && wm && wm->GetScript() && wm->GetScript()->GetState()) {
        dfLua lua(wm->GetScript()->GetState());
        lua.newcobject(tScene::civ.name, TheScene());
        lua.setglobal("scene");
    }
    StartWindowAnimation(20, true, true, false);
    if (TModalWindow* modal = FindParentModal())
        modal->SetDefaultFocus(this);
    StartGameClock();
}

void TGame::PostChildrenInit(TWindowStyle& style)
{
    LOGIT("TGame::PostChildrenInit()\n");
    dfWindow::PostChildrenInit(style);
    mDiaryButton = GetCast<TLayeredWindow>(Child(this, "DiaryButton"));
    if (mDiaryButton) {
        mDiaryButton->SetCurrentLayer(0);
        mDiaryButtonImage = GetCast<TImage>(mDiaryButton->GetChildWindow("image0", unsigned(-1)));
    }
    AddFlags(kOpaque);
}

void TGame::Draw()
{
    // A dialog over play stops the game's clock, and with it the frames that pick the pointer:
    // the game is still drawn under the dialog, so the scene lets go of the pointer here.
    HandPointerToDialog();
    TBegin2d scope;
    if (TheScene())
        TheScene()->Draw();
    scope.Done();
}

bool TGame::OnMouseMove(const TPoint& point)
{
    dfWindow::OnMouseMove(point);
    return TheScene() ? TheScene()->OnMouseMove(point) : false;
}

bool TGame::OnMouseDown(const TPoint& point)
{
    return TheScene() ? TheScene()->OnMouseDown(point) : false;
}

bool TGame::OnMouseLeave()
{
    LOGIT("tGame[%s]::OnMouseLeave()\n", GetName().c_str());
    dfWindow::OnMouseLeave();
    return true;
}

bool TGame::OnKeyDown(char key, unsigned int)
{
    if (TPlatform::IsEnabled(TPlatform::kCheatMode)) {
        switch (key) {
        case 's':
        case 't':
        case 'u': debugflag[key - 's'] = !debugflag[key - 's']; return true;
        case 'v': debugflag[3] = (debugflag[3] + 1) % 3; return true;
        case 'w':
            if (TheScene())
                TheScene()->ReloadTextures();
            return true;
        default: break;
        }
    }
    if (key == TEvent::kEscape) {
        // A shown cancel button of the layout (a talk's farewell, a puzzle's way back) takes
        // Escape as the pressed key's character, as in any other dialog; else it pauses.
        FindDefault buttons;
        ForEachChild(buttons);
        if (buttons.mCancel)
            return false;
        Pausify();
        return true;
    }
    return false;
}

void TGame::SendGameMessage(const str& message)
{
    if (message == "quit" && GameSteps().quitToMainMenu)
        GameSteps().quitToMainMenu();
}

void TGame::Pausify()
{
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->DoLuaString(this, "EnterPause(); DoModal('scripts/pause.lua'); ExitPause();");
}

void TGame::DiaryPopup()
{
    TWindowManager* wm = TWindowManager::GetInstance();
    if (!g_pGame || !wm || g_pGame->IsCovered())
        return;
    const tDiary* secondary = gGamestate.GetDiary(BOOK_SEC);
    const tDiary* education = gGamestate.GetDiary(BOOK_EDU);
    if ((secondary && secondary->HasNewEntry()) || (education && education->HasNewEntry()))
        wm->DoLuaString(this, "EnterPause(); dfSetStatus(\"++DiaryAccesses\"); DoModal(\"diary/primary.lua\"); "
                              "ExitPause(); ");
}

bool TGame::OnTaskAnimate()
{
    ++mFrameCount;
    if (mDiaryButtonImage) {
        if (gGamestate.Get("flash_diary"))
            mDiaryButtonImage->SetAlpha(float((std::sin(double(mFrameCount / 5)) + 1) * 0.5));
        else
            mDiaryButtonImage->SetAlpha(0.7f);
    }
    UpdateEscapeButton();
    str description;
    for (int bag = 0; bag < kBagCount; ++bag) {
        UpdateInvArrows(bag);
        const str text = UpdateInventoryWindow(bag);
        if (!text.empty())
            description = text;
    }
    tScene* active = ActiveScene();
    if (!active || !active->InFollowClicksMode())
        description = str();
    SetInventoryWindowText(description);
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->InvalidateScreen();
    if (active) {
        active->Update();
        UpdateMouseCursor(*active);
    }
    if (SubScene() && SubScene()->IsReturnRequested()) {
        delete SubScene();
        SubScene() = nullptr;
        LOGIT("RESTORING LASTSCENE(%s) as SCENE(replace %s)\n", gGamestate.GetLastScene().c_str(),
              gGamestate.GetCurrentScene().c_str());
        gGamestate.SetScene(gGamestate.GetLastScene(), true);
    }
    // After the scenes have gone on: the back button goes with a sub-scene that has closed,
    // before another key can press it.
    UpdateReturnButton();
    return true;
}

bool TGame::IsCovered()
{
    TWindowManager* wm = TWindowManager::GetInstance();
    return wm && wm->GetTopModalWindow() != FindParentModal();
}

// Once, as a dialog comes over play: the scenes' names go and the plain pointer shows. From
// then on the dialog's windows pick the pointer (a button's own cursor lasts while it is
// pointed at). True while play is covered.
bool TGame::HandPointerToDialog()
{
    const bool covered = IsCovered();
    if (covered && !mCovered) {
        for (tScene* scene : {TheScene(), SubScene()})
            if (scene)
                scene->ExternalDumpFloatText();
        ActivateCursor("cursor");
    }
    mCovered = covered;
    return covered;
}

// The scene picks the pointer only while the player deals with it: over a question waiting
// for its answer the plain pointer shows. The main scene sees no moves under a puzzle, so it
// drops the name it showed, which would outlast the puzzle.
void TGame::UpdateMouseCursor(tScene& active)
{
    if (TheScene() && TheScene() != &active)
        TheScene()->ExternalDumpFloatText();
    if (HandPointerToDialog())
        return;
    if (!active.IsChoiceDone())
        ActivateCursor("cursor");
    else
        active.UpdateMouseCursor();
}

void TGame::UpdateEscapeButton()
{
    tScene* active = ActiveScene();
    SetWindowEnable(Child(this, "bye"), active && active->IsConversationMode());
}

void TGame::UpdateReturnButton()
{
    SetWindowEnable(Child(this, "return"), gGamestate.CanReturnFromScene());
}

void TGame::UpdateInvArrows(int bag)
{
    ::UpdateInvArrows(this, bag);
}

str TGame::UpdateInventoryWindow(int bag)
{
    return ::UpdateInventoryWindow(this, bag);
}

void TGame::SetInventoryWindowText(const str& text)
{
    TWindowManager* wm = TWindowManager::GetInstance();
    TText* line = wm ? GetCast<TText>(Child(wm->GetScreen(), "inv_desc")) : nullptr;
    if (line)
        line->SetText(text.empty() ? g_DefaultInventoryWindowText : text);
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"TGame", TGame::ClassId(), &TGame::DynamicCreate},
};
