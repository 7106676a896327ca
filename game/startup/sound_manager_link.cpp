#include "game/startup/sound_manager_link.h"

#include "core/script/game_state.h"
#include "sound/manager/sound.h"
#include "sound/manager/sound_manager.h"
#include "sound/sources/ogg_data_source.h"

TSoundManager* TSoundManagerLink::CreateManager() { return new TSoundManager(); }
void TSoundManagerLink::DestroyManager(TSoundManager* manager) { delete manager; }
bool TSoundManagerLink::Init(TSoundManager* manager) { return manager->Init(); }
void TSoundManagerLink::AppActivate(TSoundManager* manager, bool active) { manager->AppActivate(active); }
void TSoundManagerLink::HandleNotifications(TSoundManager* manager) { manager->HandleNotifications(); }
void TSoundManagerLink::RegisterDataSources()
{
    TOggDataSource::Register();
    TSound::RegisterAssetLoaders();
}

void InstallSoundMasterVolume()
{
    static const TMasterVolume volume = {
        [] { return TSoundManager::GetInstance() != nullptr; },
        [] { return TSoundManager::GetInstance()->GetVolume(-1); },
        [](float v) { TSoundManager::GetInstance()->SetVolume(v); },
    };
    TGameState::SetMasterVolume(&volume);
}
