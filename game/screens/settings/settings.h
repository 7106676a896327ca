#pragma once
// The game's one settings object: owns the preferences store and the score tables, keeps the
// player profiles (users of the store), applies the display mode and each profile's sound
// levels, and offers all of it to the menus' scripts as Lua globals.
//   TSettings::CreateSettings(TSettings::PlatformServices());  ...  TSettings::GetInstance()->GetTalkSpeed();
//
// Preferences: "curuser" and "fullscreen" in the shared table; "name", "soundoff",
// "soundlevel", "musiclevel", "voxlevel", "walkspeed", "talkspeed" and the awards key
// ("awardkey", with "awardfrom" and "awardsmoved" while older awards move to it) per user.

#include "core/text/str.h"
#include "game/screens/settings/player_notices.h"

#include <functional>
#include <memory>
#include <optional>

class TPrefs;
class TWindowManager;
class TZvHiscores;
struct lua_State;

// What the settings reach outside themselves; PlatformServices() fills it from the platform.
struct TSettingsServices
{
    lua_State* script = nullptr;  // the menus' state, alive as long as the settings
    std::function<void(unsigned width, unsigned height, bool fullscreen)> setDisplay;
    std::function<bool(bool on)> setFullscreen;  // false when the switch failed
    std::function<bool()> isFullscreen;
    std::function<TWindowManager*()> windows;
    // STARTMODE NEW, and LOAD and RESUME: true when the scene to play in is loaded.
    std::function<bool()> startNewGame;
    std::function<bool()> loadDefaultGame;
    // True when another copy of the game holds the user folder: this one then writes nothing.
    std::function<bool()> userFolderTaken;
    // Where the notices for the player run each frame (and are taken off again).
    std::function<void(TTask*)> adoptTask;
    std::function<void(TTask*)> orphanTask;
};

class TSettings
{
public:
    static constexpr int kStoryMode = 0;
    static constexpr int kDefaultLevel = 750;

    // Replaces the instance; binds the globals, opens the store and the score tables and
    // re-selects the stored current user.
    static TSettings* CreateSettings(TSettingsServices services);
    // The platform's script state, display and windows; none without a platform object.
    static TSettingsServices PlatformServices();
    static void DeleteSettings();
    static TSettings* GetInstance();

    ~TSettings();
    TSettings(const TSettings&) = delete;
    TSettings& operator=(const TSettings&) = delete;

    // 800 x 600, full screen as stored ("fullscreen", default 1), then the user's sound.
    void InitGameToSettings();
    bool IsFullScreen() const;
    // Stores the platform's present mode.
    void UpdateFullScreen();

    // --- the scripts' functions ---
    bool ToggleFullScreen();
    void ToggleSoundMute();
    void SetCurrentGameMode(int mode);
    int GetNumUsers() const;
    // Names are kept trimmed and at most sixteen characters; a blank name or one another
    // profile has, in any case, is refused (logged). Nothing when the name was stored, else
    // the string key of why not ("entername_blank", "entername_taken"; empty when no player
    // is there to rename).
    std::optional<str> CreateNewUser(str name);
    // Ignored unless -1 (none) <= index < number of users.
    void SetCurrentUser(int index);
    std::optional<str> ChangeCurrentUserName(str name);
    // Later users move down by one; then user index - 1, or the last one, is selected.
    void DeleteUser(int index);
    // Compared as kept: trimmed, and in the same case.
    bool IsNameInUse(str name) const;
    // Pops modal windows down to the bottom one.
    void QuitToMainMenu();
    // Records the award total as the player's score.
    void LogHighScore();
    int NumMedalsToSubmit();
    int NumEarnedMedals();
    str GetMedalName(int index);
    int GetMedalType(int index);
    str GetMedalGameMode(int index);
    str GetMedalGameData(int index);
    str GetZvGameModeName(int mode);
    str GetZvMedalName(int index);

    // --- read by the game ---
    int GetCurrentUser() const;
    // At most sixteen characters: a longer stored name reads as its first sixteen.
    str GetCurrentUserName() const;
    str GetUserName(int index) const;
    float GetWalkSpeed() const;
    float GetTalkSpeed() const;
    float GetRangedWalkSpeed() const;
    void SetSoundForCurrentUser();
    // The score a player leaving the game is logged with: the award total.
    void LogQuitScore();

    int GetGameMode() const { return mGameMode; }
    TPrefs* GetPrefs() const { return mPrefs.get(); }
    TPlayerNotices& GetNotices() { return mNotices; }
    TZvHiscores* GetHiscores() const { return mHiscores.get(); }
    const TSettingsServices& GetServices() const { return mServices; }

    // A current-user value, thousandths, as read from the store.
    int GetUserInt(const char* key, int def) const;

private:
    explicit TSettings(TSettingsServices services);
    void BindLuaGlobals();
    void ClearLuaGlobals();
    void SetInt(const char* key, int value, int user);
    bool GetMedal(int index, str* name, int* type, str* mode, str* data);
    // Gives every profile its awards key, moving awards kept under its name to it.
    void KeepAwardsByProfile();
    // Opens the store and the score tables, writing nothing while another copy holds the
    // folder, and tells the player what they meet there.
    void OpenStore();
    static str NewAwardKey();
    // The string key of why `name`, cleaned from `typed`, may not be user `user`'s (logged),
    // or null when it may.
    const char* RefuseName(const char* action, const str& typed, const str& name, int user) const;

    TSettingsServices mServices;
    TPlayerNotices mNotices;
    std::unique_ptr<TPrefs> mPrefs;
    std::unique_ptr<TZvHiscores> mHiscores;
    int mGameMode = kStoryMode;
};

extern TSettings* gSettings;

// Scale the music and background-line volumes by factor; a repeated factor changes nothing.
// A negative factor re-applies the background lines with the last factor (1.0 at first).
void AdjustMusicVolume(float factor);
void AdjustBGVoxVolume(float factor);
// Forgets the last factors: a new settings object has applied none.
void ResetSoundFactors();

// The start-screen functions, bound beside the settings' own. SetStartMode answers whether play
// can begin: a saved game that cannot be continued is the menu's to tell.
bool SetStartMode(int mode);
bool IsSavedGamePresent();
