#pragma once
// The screen on which the player picks, creates, renames or deletes a profile. The settings'
// own script functions do those; this window hands the layout a page of up to ten profiles
// through its function UpdatePlayerChoices(current, count, names, first, room) and tells it
// which of the profile buttons "button0" to "button9" (radio buttons, button i for profile
// first + i) is on. Every profile is on some page: ShowPlayerPage(step) turns the pages.
//   function UpdatePlayerChoices(current, count, names, first, room) ... end
//   TChoosePlayer{ name = "chooseplayer", ..., Button{ name = "button0", ... }, ... }

#include "game/interface/windows/window_globals.h"
#include "ui/window/window.h"

class TWindowManager;

class TChoosePlayer : public TWindow
{
    TV_CLASS(TChoosePlayer, TWindow)

public:
    static constexpr int kMaxChoices = 10;

    // Binds "SetPlayerChoices", "ShowPlayerPage", "GetCurrentSelectedUser" and
    // "GetSelectedPlayerName".
    TChoosePlayer();
    static TWindow* DynamicCreate();

    // Shows the page that holds the current profile (the first page when there is none).
    void SetPlayerChoices();
    // Shows the page `step` pages on (back when negative), from the last page round to the
    // first and the other way.
    void ShowPlayerPage(int step);
    // The profile of the first profile button that is on; 0 when none is.
    int GetCurrentSelectedUser();
    int GetFirstShown() const { return mFirst; }
    void PostChildrenInit(TWindowStyle& style) override;

private:
    // Calls the layout's UpdatePlayerChoices with the current profile, the number of profiles,
    // the page's names (each as a string value), the page's first profile and whether another
    // profile may be made; then labels the profile buttons with the names as typed.
    void ShowPage();

    tWindowGlobals mGlobals{this};
    int mFirst = 0;  // the profile of button0
};
