#include "game/screens/settings/player_notices.h"

#include "core/platform/platform.h"
#include "core/script/message.h"
#include "core/strings/string_table.h"
#include "game/script/df_log.h"
#include "ui/window/message_types.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_manager.h"

#include <algorithm>
#include <vector>

namespace {

constexpr const char* kNoticeDialog = "scripts/ok.lua";

bool IsShown(const TWindowManager& wm, const str& name)
{
    const auto& stack = wm.GetModalStack();
    return std::any_of(stack.begin(), stack.end(), [&](const TModalWindow* w) { return w && w->GetName() == name; });
}

str FolderOf(const str& diskPath)
{
    const std::string path = diskPath.c_str();
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? diskPath : str(path.substr(0, slash).c_str());
}

// The words name what the player can mend: a spare copy that failed while the save itself worked
// costs nothing now.
TPlayerNotice SaveFailureNotice(const TSaveOutcome& outcome)
{
    switch (outcome.problem) {
    case ESaveProblem::kNoFolder: return {"savefail_title", "savefail_nofolder_body", {}};
    case ESaveProblem::kFolderInTheWay:
        if (outcome.spare)
            return {"savespare_title", "savespare_folder_body", {outcome.diskPath}};
        return {"savefail_title", "savefail_folder_body", {outcome.diskPath}};
    case ESaveProblem::kNone:
    case ESaveProblem::kNotWritten: break;
    }
    if (outcome.spare)
        return {"savespare_title", "savespare_body", {outcome.diskPath}};
    return {"savefail_title", "savefail_body", {FolderOf(outcome.diskPath)}};
}

}  // namespace

void TPlayerNotices::Post(TPlayerNotice notice)
{
    for (const TPlayerNotice& waiting : mPending)
        if (waiting.title == notice.title && waiting.body == notice.body)
            return;
    LOGIT("Notice for the player: %s\n", notice.title.c_str());
    mPending.push_back(std::move(notice));
}

void TPlayerNotices::OnSaveOutcome(const TSaveOutcome& outcome)
{
    if (outcome.saved) {
        mFailingSaves.erase(outcome.diskPath);
        return;
    }
    TPlayerNotice notice = SaveFailureNotice(outcome);
    const bool told = std::any_of(mFailingSaves.begin(), mFailingSaves.end(),
                                  [&](const auto& failing) { return failing.second == notice.body; });
    mFailingSaves[outcome.diskPath] = notice.body;
    if (!told)
        Post(std::move(notice));
}

void TPlayerNotices::Update(TWindowManager* wm, TStringTable* strings)
{
    if (!wm)
        return;
    std::erase_if(mShown, [wm](const TShown& shown) {
        if (IsShown(*wm, shown.window))
            return false;
        LOGIT("The player closed the notice %s\n", shown.title.c_str());
        if (shown.quitAfter)
            wm->PostWindowMessage(new TMessage(kQuitNow, "quit", nullptr));
        return true;
    });
    // The screen alone is the bottom of the stack: a window shown later would cover the notice.
    if (mPending.empty() || wm->GetModalStack().size() < 2)
        return;
    for (const TPlayerNotice& notice : mPending) {
        const str window = str::getFormatted("notice%d", ++mShownCount);
        const str body = strings ? str("#") + strings->GetString(notice.body, unsigned(notice.arguments.size()),
                                                                 notice.arguments.data())
                                 : notice.body;
        LOGIT("Telling the player: %s (%s)\n", notice.title.c_str(), notice.body.c_str());
        wm->DisplayDialog(kNoticeDialog, body, notice.title, window);
        mShown.push_back({window, notice.title, notice.quitAfter});
    }
    mPending.clear();
}

bool TPlayerNotices::DoTask()
{
    TPlatform* platform = TPlatform::GetInstance();
    Update(TWindowManager::GetInstance(), platform ? platform->GetStringTable() : nullptr);
    return true;
}
