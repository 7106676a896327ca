#include "game/screens/settings/settings.h"

#include "core/config/config.h"
#include "core/files/file.h"
#include "core/files/replace_file.h"
#include "core/platform/platform.h"
#include "core/prefs/prefs.h"
#include "game/screens/settings/player_name.h"
#include "game/script/df_log.h"
#include "game/startup/gantrimole_init.h"
#include "game/world/awards/awards_manager.h"
#include "game/world/common/walk_speed.h"
#include "game/world/state/gamestate.h"
#include "online/scores/guid_source.h"
#include "online/scores/zv_hiscores.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_script_base.h"

TSettings* gSettings = nullptr;

namespace {

constexpr const char* kCurUser = "curuser";
constexpr const char* kFullScreen = "fullscreen";
constexpr const char* kName = "name";
// Held by the copy of the game that uses the user folder.
constexpr const char* kLockFile = "user:running.lock";
// Awards are kept under a key of the profile's own, so that they go with it through a rename
// and a new profile never finds another's. Older files kept them under the name: the name
// they were kept under waits in "awardfrom" until they have moved ("awardsmoved" 0).
constexpr const char* kAwardKey = "awardkey";
constexpr const char* kAwardFrom = "awardfrom";
constexpr const char* kAwardsMoved = "awardsmoved";
constexpr unsigned kWidth = 800;
constexpr unsigned kHeight = 600;

}  // namespace

TSettings* TSettings::CreateSettings(TSettingsServices services)
{
    DeleteSettings();
    gSettings = new TSettings(std::move(services));
    return gSettings;
}

TSettingsServices TSettings::PlatformServices()
{
    TSettingsServices services;
    TPlatform* platform = TPlatform::GetInstance();
    if (platform) {
        TWindowManager* wm = platform->GetWindowManager();
        services.script = wm && wm->GetScript() ? wm->GetScript()->GetState() : nullptr;
        services.setDisplay = [platform](unsigned w, unsigned h, bool full) { platform->SetDisplay(w, h, full); };
        services.setFullscreen = [platform](bool on) { return platform->SetFullscreen(on); };
        services.isFullscreen = [platform] { return platform->IsFullscreen(); };
        services.windows = [platform] { return platform->GetWindowManager(); };
        services.adoptTask = [platform](TTask* task) { platform->AdoptTask(task); };
        services.orphanTask = [platform](TTask* task) { platform->OrphanTask(task); };
        services.userFolderTaken = [platform] {
            return platform->FolderTakenByAnother(TFile::TranslateResource(kLockFile, false));
        };
    }
    return services;
}

void TSettings::DeleteSettings()
{
    delete gSettings;
    gSettings = nullptr;
}

TSettings* TSettings::GetInstance()
{
    return gSettings;
}

TSettings::TSettings(TSettingsServices services) : mServices(std::move(services))
{
    // Selecting the stored user below applies its sound through the instance.
    gSettings = this;
    ResetSoundFactors();
    BindLuaGlobals();
    if (mServices.adoptTask)
        mServices.adoptTask(&mNotices);
    SetSaveReport([this](const TSaveOutcome& outcome) { mNotices.OnSaveOutcome(outcome); });
    OpenStore();
    SetCurrentGameMode(kStoryMode);
    KeepAwardsByProfile();
    SetCurrentUser(GetCurrentUser());
    SetRangedWalkSpeedSource([] { return gSettings ? gSettings->GetRangedWalkSpeed() : 1.0f; });
}

TSettings::~TSettings()
{
    SetSaveReport(nullptr);
    if (mServices.orphanTask)
        mServices.orphanTask(&mNotices);
    ClearLuaGlobals();
    if (gSettings == this) {
        gSettings = nullptr;
        SetRangedWalkSpeedSource(nullptr);
    }
}

void TSettings::OpenStore()
{
    // Before anything is read: a start clears away the unfinished saves another copy may be making.
    const bool taken = mServices.userFolderTaken && mServices.userFolderTaken();
    if (taken) {
        LOGIT("TSettings: another copy of the game uses this user folder; this one saves nothing\n");
        mNotices.Post({"running_title", "running_body", {}, true});
    }
    TConfig::SetConfig(TConfig::kEncryptionKey, ENCRYPTION_KEY);
    mPrefs = std::make_unique<TPrefs>(!taken);
    mHiscores = std::make_unique<TZvHiscores>(!taken);
    if (mPrefs->WasRestored())
        mNotices.Post({"prefs_restored_title", "prefs_restored_body", {}});
    else if (mPrefs->IsDamaged())
        mNotices.Post({"prefs_damaged_title", "prefs_damaged_body", {}});
}

void TSettings::SetInt(const char* key, int value, int user)
{
    mPrefs->SetInt(key, value, user, true);
}

int TSettings::GetUserInt(const char* key, int def) const
{
    return mPrefs->GetInt(key, def, GetCurrentUser());
}

void TSettings::InitGameToSettings()
{
    if (mServices.setDisplay)
        mServices.setDisplay(kWidth, kHeight, mPrefs->GetInt(kFullScreen, 1, -1) == 1);
    SetSoundForCurrentUser();
}

bool TSettings::IsFullScreen() const
{
    return mServices.isFullscreen && mServices.isFullscreen();
}

void TSettings::UpdateFullScreen()
{
    SetInt(kFullScreen, IsFullScreen() ? 1 : 0, -1);
}

bool TSettings::ToggleFullScreen()
{
    // A refusal is the caller's to explain: the options page says why nothing changed.
    if (!mServices.setFullscreen || !mServices.setFullscreen(!IsFullScreen()))
        return false;
    UpdateFullScreen();
    return true;
}

void TSettings::SetCurrentGameMode(int mode)
{
    if (mode != kStoryMode)
        return;
    mGameMode = mode;
    mHiscores->SetProperty(TZvHiscores::kPropGameMode, GetZvGameModeName(mode));
}

int TSettings::GetNumUsers() const
{
    return int(mPrefs->GetNumUsers());
}

void TSettings::KeepAwardsByProfile()
{
    for (int user = 0; user < GetNumUsers(); ++user) {
        if (mPrefs->GetStr(kAwardKey, "", user).empty()) {
            // The name, as stored, goes first: a stop between the two writes leaves nothing
            // unmoved.
            mPrefs->SetStr(kAwardFrom, mPrefs->GetStr(kName, "", user), user, true);
            SetInt(kAwardsMoved, 0, user);
            mPrefs->SetStr(kAwardKey, NewAwardKey(), user, true);
        }
        if (mPrefs->GetInt(kAwardsMoved, 1, user) == 0) {
            mHiscores->MoveMedals(mPrefs->GetStr(kAwardFrom, "", user), mPrefs->GetStr(kAwardKey, "", user));
            SetInt(kAwardsMoved, 1, user);
        }
    }
}

str TSettings::NewAwardKey()
{
    // Longer than any name, so never one of the names older files kept awards under.
    return str("profile-") + NewScoreGuid();
}

const char* TSettings::RefuseName(const char* action, const str& typed, const str& name, int user) const
{
    if (name.empty()) {
        LOGIT("TSettings::%s: a name needs more than blanks: '%s'\n", action, typed.c_str());
        return "entername_blank";
    }
    // In any case: two names that differ only in it would read as one player in the list.
    const str key = PlayerNameKey(name);
    for (int i = 0; i < GetNumUsers(); ++i)
        if (i != user && PlayerNameKey(GetUserName(i)) == key) {
            LOGIT("TSettings::%s: the name '%s' is taken\n", action, name.c_str());
            return "entername_taken";
        }
    return nullptr;
}

std::optional<str> TSettings::CreateNewUser(str typed)
{
    const str name = CleanPlayerName(typed);
    const int user = GetNumUsers();
    if (const char* refusal = RefuseName("CreateNewUser", typed, name, user))
        return str(refusal);
    mPrefs->SetStr(kName, name, user, true);
    mPrefs->SetStr(kAwardKey, NewAwardKey(), user, true);
    // The new profile starts with the present one's sound; speeds start over.
    static const char* const kCopied[] = {"soundlevel", "musiclevel", "voxlevel"};
    for (const char* key : kCopied)
        SetInt(key, GetUserInt(key, kDefaultLevel), user);
    SetInt("soundoff", GetUserInt("soundoff", 0), user);
    SetCurrentUser(user);
    return std::nullopt;
}

void TSettings::SetCurrentUser(int index)
{
    if (index >= GetNumUsers())
        return;
    if (index < -1) {
        LOGIT("TSettings::SetCurrentUser: no user %d\n", index);
        return;
    }
    SetInt(kCurUser, index, -1);
    if (index < 0)
        return;
    mHiscores->SetProperty(TZvHiscores::kPropUserName, GetUserName(index));
    mHiscores->SetProperty(TZvHiscores::kPropMedalOwner, mPrefs->GetStr(kAwardKey, "", index));
    SetSoundForCurrentUser();
}

std::optional<str> TSettings::ChangeCurrentUserName(str typed)
{
    const str name = CleanPlayerName(typed);
    const int user = mPrefs->GetInt(kCurUser, 0, -1);
    if (user < 0) {
        // The shared table is nobody's: no name goes there, and no name typed would mend that.
        LOGIT("TSettings::ChangeCurrentUserName: no current user for '%s'\n", typed.c_str());
        return str();
    }
    // Keeping one's name changes nothing, also beside another profile's name that differs
    // only in case (from a file made before such names were one).
    if (!name.empty() && name == GetUserName(user))
        return std::nullopt;
    if (const char* refusal = RefuseName("ChangeCurrentUserName", typed, name, user))
        return str(refusal);
    mPrefs->SetStr(kName, name, user, true);
    // Scores from now on carry the new name; the awards stay with the profile's key.
    if (user == GetCurrentUser())
        mHiscores->SetProperty(TZvHiscores::kPropUserName, name);
    return std::nullopt;
}

void TSettings::DeleteUser(int index)
{
    if (index < 0 || index >= GetNumUsers()) {
        LOGIT("TSettings::DeleteUser: no user %d\n", index);
        return;
    }
    // Their awards and log-in go with them, as the question says; their scores stay.
    mHiscores->ForgetPlayer(GetUserName(index), mPrefs->GetStr(kAwardKey, "", index));
    mPrefs->DeleteUser(unsigned(index));
    SetCurrentUser(index - 1 >= 0 ? index - 1 : GetNumUsers() - 1);
}

bool TSettings::IsNameInUse(str typed) const
{
    const str name = CleanPlayerName(typed);
    for (int i = 0; i < GetNumUsers(); ++i)
        if (CleanPlayerName(GetUserName(i)) == name)
            return true;
    return false;
}

void TSettings::QuitToMainMenu()
{
    TWindowManager* wm = mServices.windows ? mServices.windows() : nullptr;
    if (!wm)
        return;
    for (TModalWindow* top = wm->GetTopModalWindow(); top && top->GetParent();) {
        wm->PopModal(WindowIdText(top->GetId()));
        TModalWindow* next = wm->GetTopModalWindow();
        if (next == top)
            break;  // the manager would not let it go
        top = next;
    }
}

void TSettings::LogHighScore()
{
    mHiscores->KeepScore(gAwardsManager.GetScore(), true, nullptr);
    LOGIT("TSettings::LogHighScore()\n");
}

void TSettings::LogQuitScore()
{
    mHiscores->LogScore(gAwardsManager.GetScore(), mGameMode == kStoryMode, nullptr, nullptr);
}

int TSettings::NumMedalsToSubmit()
{
    return mHiscores->GetNumMedalsToSubmit();
}

int TSettings::NumEarnedMedals()
{
    return mHiscores->GetNumMedalsEarned();
}

bool TSettings::GetMedal(int index, str* name, int* type, str* mode, str* data)
{
    TZvHiscores::EMedalType medalType = TZvHiscores::kMedalGame;
    if (!mHiscores->GetEarnedMedalInfo(index, name, &medalType, mode, data))
        return false;
    if (type)
        *type = int(medalType);
    return true;
}

str TSettings::GetMedalName(int index)
{
    str name;
    return GetMedal(index, &name, nullptr, nullptr, nullptr) ? name : str();
}

int TSettings::GetMedalType(int index)
{
    int type = 0;
    return GetMedal(index, nullptr, &type, nullptr, nullptr) ? type : 0;
}

str TSettings::GetMedalGameMode(int index)
{
    str mode;
    return GetMedal(index, nullptr, nullptr, &mode, nullptr) ? mode : str();
}

str TSettings::GetMedalGameData(int index)
{
    str data;
    return GetMedal(index, nullptr, nullptr, nullptr, &data) ? data : str();
}

str TSettings::GetZvGameModeName(int mode)
{
    return mode == kStoryMode ? str("story_mode") : str();
}

str TSettings::GetZvMedalName(int index)
{
    const tAwardDef* def = gAwardsManager.GetAwardDef(index);
    if (!def) {
        LOGIT("GetZvMedalName(%d) returns [NULL]\n", index);
        return str();
    }
    LOGIT("GetZvMedalName(%d) returns [%s]\n", index, def->name.c_str());
    return def->name;
}

int TSettings::GetCurrentUser() const
{
    return mPrefs->GetInt(kCurUser, -1, -1);
}

str TSettings::GetCurrentUserName() const
{
    return GetUserName(mPrefs->GetInt(kCurUser, 0, -1));
}

str TSettings::GetUserName(int index) const
{
    // A name longer than a name can be is shown and used as the letters a name can hold: every
    // screen that shows it stays quick.
    return CutPlayerName(mPrefs->GetStr(kName, "", index));
}

float TSettings::GetWalkSpeed() const
{
    return float(GetUserInt("walkspeed", 0)) / 1000.0f;
}

float TSettings::GetTalkSpeed() const
{
    return float(GetUserInt("talkspeed", 0)) / 1000.0f;
}

float TSettings::GetRangedWalkSpeed() const
{
    return 1.0f + 2.0f * GetWalkSpeed();
}

bool IsSavedGamePresent()
{
    return lf_IsSavedGamePresent();
}
