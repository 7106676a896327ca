#pragma once
// The steps of the game's start and loop that belong to parts of the game built on top of
// this one: settings, the scene list and scene, the game's modal window, the in-game root
// window, pause, dialogue choices, voice lines, the text-entry and score-submission windows.
// Each part installs its step when it exists; until then an empty step does nothing and an
// empty query answers false (or null).
//   GameSteps().isPaused = [] { return IsPaused(); };

#include <functional>

class TModalWindow;
class TWindow;

struct TGameSteps
{
    // Settings: made and applied at start, deleted at quit, told of full-screen switches; the
    // player leaving play for the main menu, with the score logged.
    std::function<void()> createSettings;
    std::function<void()> deleteSettings;
    std::function<void()> updateFullScreen;
    std::function<void()> quitToMainMenu;
    // The score submission's registration.
    std::function<void()> registerServerSubmit;
    // The scene list, the one scene.
    std::function<void()> loadSceneList;
    std::function<void()> createScene;
    std::function<void()> dumpSubScene;
    std::function<void()> dumpScene;
    std::function<void()> releaseScene;
    std::function<void()> dumpVox;
    // The cursors' textures, let go at quit while the renderer still stands.
    std::function<void()> releaseCursors;
    // The game's modal window, which "PushModal" pushes: its dialogs close by their transition.
    // Without the step a plain modal window.
    std::function<TModalWindow*()> newModalWindow;
    // The in-game root window (null when no game runs) and what the loop asks of it.
    std::function<TWindow*()> gameRoot;
    std::function<void()> pausify;
    std::function<void()> diaryPopup;
    // Pause and dialogue choices, as scripts call them.
    std::function<bool()> isPaused;
    std::function<void()> enterPause;
    std::function<void()> exitPause;
    std::function<void(int)> choiceClicked;
};

TGameSteps& GameSteps();

// The in-game root window, or null.
TWindow* GameRoot();
bool IsGamePaused();
