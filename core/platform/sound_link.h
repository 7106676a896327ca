#pragma once
// What the platform asks of the sound system. The platform owns the sound manager but is
// built below it, so the engine entry installs the sound system's link; without one the game
// runs silent.

class TSoundManager;

class TSoundLink
{
public:
    virtual ~TSoundLink() = default;

    virtual TSoundManager* CreateManager() { return nullptr; }
    virtual void DestroyManager(TSoundManager*) {}
    virtual bool Init(TSoundManager*) { return false; }
    virtual void AppActivate(TSoundManager*, bool /*active*/) {}
    virtual void HandleNotifications(TSoundManager*) {}
    // Registers the compressed-music data source.
    virtual void RegisterDataSources() {}
};

// Never null: a silent link while none is installed.
TSoundLink& GetSoundLink();
// Installs a link (not owned); null returns to the silent one.
void SetSoundLink(TSoundLink* link);
