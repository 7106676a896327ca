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

}  // namespace

void TPlayerNotices::Post(TPlayerNotice notice)
{
    for (const TPlayerNotice& waiting : mPending)
        if (waiting.title == notice.title)
            return;
    LOGIT("Notice for the player: %s\n", notice.title.c_str());
    mPending.push_back(std::move(notice));
}

void TPlayerNotices::OnSaveOutcome(const str& diskPath, bool saved)
{
    if (saved) {
        mFailingSaves.erase(diskPath);
        return;
    }
    const bool first = mFailingSaves.empty();
    mFailingSaves.insert(diskPath);
    if (first)
        Post({"savefail_title", "savefail_body", {FolderOf(diskPath)}});
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
        LOGIT("Telling the player: %s\n", notice.title.c_str());
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
