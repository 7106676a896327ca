#pragma once
// The screen on which the player picks, creates, renames or deletes a profile. The settings'
// own script functions do those; this window hands the layout the list of profiles through
// its function UpdatePlayerChoices(current, count, names) and tells it which of the profile
// buttons "button0" to "button9" (radio buttons, button i for profile i) is on.
//   function UpdatePlayerChoices(current, count, names) ... end
//   TChoosePlayer{ name = "chooseplayer", ..., Button{ name = "button0", ... }, ... }

#include "game/interface/windows/window_globals.h"
#include "ui/window/window.h"

class TWindowManager;

class TChoosePlayer : public TWindow
{
    TV_CLASS(TChoosePlayer, TWindow)

public:
    static constexpr int kMaxChoices = 10;

    // Binds "SetPlayerChoices", "GetCurrentSelectedUser" and "GetSelectedPlayerName".
    TChoosePlayer();
    static TWindow* DynamicCreate();

    // Calls the layout's UpdatePlayerChoices with the current profile, the number of profiles
    // and the first ten names, each as a string value; then labels the profile buttons with
    // the names as typed.
    void SetPlayerChoices();
    // The first profile button that is on; 0 when none is.
    int GetCurrentSelectedUser();
    void PostChildrenInit(TWindowStyle& style) override;

private:
    tWindowGlobals mGlobals{this};
};
