#pragma once
// The player's progress in one object: script variables, the current and the previous
// scene, the two bags, the three diaries, the quests and the item in use. It saves itself
// into a player's table of the preferences store under a slot number (the game uses slot 0).

#include "core/text/str.h"
#include "game/script/class_info.h"
#include "game/world/common/world_enums.h"
#include "game/world/diary/diary.h"
#include "game/world/inventory/inventory.h"
#include "game/world/quest/questset.h"
#include "game/world/state/interface_settings.h"

#include <map>

class TPrefs;

class tGamestate : public baseObj, public tInventoryUser
{
public:
    static tClassInfo civ;
    static baseObj* Factory() { return new tGamestate; }
    static void LuaAdd(dfLua& lua);

    tGamestate();
    tGamestate(const tGamestate&) = delete;
    tGamestate& operator=(const tGamestate&) = delete;

    void SetScene(const str& name, bool push);
    const str& GetCurrentScene() const { return mScene; }
    const str& GetLastScene() const { return mLastScene; }
    // A sub-scene opens over the current scene and becomes the current scene (pushed). While
    // it is current, a saved game names the scenes as they stood under it: a game continued
    // goes on there, never inside the sub-scene.
    void EnterSubScene(const str& name);
    // The sub-scene has gone: the return it allowed ("canreturnfromscene") goes with it.
    void EndSubScene();
    // The current scene is a sub-scene.
    bool InSubScene() const;

    void Set(const str& name, int value);
    int Get(const str& name) const;
    // A null value removes the text variable.
    void SetString(const str& name, const char* value);
    str GetString(const str& name) const;
    void ZapString(const str& name);
    void SetReturnFromScene(const str& scene);
    bool CanReturnFromScene() const;

    void UseInventory(int bag, int index);
    const str& GetInvUsage_Raw() const override { return mKeyInUse; }
    str GetInvUsage() const;
    int GetBagInUse() const { return mBagInUse; }
    tInventoryEntry* GetInventoryEntry(const str& key, int bag);
    tInventoryEntry* GetInventoryEntryInUse();
    str GetInvUsage_CantUse();
    void ClearInvUsage() override;

    void EarnAward(const str& name);
    bool HasAward(const str& name) const;
    void TaskComplete(const str& name);

    void clear();
    // True when the preferences file was written.
    bool SaveGame(TPrefs& prefs, int slot, int user);
    bool LoadGame(TPrefs& prefs, int slot, int user);
    bool IsSavedGamePresent(const TPrefs& prefs, int slot, int user) const;
    // Slot 0 of the current player ("curuser" in the shared table of the game's store). With
    // no store or no current player nothing is written or read and the answer is false.
    bool SaveCurrentGame();
    bool LoadCurrentGame();
    bool IsCurrentGamePresent() const;

    // The script globals of this state, its bags, books and quests: "game", "BAG_INV",
    // "BAG_MAGIC", "BOOK_PRI", "BOOK_SEC", "BOOK_EDU", "quest".
    void AddInstanceToLua(dfLua& lua);
    // Lua "SetString" (name, value): a nil value removes the text variable.
    int lf_SetString(dfLua& lua);

    // Null for a number that names no bag or book.
    tInventory* GetBag(int bag);
    tDiary* GetDiary(int book);
    tQuestset& GetQuests() { return mQuests; }
    const std::map<str, int>& Variables() const { return mVariables; }
    const std::map<str, str>& Strings() const { return mStrings; }

private:
    str mScene;
    str mLastScene;
    // The open sub-scene (empty when none), and the current and last scene under it.
    str mSubScene;
    str mSceneUnder;
    str mLastSceneUnder;
    std::map<str, int> mVariables;
    std::map<str, str> mStrings;
    tInventory mBags[kBagCount];
    int mBagInUse = BAG_NONE;
    str mKeyInUse;
    tDiary mDiaries[kBookCount];
    tQuestset mQuests;
};

extern tGamestate gGamestate;

// Where finished scripted tasks are reported (the play metrics' task event); none by default.
using tTaskEventReport = void (*)(const char* kind, const char* name, const char* extra);
void SetTaskEventReport(tTaskEventReport report);

// The settings' preferences store the script-facing save and load use (not owned).
void SetGamePrefs(TPrefs* prefs);
TPrefs* GetGamePrefs();
// gGamestate's SaveCurrentGame, LoadCurrentGame and IsCurrentGamePresent.
bool lf_SaveGame();
bool lf_LoadGame();
bool lf_IsSavedGamePresent();
