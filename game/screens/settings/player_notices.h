#pragma once
// What the player must be told though no screen of theirs asked: progress that cannot be
// saved, a damaged save that was restored or lost, a second copy of the game. A notice waits
// until a screen is up above the bottom window, then shows as the game's message window
// ("scripts/ok.lua") with its texts from the string table.
//   notices.Post({"savefail_title", "savefail_body", {folder}});
//   platform->AdoptTask(&notices);   // each frame shows what waits

#include "core/text/str.h"
#include "core/time/task.h"

#include <set>
#include <vector>

class TStringTable;
class TWindowManager;

struct TPlayerNotice
{
    str title;  // a label of the string table
    str body;   // a label, filled with the arguments ("%1%", ...)
    std::vector<str> arguments;
    bool quitAfter = false;  // the game ends once the player has closed it
};

class TPlayerNotices : public TTask
{
public:
    // A notice already waiting with the same title is not queued twice.
    void Post(TPlayerNotice notice);
    // A save of the file ended: the first failure while every other file saves is told;
    // after they all saved again, the next failure is told again.
    void OnSaveOutcome(const str& diskPath, bool saved);
    // Shows what waits once something is up above the screen; a closed notice that asked for
    // it ends the game. Without a string table the labels go to the window as they are.
    void Update(TWindowManager* wm, TStringTable* strings);
    const std::vector<TPlayerNotice>& Pending() const { return mPending; }

    bool DoTask() override;

private:
    struct TShown
    {
        str window;
        str title;
        bool quitAfter;
    };

    std::vector<TPlayerNotice> mPending;
    std::vector<TShown> mShown;  // until the player closes them
    std::set<str> mFailingSaves;
    int mShownCount = 0;
};
