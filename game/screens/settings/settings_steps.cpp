#include "game/screens/settings/settings_steps.h"

#include "game/screens/settings/settings.h"
#include "game/script/metrics.h"
#include "game/startup/game_steps.h"
#include "game/startup/script_functions.h"
#include "game/world/awards/awards_manager.h"
#include "game/world/scene/scene_hooks.h"
#include "game/world/sound/sfx_manager.h"
#include "game/world/state/gamestate.h"

namespace {

void Connect(TSettings* settings)
{
    SetGamePrefs(settings ? settings->GetPrefs() : nullptr);
    gAwardsManager.SetScoreTables(settings ? settings->GetHiscores() : nullptr);
    // Scripts report the tasks a player completes through the game state.
    SetTaskEventReport(settings ? &MET_TaskEvent : nullptr);
    tSFXSettings sfx;
    if (settings) {
        sfx.talkSpeed = [] { return gSettings ? gSettings->GetTalkSpeed() : 0.0f; };
        sfx.voiceEnabled = &IsVoiceEnabled;
        sfx.bgVoxVolume = &AdjustBGVoxVolume;
    }
    g_SFXManager.SetSettings(sfx);
}

}  // namespace

void InstallSettingsSteps(std::function<bool()> startNewGame, std::function<bool()> loadDefaultGame)
{
    TGameSteps& steps = GameSteps();
    steps.createSettings = [startNewGame, loadDefaultGame] {
        TSettingsServices services = TSettings::PlatformServices();
        services.startNewGame = startNewGame;
        services.loadDefaultGame = loadDefaultGame;
        TSettings* settings = TSettings::CreateSettings(std::move(services));
        Connect(settings);
        settings->InitGameToSettings();
    };
    steps.deleteSettings = [] {
        Connect(nullptr);
        TSettings::DeleteSettings();
    };
    steps.updateFullScreen = [] {
        if (TSettings* settings = TSettings::GetInstance())
            settings->UpdateFullScreen();
    };
    steps.quitToMainMenu = [] {
        if (TSettings* settings = TSettings::GetInstance()) {
            settings->LogQuitScore();
            settings->QuitToMainMenu();
        }
    };
    SetMusicVolumeHook(&AdjustMusicVolume);
}
