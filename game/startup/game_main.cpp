#include "game/startup/game_main.h"

#include "core/debug/debug_log.h"
#include "core/platform/platform.h"
#include "core/platform/window_system_link.h"
#include "core/strings/string_table.h"

namespace {

constexpr unsigned kDefaultWidth = 800;
constexpr unsigned kDefaultHeight = 600;

}  // namespace

void Main(TPlatform* platform, const char*)
{
    if (!platform)
        return;
    if (TStringTable* strings = platform->GetStringTable()) {
        const str title = strings->GetString("windowtitle");
        if (title != str(TStringTable::kMissing))
            platform->SetWindowTitle(title);
    }
    // The settings screen will choose the display; until then the default window.
    platform->SetDisplay(kDefaultWidth, kDefaultHeight, false);

    TWindowSystemLink& windows = GetWindowSystemLink();
    for (;;) {
        TEvent e;
        platform->GetEvent(&e);
        if (e.type == TEvent::kQuit) {
            WriteDbg("QUITTING THE APP!");
            return;
        }
        if (e.type == TEvent::kCloseRequest) {
            // No quit confirmation exists yet: a close request is taken as confirmed.
            platform->Exit(0);
        }
        if (TWindowManager* wm = platform->GetWindowManager())
            windows.HandleEvent(wm, e);
    }
}
