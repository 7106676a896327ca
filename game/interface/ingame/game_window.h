#pragma once
// The window that hosts play: it draws the main scene, passes it the mouse, drives it once a
// frame, keeps the in-game interface (inventory strips and arrows, the description line, the
// diary, return and escape buttons) in step with the game state, and opens the pause screen
// and the diary. While one exists the game is running.
//   TGame{ name = "game", x = 0, y = 0, w = 800, h = 600, tIconStrip{ name = "BAG_INV_strip" } }

#include "game/interface/windows/df_window.h"
#include "game/world/scene/trl_task.h"

class TImage;
class TLayeredWindow;
class tScene;

class TGame : public dfWindow
{
    TV_CLASS(TGame, dfWindow)

public:
    TGame();
    ~TGame() override;
    static TWindow* DynamicCreate();

    void Init(TWindowStyle& style) override;
    void PostChildrenInit(TWindowStyle& style) override;
    void Draw() override;
    bool OnTaskAnimate() override;
    bool OnMouseDown(const TPoint& point) override;
    bool OnMouseMove(const TPoint& point) override;
    bool OnMouseLeave() override;
    bool OnKeyDown(char key, unsigned int modifiers) override;
    void OnSetFocus(TWindow*) override {}
    void OnKillFocus(TWindow*) override {}

    // "quit" records the score and returns to the main menu; anything else is ignored.
    void SendGameMessage(const str& message);
    void Pausify();
    void DiaryPopup();

    void UpdateInvArrows(int bag);
    // The description of the strip's icon under the mouse, or "".
    str UpdateInventoryWindow(int bag);
    void SetInventoryWindowText(const str& text);
    void UpdateReturnButton();
    void UpdateEscapeButton();
    int GetFrameCount() const { return mFrameCount; }

private:
    // Whether a dialog lies over play: the game's own modal window is not the top one.
    bool IsCovered();
    bool HandPointerToDialog();
    void UpdateMouseCursor(tScene& active);

    // Listed with the platform from Init until the window goes: a display change rebuilds the
    // scene's pictures.
    tTRLTask mTextureRefresh;
    TLayeredWindow* mDiaryButton = nullptr;
    TImage* mDiaryButtonImage = nullptr;
    int mFrameCount = 0;
    // Whether a dialog covered play at the last look.
    bool mCovered = false;
};

// The first game window made, or null once it is gone.
extern TGame* g_pGame;
// The main loop's hooks into play: the game root, its pause and diary.
void InstallInGameSteps();
