#pragma once
// The game's main menu screen. Its layout gives the look and each entry's command; the window
// adds the menu music, greets the current player and hides the entries that mean nothing yet:
// those of a player when there is no profile, "load_game" without a saved game, "moregames"
// without a cross-sell catalogue. Layout scripts call SetWelcomeName() after changing player.
//   TMainMenu{ name = "mainmenu", w = kMax, h = kMax, Text{ name = "welcome", ... },
//              Button{ name = "load_game", command = function() SetStartMode(STARTMODE.LOAD) end } }

#include "game/interface/windows/window_globals.h"
#include "ui/window/window.h"

#include <memory>

class TSound;
class TWindowManager;

class TMainMenu : public TWindow
{
    TV_CLASS(TMainMenu, TWindow)

public:
    // Stops the scene's sounds, starts the menu music and binds "SetWelcomeName".
    TMainMenu();
    ~TMainMenu() override;
    static TWindow* DynamicCreate();

    // The greeting and which entries show.
    void SetWelcomeName();
    // Shows or hides the named child; nothing when there is none.
    void SetWindowEnable(const char* name, bool show);
    void PostChildrenInit(TWindowStyle& style) override;

    const std::shared_ptr<TSound>& GetMusic() const { return mMusic; }

private:
    std::shared_ptr<TSound> mMusic;
    tWindowGlobals mGlobals{this};
};
