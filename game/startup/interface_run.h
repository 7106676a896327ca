#pragma once
// The game's interface script, run as the window script's coroutine, and what the player is
// owed when it fails. When it cannot start (its own file, or a screen it opens at once, is
// missing or damaged) or a file the game cannot do without is, the player is told which file
// in the game's error dialog (in the system's box when there is no dialog to show) and the game
// ends through its quit once they have closed it. When the coroutine ends with an error later
// on (a screen's script failing at its top, where no screen catches it), its screens, whose
// buttons no longer answer, go; the interface starts again at its first screen and the error
// is shown over it.
//   auto* run = new TInterfaceRun(platform, "scripts/mainloop.lua");
//   platform->AdoptTask(run);   // the task list owns it
//   run->Start();

#include "core/text/str.h"
#include "core/time/task.h"

class TPlatform;
class TWindowScriptBase;

class TInterfaceRun : public TTask
{
public:
    TInterfaceRun(TPlatform* platform, str script);
    ~TInterfaceRun() override;
    TInterfaceRun(const TInterfaceRun&) = delete;
    TInterfaceRun& operator=(const TInterfaceRun&) = delete;

    // Runs the script up to its first wait; false when it did not get there (the player is
    // then told, and the game ends).
    bool Start();
    // The game cannot go on without `file`: the player is told, with what went wrong, and the
    // game ends. Only the first such failure is told.
    void Fail(const str& file, const str& error);
    // A failure has been told: the game is on its way out, and a close asks nothing.
    bool IsEnding() const { return mFailed; }

    // Starts the interface again after an error, and ends the game once a failure's words
    // have been closed.
    bool DoTask() override;

private:
    void Restart();
    // Shows the words; with `ending` the game ends once they are closed.
    void Tell(const str& file, const str& words, bool ending);

    TPlatform* mPlatform;
    str mScript;
    bool mStopped = false;  // the coroutine ended with an error; not started again yet
    str mStopError;
    bool mFailed = false;
    str mEndingDialog;  // the window whose closing ends the game
    bool mQuitPosted = false;
    int mDialogs = 0;
};

// The game's name of the file a Lua error points at ("layouts/game.lua" for an error in
// assets/layouts/game.lua or for "cannot open assets/layouts/game.lua"); empty when none.
str FileOfLuaError(const str& error);
