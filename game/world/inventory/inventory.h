#pragma once
// One inventory bag: the items the heroine carries, keyed by item key in byte order, and the
// scroll state of the icon strip that shows the bag.

#include "core/text/str.h"
#include "game/script/class_info.h"
#include "game/world/geometry/vector2.h"

#include <map>

class TPrefs;

struct tInventoryEntry
{
    str text;
    str anim;
    str cursor;
    str cantuse;
    float hotX = 0, hotY = 0;
    bool shown = true;
    int parameter = 3206;
};

// The bag's view of whoever tracks the item in use (the game state).
class tInventoryUser
{
public:
    virtual ~tInventoryUser() = default;
    virtual const str& GetInvUsage_Raw() const = 0;
    virtual void ClearInvUsage() = 0;
};

class tInventory : public baseObj
{
public:
    using tInventoryset = std::map<str, tInventoryEntry>;

    static tClassInfo civ;
    static baseObj* Factory() { return new tInventory; }
    static void LuaAdd(dfLua& lua);

    tInventory() { mClassInfo = &civ; }

    void SetName(const str& name, int bag) { mName = name, mBag = bag; }
    const str& GetName() const { return mName; }
    int GetBag() const { return mBag; }
    void SetUser(tInventoryUser* user) { mUser = user; }

    // Replaces an entry of the same key; announces only a key not owned before.
    void AddInventory(const str& key, const tInventoryEntry& entry, bool announce);
    void RemoveInventory(const str& key);
    bool CheckInventory(const str& key) const { return mItems.count(key) != 0; }
    tInventoryEntry* GetInventoryEntry(const str& key);
    int GetInventoryEntryCount() const { return int(mItems.size()); }
    // Empty past the end.
    str GetInventoryKeyAbs(int index) const;
    // -1 when not owned.
    int GetInventoryIndex(const str& key) const;
    void ShowInventory(const str& key, bool shown);
    void SetItemParameter(const str& key, int value);
    void SetItemDescription(const str& key, const str& text);

    void MoveInventory(int delta);
    bool InvCanMoveLeft() const { return mFirstVisible != 0; }
    bool InvCanMoveRight() const { return mFirstVisible + mVisibleCount < GetInventoryEntryCount(); }
    void PositionInventoryForVisibility(const str& key);
    float GetInventoryLocationRelativeInIcons(const str& key) const;
    void JumpInventoryToTarget();
    void UpdateScroll();
    // Screen point of the item's icon; (400, 600) for an unknown item or a missing strip.
    tVector2<float> GetInventoryLocation(const str& key) const;
    void GetInventoryLocation(const str& key, float* x, float* y) const;
    // Lua "AddInventory": an item table and an optional announce flag (default true) after it.
    int lf_AddInventory(dfLua& lua);

    void clear();
    bool SaveGame(TPrefs& prefs, int slot, int user) const;
    bool LoadGame(const TPrefs& prefs, int slot, int user);

    const tInventoryset& Items() const { return mItems; }
    int GetFirstVisible() const { return mFirstVisible; }
    int GetVisibleCount() const { return mVisibleCount; }
    void SetVisibleCount(int count) { mVisibleCount = count; }
    float GetScrollX() const { return mPosX; }
    float GetScrollY() const { return mPosY; }
    float GetTargetX() const { return mTargetX; }

private:
    tInventoryset mItems;
    str mName;
    int mBag = 0;
    int mFirstVisible = 0;
    int mVisibleCount = 0;
    float mPosX = 0, mPosY = 0;
    float mTargetX = 0, mTargetY = 0;
    tInventoryUser* mUser = nullptr;
};
