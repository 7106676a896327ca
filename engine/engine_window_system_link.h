#pragma once
// The platform's link to the window manager, its window script and the game-state table.

#include "core/platform/window_system_link.h"

class TEngineWindowSystemLink : public TWindowSystemLink
{
public:
    TWindowManager* CreateWindowManager() override;
    void DestroyWindowManager(TWindowManager* wm) override;
    void AttachWindowScript(TWindowManager* wm) override;
    void EnableStringTable(TWindowManager* wm, bool enable) override;
    void CloseRequested(TWindowManager* wm) override;
    void InvalidateScreen(TWindowManager* wm) override;
    void EnsureScreen(TWindowManager* wm, unsigned width, unsigned height) override;
    void DestroyGameState() override;
};

// Installs the hooks that reach the window manager from below it (text drawing, the
// game-state table) and the layouts' movie player.
void InstallWindowSystemHooks();
