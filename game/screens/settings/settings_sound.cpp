// The current profile's sound: group volumes, the mute switch and the scaled groups.

#include "core/script/game_state.h"
#include "game/screens/settings/settings.h"
#include "game/world/sound/sfx_manager.h"
#include "sound/manager/sound_manager.h"

namespace {

constexpr int kGroupNone = 0;

// The last factors given; negative until one is.
float gBGVoxFactor = -1.0f;
float gMusicFactor = -1.0f;

float Level(const TSettings& settings, const char* key)
{
    return float(settings.GetUserInt(key, TSettings::kDefaultLevel)) / 1000.0f;
}

void SetGroup(int group, float volume)
{
    if (TSoundManager* sound = TSoundManager::GetInstance())
        sound->SetTypeVolume(group, volume);
}

void SetMaster(float volume)
{
    if (TSoundManager* sound = TSoundManager::GetInstance())
        sound->SetVolume(volume);
}

}  // namespace

void TSettings::SetSoundForCurrentUser()
{
    const float effects = Level(*this, "soundlevel");
    SetGroup(kGroupSFX, effects);
    SetGroup(kGroupNone, effects);
    SetGroup(kGroupVox, Level(*this, "voxlevel"));
    SetGroup(kGroupMusic, Level(*this, "musiclevel"));
    AdjustBGVoxVolume(-1.0f);
    SetMaster(GetUserInt("soundoff", 0) != 0 ? 0.0f : 1.0f);
}

void TSettings::ToggleSoundMute()
{
    const int muted = (GetUserInt("soundoff", 0) + 1) % 2;
    TGameState* state = TGameState::GetInstance();
    if (state)
        state->SetState(TGameState::kMute, muted);
    SetInt("soundoff", muted, GetCurrentUser());
    const bool silent = state ? state->QueryMuteGame() : muted != 0;
    SetMaster(silent ? 0.0f : 1.0f);
}

void ResetSoundFactors()
{
    gBGVoxFactor = -1.0f;
    gMusicFactor = -1.0f;
}

void AdjustBGVoxVolume(float factor)
{
    if (!gSettings)
        return;
    if (factor >= 0.0f) {
        if (factor == gBGVoxFactor)
            return;
        gBGVoxFactor = factor;
    } else {
        if (gBGVoxFactor < 0.0f)
            gBGVoxFactor = 1.0f;
        factor = gBGVoxFactor;
    }
    SetGroup(kGroupBGVox, Level(*gSettings, "voxlevel") * factor);
}

void AdjustMusicVolume(float factor)
{
    if (factor == gMusicFactor)
        return;
    gMusicFactor = factor;
    if (gSettings)
        SetGroup(kGroupMusic, Level(*gSettings, "musiclevel") * factor);
}
