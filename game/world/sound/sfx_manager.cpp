#include "game/world/sound/sfx_manager.h"

#include "core/debug/debug_log.h"
#include "core/files/file.h"
#include "game/world/sound/vox_completion.h"
#include "sound/manager/sound.h"
#include "sound/manager/sound_instance.h"
#include "sound/manager/sound_manager.h"

tSFXManager g_SFXManager;

namespace {

// Watches the instance with the tracker; false when there is none to watch.
bool Arm(tVoxCompletion& tracker, const std::shared_ptr<TSoundInstance>& instance)
{
    if (!instance)
        return false;
    const std::shared_ptr<TSound> sound = instance->GetSound();
    tracker.Watch(instance);
    // No next sound: naming the instance's own sound would chain it to itself, and every
    // line would play twice.
    instance->SetCompleteAction(&tracker, nullptr);
    tracker.SetDelay(sound ? sound->GetSoundLength() : 0.0f);
    // A sound that ended before the tracker was attached never reports its end.
    if (!instance->IsPlaying())
        tracker.WaiveCallback();
    return true;
}

void KillGroup(int group)
{
    if (TSoundManager* manager = TSoundManager::GetInstance())
        manager->KillAllSounds(group);
}

}  // namespace

bool tSFXManager::FileExists(const str& path)
{
    TFile file;
    return file.Open(path, kFileRead);
}

std::shared_ptr<TSoundInstance> tSFXManager::Play(const str& name, bool loop, int group)
{
    WriteDbg("tSFXManager::Play(%s, %d, %d)", name.c_str(), int(loop), group);
    std::shared_ptr<TSound> sound;
    auto it = mCache.find(name);
    if (it != mCache.end())
        sound = it->second;
    else if ((sound = TSound::Get(name, true, group)))
        mCache[name] = sound;
    std::shared_ptr<TSoundInstance> instance = sound ? sound->Play(loop) : nullptr;
    if (!instance)
        WriteDbg("tSFXManager::Play()::Couldn't get %s", name.c_str());
    return instance;
}

void tSFXManager::PlaySFX(const str& name, bool loop)
{
    WriteDbg("PlaySFX(%s)", name.c_str());
    Play(name, loop, kGroupSFX);
}

void tSFXManager::PlayMusic(const str& name, bool loop)
{
    WriteDbg("PlayMusic(%s, %d)", name.c_str(), int(loop));
    StartMusic(name, loop);
}

void tSFXManager::SetMusic(const str& name, bool loop)
{
    WriteDbg("SetMusic(%s, %d)", name.c_str(), int(loop));
    if (name == mMusic) {
        WriteDbg("SetMusic(%s) ALREADY SET", name.c_str());
        return;
    }
    StartMusic(name, loop);
}

void tSFXManager::StartMusic(const str& name, bool loop)
{
    KillMusic();
    gMusicComplete.Reset();
    mMusic = name;
    if (!Arm(gMusicComplete, Play(name, loop, kGroupMusic))) {
        gMusicComplete.WaiveCallback();
        gMusicComplete.SetDelay(2.0f);
    }
}

void tSFXManager::PlayVox(const str& name, const str& text)
{
    SpeakLine(name, text, false);
}

void tSFXManager::PlayBGVox(const str& name, const str& text)
{
    SpeakLine(name, text, true);
}

void tSFXManager::SpeakLine(const str& name, const str& text, bool background)
{
    tVoxCompletion& tracker = background ? gBGVoxComplete : gVoxComplete;
    if (background)
        KillBGVox();
    else
        KillVox();
    tracker.Reset();
    const str base = str("audio/vox/") + name;
    str path;
    if (!mSettings.voiceEnabled || mSettings.voiceEnabled()) {
        if (FileExists(base + ".ogg"))
            path = base + ".ogg";
        else if (FileExists(base + ".spx"))
            path = base + ".spx";
    }
    if (!path.empty()) {
        if (background)
            WriteDbg("PlayBGVox(%s)", path.c_str());
        else
            WriteDbg("PlayVox(%s [%s])", path.c_str(), text.c_str());
        // A file that will not play is timed from the text like a missing one, or the
        // tracker would never complete and the speaker would wait for ever.
        if (Arm(tracker, Play(path, false, background ? kGroupBGVox : kGroupVox)))
            return;
    }
    if (background)
        WriteDbg("PlayBGVox(%s) No BGVox file", base.c_str());
    else
        WriteDbg("PlayVox(%s:%s) No Vox file", base.c_str(), text.c_str());
    tracker.WaiveCallback();
    tracker.SetDelay(ComputeSpeechDelay(text));
}

void tSFXManager::KillSFX()
{
    KillGroup(kGroupSFX);
}

void tSFXManager::KillMusic()
{
    KillGroup(kGroupMusic);
    mMusic = str();
}

void tSFXManager::KillVox()
{
    WriteDbg("KillVox");
    KillGroup(kGroupVox);
}

void tSFXManager::KillBGVox()
{
    KillGroup(kGroupBGVox);
}

void tSFXManager::KillAll()
{
    KillMusic();
    KillSFX();
    KillVox();
    KillBGVox();
}

void tSFXManager::PauseAllSounds()
{
    WriteDbg("PauseAllSounds()");
    if (TSoundManager* manager = TSoundManager::GetInstance())
        manager->PauseAllSounds(true, -1);
}

void tSFXManager::UnpauseAllSounds()
{
    WriteDbg("UnpauseAllSounds()");
    if (TSoundManager* manager = TSoundManager::GetInstance())
        manager->PauseAllSounds(false, -1);
}

void tSFXManager::DumpVox()
{
    for (auto it = mCache.begin(); it != mCache.end();) {
        if (it->first.find(str("spx")) != str::npos) {
            WriteDbg("DUMPVOX[%s]", it->first.c_str());
            it = mCache.erase(it);
        } else {
            ++it;
        }
    }
}

void tSFXManager::AdjustBGVoxVolume(float volume)
{
    if (mSettings.bgVoxVolume)
        mSettings.bgVoxVolume(volume);
}

bool tSFXManager::IsMusicMostlyDone() const
{
    return gMusicComplete.IsMostlyComplete();
}
bool tSFXManager::IsMusicQuiteDone() const
{
    return gMusicComplete.IsQuiteComplete();
}
bool tSFXManager::IsVoxMostlyDone() const
{
    return gVoxComplete.IsMostlyComplete();
}
bool tSFXManager::IsVoxQuiteDone() const
{
    return gVoxComplete.IsQuiteComplete();
}
bool tSFXManager::IsBGVoxMostlyDone() const
{
    return gBGVoxComplete.IsMostlyComplete();
}
bool tSFXManager::IsBGVoxQuiteDone() const
{
    return gBGVoxComplete.IsQuiteComplete();
}

float tSFXManager::ComputeSpeechDelay(const str& text) const
{
    int words = 0, marks = 0;
    bool inWord = false;
    for (const char* p = text.c_str(); *p; ++p) {
        const char c = *p;
        if (c == '!' || c == ',' || c == '.' || c == '?') {
            ++marks;
            inWord = false;
        } else if (c == ' ') {
            inWord = false;
        } else if (!inWord) {
            ++words;
            inWord = true;
        }
    }
    const float delay = 3.0f + 0.2f * float(words) + 0.4f * float(marks);
    const float s = mSettings.talkSpeed ? mSettings.talkSpeed() : 0.0f;
    return delay + (0.3f * delay - delay) * s;
}
