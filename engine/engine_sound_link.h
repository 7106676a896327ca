#pragma once
// The platform's sound link over the sound manager.

#include "core/platform/sound_link.h"

class TEngineSoundLink : public TSoundLink
{
public:
    TSoundManager* CreateManager() override;
    void DestroyManager(TSoundManager* manager) override;
    bool Init(TSoundManager* manager) override;
    void AppActivate(TSoundManager* manager, bool active) override;
    void HandleNotifications(TSoundManager* manager) override;
    void RegisterDataSources() override;
};

// Lets the game-state table's "mute" key reach the sound manager's master volume.
void InstallSoundMasterVolume();
