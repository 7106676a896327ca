#pragma once
// What the platform asks of the window system and the script host, both built above it: it
// owns the window manager and the game-state table. The engine entry installs the real link;
// until then there is no window manager. Events do not pass through here: the game's main
// function hands them to the window manager it holds.

class TWindowManager;

class TWindowSystemLink
{
public:
    virtual ~TWindowSystemLink() = default;

    virtual TWindowManager* CreateWindowManager() { return nullptr; }
    virtual void DestroyWindowManager(TWindowManager*) {}
    // Gives the manager its window script (no Lua state yet).
    virtual void AttachWindowScript(TWindowManager*) {}
    virtual void EnableStringTable(TWindowManager*, bool /*enable*/) {}
    // Tells the window script that the player asked to close.
    virtual void CloseRequested(TWindowManager*) {}
    virtual void InvalidateScreen(TWindowManager*) {}
    // Creates and installs the screen window when there is none, sized width x height.
    virtual void EnsureScreen(TWindowManager*, unsigned /*width*/, unsigned /*height*/) {}

    virtual void DestroyGameState() {}
};

// Never null: a link without a window system while none is installed.
TWindowSystemLink& GetWindowSystemLink();
// Installs a link (not owned); null returns to the default.
void SetWindowSystemLink(TWindowSystemLink* link);
