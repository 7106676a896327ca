#pragma once
// The quests the heroine has taken on, ordered by key, and the one the diary's quest page
// shows (the selected key).

#include "core/text/str.h"
#include "game/script/class_info.h"

#include <map>

class TPrefs;

struct tQuestEntry
{
    str key;
    str anim;
    str title;
    str body;
    bool complete = false;
};

class tQuestset : public baseObj, public std::map<str, tQuestEntry>
{
public:
    static tClassInfo civ;
    static baseObj* Factory() { return new tQuestset; }
    static void LuaAdd(dfLua& lua);

    tQuestset() { mClassInfo = &civ; }

    // Replaces a quest of the same key and selects it.
    void Add(const str& key, const tQuestEntry& entry);
    void Complete(const str& key);
    void Abandon(const str& key);
    // 0 no such quest, 1 active, 2 complete.
    int Check(const str& key) const;
    int GetEntryCount() const { return int(size()); }
    tQuestEntry* GetEntry(int index);
    tQuestEntry* GetEntry(const str& key);
    bool CanMoveLeft() const;
    // Any positive delta selects the last quest, any negative one the first.
    void Move(int delta);
    const str& GetSelected() const { return mSelected; }

    void clear();
    bool SaveGame(TPrefs& prefs, int slot, int user) const;
    bool LoadGame(const TPrefs& prefs, int slot, int user);

    // Lua "AddQuest" (key, title, body, animfile: the last four values) and "CheckQuest"
    // (key: "active", "complete" or nil).
    int lf_Add(dfLua& lua);
    int lf_Check(dfLua& lua);

private:
    str mSelected;
};
