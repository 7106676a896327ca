#pragma once
// What the player must be told though no screen of theirs asked: progress that cannot be
// saved, a damaged save that was restored or lost, a second copy of the game. A notice waits
// until a screen is up above the bottom window, then shows as the game's message window
// ("scripts/ok.lua") with its texts from the string table.
//   notices.Post({"savefail_title", "savefail_body", {folder}});
//   platform->AdoptTask(&notices);   // each frame shows what waits

#include "core/files/replace_file.h"
#include "core/text/str.h"
#include "core/time/task.h"

#include <map>
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
    // A notice already waiting with the same title and words is not queued twice.
    void Post(TPlayerNotice notice);
    // A save of a file ended: a failure is told unless another file fails for the same reason;
    // after they all saved again, the next failure is told again.
    void OnSaveOutcome(const TSaveOutcome& outcome);
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
    std::vector<TShown> mShown;        // until the player closes them
    std::map<str, str> mFailingSaves;  // path: the words its failure was told in
    int mShownCount = 0;
};
