#pragma once
// What the game's progress objects need of the active scene and the game window. The scene
// code installs its implementation; with none installed there is no active scene: nothing is
// in follow-clicks mode, texts pass through unchanged and nothing is announced.

#include "core/text/str.h"

// The cursor manager's record for an item in use.
struct tCursorDef
{
    float hotX = 0, hotY = 0;
    str anim;
    str cursor;
};

class tWorldScene
{
public:
    virtual ~tWorldScene() = default;

    virtual bool IsFollowClicksMode() const = 0;
    // The active scene's localisation of a text or string key.
    virtual str LocaliseString(const str& text) const = 0;
    // The game's localised string for a key; "#####" when there is none.
    virtual str GlobalString(const str& key) const = 0;
    // Whether the game has a string for key; a probe that expects misses, so it logs none.
    virtual bool HasGlobalString(const str& key) const
    {
        const str text = GlobalString(key);
        return !text.empty() && text != str("#####");
    }
    // An item was added to a bag and should be shown to the player.
    virtual void DoInvAdd(const str& key, int bag) = 0;
    // Adds a cursor definition under name unless the cursor manager has one.
    virtual void AddCursorDefIfMissing(const str& name, const tCursorDef& def) = 0;
    // Cell size of the named inventory strip; false when the game window has no such strip.
    virtual bool GetStripCell(const str& strip, int* width, int* height) const = 0;
    // A point in the strip's client coordinates, in screen coordinates.
    virtual void StripToScreen(const str& strip, int x, int y, float* sx, float* sy) const = 0;
};

// The installed scene link, or null.
tWorldScene* GetWorldScene();
void SetWorldScene(tWorldScene* scene);

// Through the installed link; identity without one.
str WorldLocalise(const str& text);
