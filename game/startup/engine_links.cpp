#include "game/startup/engine_links.h"

#include "game/startup/sound_manager_link.h"

void InstallEngineLinks()
{
    static TSoundManagerLink sound;
    SetSoundLink(&sound);
    InstallSoundMasterVolume();
}
