#include "engine/engine_sound_link.h"

#include "core/script/game_state.h"
#include "sound/manager/sound.h"
#include "sound/manager/sound_manager.h"
#include "sound/sources/ogg_data_source.h"

TSoundManager* TEngineSoundLink::CreateManager()
{
    return new TSoundManager();
}
void TEngineSoundLink::DestroyManager(TSoundManager* manager)
{
    delete manager;
}
bool TEngineSoundLink::Init(TSoundManager* manager)
{
    return manager->Init();
}
void TEngineSoundLink::AppActivate(TSoundManager* manager, bool active)
{
    manager->AppActivate(active);
}
void TEngineSoundLink::HandleNotifications(TSoundManager* manager)
{
    manager->HandleNotifications();
}
void TEngineSoundLink::RegisterDataSources()
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
