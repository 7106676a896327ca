#pragma once
// The game's sound front: effects, music, spoken lines and background lines, each in its own
// sound group, with a cache of loaded sounds and the three completion trackers. A line with
// no voice file (or with voice off) is timed from its text.

#include "core/text/str.h"
#include "game/script/class_info.h"

#include <map>
#include <memory>

class TSound;
class TSoundInstance;
class tVoxCompletion;

constexpr int kGroupSFX = 1000;
constexpr int kGroupMusic = 1001;
constexpr int kGroupVox = 1002;
constexpr int kGroupBGVox = 1003;

// What the front needs of the player's settings; the settings object installs them.
struct tSFXSettings
{
    float (*talkSpeed)() = nullptr;        // 0 full reading time ... 1 thirty per cent of it
    bool (*voiceEnabled)() = nullptr;      // null: voice on
    void (*bgVoxVolume)(float) = nullptr;  // the background-line volume
};

// Scripts reach the one front through "sfx"; they cannot make another (no factory).
class tSFXManager : public baseObj
{
public:
    static tClassInfo civ;
    static void LuaAdd(dfLua& lua);

    tSFXManager() { mClassInfo = &civ; }
    // The global "sfx".
    void AddInstanceToLua(dfLua& lua);

    void SetSettings(const tSFXSettings& settings) { mSettings = settings; }

    std::shared_ptr<TSoundInstance> Play(const str& name, bool loop, int group);
    void PlaySFX(const str& name, bool loop);
    void PlayMusic(const str& name, bool loop);
    // Keeps a playback of the same music going.
    void SetMusic(const str& name, bool loop);
    void PlayVox(const str& name, const str& text);
    void PlayBGVox(const str& name, const str& text);
    void KillSFX();
    void KillMusic();
    void KillVox();
    void KillBGVox();
    void KillAll();
    void PauseAllSounds();
    void UnpauseAllSounds();
    // Forgets the cached Speex lines (Vorbis ones stay).
    void DumpVox();
    void AdjustBGVoxVolume(float volume);

    bool IsMusicMostlyDone() const;
    bool IsMusicQuiteDone() const;
    bool IsVoxMostlyDone() const;
    bool IsVoxQuiteDone() const;
    bool IsBGVoxMostlyDone() const;
    bool IsBGVoxQuiteDone() const;

    // Seconds a line takes to read, from its words and punctuation and the talk speed.
    float ComputeSpeechDelay(const str& text) const;
    const str& GetCurrentMusic() const { return mMusic; }
    bool IsCached(const str& name) const { return mCache.count(name) != 0; }

    static bool FileExists(const str& path);

private:
    void StartMusic(const str& name, bool loop);
    void SpeakLine(const str& name, const str& text, bool background);

    std::map<str, std::shared_ptr<TSound>> mCache;
    str mMusic;
    tSFXSettings mSettings;
};

extern tSFXManager g_SFXManager;
