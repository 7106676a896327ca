#include "core/debug/debug_log.h"
#include "core/prefs/prefs.h"
#include "game/world/common/save_keys.h"
#include "game/world/state/gamestate.h"

namespace {

TPrefs* gGamePrefs = nullptr;

template <class Value, class WriteValue>
void SaveVariables(TPrefs& prefs, int user, int slot, const std::map<str, Value>& vars, str (*format)(int, int),
                   WriteValue write)
{
    TSaveListWriter w(prefs, user, "a script variable");
    for (const auto& [name, value] : vars)
        if (w.Begin(format(slot, w.NextIndex()), name))
            write(w, value);
    w.End(format(slot, w.NextIndex()));
}

// Calls read(prefix, name) for each stored variable, up to the end marker.
template <class Read>
void LoadVariables(const TPrefs& prefs, int user, int slot, str (*format)(int, int), Read read)
{
    for (int i = 0;; ++i) {
        const str p = format(slot, i);
        const str name = prefs.GetStr(p + "key", "", user);
        if (name.empty())
            return;
        read(p, name);
    }
}

// The current player, or -1 (logged) when there is no store or no player.
int CurrentUser(const char* what)
{
    const int user = gGamePrefs ? gGamePrefs->GetInt("curuser", -1, -1) : -1;
    if (user < 0)
        WriteDbg("%s: no current player; nothing done", what);
    return user;
}

}  // namespace

bool tGamestate::SaveGame(TPrefs& prefs, int slot, int user)
{
    WriteDbg("tGamestate::SaveGame(S%d, U%d)", slot, user);
    SaveVariables(prefs, user, slot, mVariables, GS_FormatValue,
                  [](TSaveListWriter& w, int value) { w.Int("value", value); });
    SaveVariables(prefs, user, slot, mStrings, GS_FormatString,
                  [](TSaveListWriter& w, const str& value) { w.Str("value", value); });
    for (const tDiary& d : mDiaries)
        d.SaveGame(prefs, slot, user);
    for (const tInventory& b : mBags)
        b.SaveGame(prefs, slot, user);
    const str s = GS_FormatSlot(slot);
    // A sub-scene's name would be no scene to continue in: the game goes on under it.
    const bool inSubScene = InSubScene();
    const str& scene = inSubScene ? mSceneUnder : mScene;
    const str& lastScene = inSubScene ? mLastSceneUnder : mLastScene;
    prefs.SetStr(s + "IUSE", mKeyInUse, user, false);
    prefs.SetStr(s + "SCENE", scene, user, false);
    prefs.SetStr(s + "LASTSCENE", lastScene, user, false);
    // Written with the rest: a file written here would hold this save's keys beside the
    // previous save's quests, and a program killed before the end would leave that mix.
    prefs.SetInt("DIARY", g_DiaryEnabled ? 1 : 0, user, false);
    prefs.SetStr("DINVTEXT", g_DefaultInventoryWindowText, user, false);
    prefs.SetInt("HUDENABLED", g_HUDEnabled ? 1 : 0, user, false);
    mQuests.SaveGame(prefs, slot, user);
    if (!prefs.SavePrefs()) {
        WriteDbg("tGamestate::SaveGame: the preferences file was not written; the game is not saved");
        return false;
    }
    WriteDbg("SAVED GAME IN SCENE ( %s ) LASTSCENE ( %s )", scene.c_str(), lastScene.c_str());
    return true;
}

bool tGamestate::LoadGame(TPrefs& prefs, int slot, int user)
{
    clear();
    LoadVariables(prefs, user, slot, GS_FormatValue,
                  [&](const str& p, const str& name) { mVariables[name] = prefs.GetInt(p + "value", 0, user); });
    LoadVariables(prefs, user, slot, GS_FormatString,
                  [&](const str& p, const str& name) { mStrings[name] = prefs.GetStr(p + "value", "", user); });
    for (tDiary& d : mDiaries)
        if (!d.LoadGame(prefs, slot, user))
            return false;
    for (tInventory& b : mBags)
        if (!b.LoadGame(prefs, slot, user))
            return false;
    const str s = GS_FormatSlot(slot);
    mKeyInUse = prefs.GetStr(s + "IUSE", "", user);
    mScene = prefs.GetStr(s + "SCENE", "", user);
    mLastScene = prefs.GetStr(s + "LASTSCENE", "", user);
    g_DiaryEnabled = prefs.GetInt("DIARY", 1, user) != 0;
    g_DefaultInventoryWindowText = prefs.GetStr("DINVTEXT", "", user);
    g_HUDEnabled = prefs.GetInt("HUDENABLED", 1, user) != 0;
    mQuests.LoadGame(prefs, slot, user);
    return true;
}

bool tGamestate::IsSavedGamePresent(const TPrefs& prefs, int slot, int user) const
{
    return !prefs.GetStr(GS_FormatSlot(slot) + "SCENE", "", user).empty();
}

void SetGamePrefs(TPrefs* prefs)
{
    gGamePrefs = prefs;
}

TPrefs* GetGamePrefs()
{
    return gGamePrefs;
}

bool tGamestate::SaveCurrentGame()
{
    const int user = CurrentUser("SaveGame");
    return user >= 0 && SaveGame(*gGamePrefs, 0, user);
}

bool tGamestate::LoadCurrentGame()
{
    const int user = CurrentUser("LoadGame");
    return user >= 0 && LoadGame(*gGamePrefs, 0, user);
}

bool tGamestate::IsCurrentGamePresent() const
{
    const int user = gGamePrefs ? gGamePrefs->GetInt("curuser", -1, -1) : -1;
    return user >= 0 && IsSavedGamePresent(*gGamePrefs, 0, user);
}

bool lf_SaveGame()
{
    return gGamestate.SaveCurrentGame();
}

bool lf_LoadGame()
{
    return gGamestate.LoadCurrentGame();
}

bool lf_IsSavedGamePresent()
{
    return gGamestate.IsCurrentGamePresent();
}
