#pragma once
// The engine's configuration table: string keys to string values, filled by the game's start-up
// before the platform exists and read everywhere afterwards. Main thread only.
//   TConfig::SetConfig(TConfig::kUTF8Mode, "1");
//   if (TConfig::IsEnabled(TConfig::kVerboseDebug)) ...
//   str name = TConfig::GetConfig(TConfig::kGameName, "game");

#include "core/text/str.h"

#include <map>

class TConfig
{
public:
    // Turns a cheat code into the computer id it was made for, using the encryption key.
    // Installed by the encryption component; without one, "cheatmode" is never changed.
    using CheatDecoder = str (*)(const str& key, const str& code);

    static const char* kGameName;                  // "gamename"
    static const char* kGameVersion;               // "version"
    static const char* kUTF8Mode;                  // "utf8mode"
    static const char* kEncryptionKey;             // "encryptionkey"
    static const char* kZvGameHandle;              // "zvgamehandle"
    static const char* kZvGameModeName;            // "zvgamemodename"
    static const char* kZvGameMedalName;           // "zvgamemedalname"
    static const char* kComputerId;                // "computerid"
    static const char* kCheatMode;                 // "cheatmode"
    static const char* kOrlanvue;                  // "orlanvue"
    static const char* kInstallKey;                // "installkey"
    static const char* kDownloadURL;               // "downloadurl"
    static const char* kVerboseDebug;              // "verbosedebug"
    static const char* kOverlayWindowMouseEvents;  // "overlaymouse"
    static const char* kAutoMergeMask;             // "automergemask"
    static const char* kTextGraphicSpriteRender;   // "textspriterender"
    static const char* kAdjustAnimatedParticles;   // "animatedparticles"
    static const char* kSpriteAlwaysTestChildren;  // "hittestchildren"
    static const char* kHiscoreAnonymous;          // "hiscoreanon"
    static const char* kHiscoreLocalOnly;          // "hiscorelocal"
    static const char* kKeepOGGUncompressed;       // "keepogguncompressed"

    // The stored value (an empty stored value counts), else def. Never inserts.
    static str GetConfig(const str& key, const str& def);
    // Stores the value, then: "encryptionkey"/"cheatcode" re-evaluate "cheatmode";
    // "legacylinewrap" turns legacy line wrapping on whatever the value.
    static void SetConfig(const str& key, const str& value);
    // GetConfig(key, "").to_int() != 0.
    static bool IsEnabled(const str& key);
    // Empties the table (the platform does this when it shuts down).
    static void Clear();

    static void SetCheatDecoder(CheatDecoder decoder);

    // Read by the text renderer: set once any "legacylinewrap" entry is stored.
    static bool LegacyLineWrap() { return sLegacyLineWrap; }
    static void SetLegacyLineWrap(bool on) { sLegacyLineWrap = on; }

    static const std::map<str, str>& Entries() { return mConfigMap; }

private:
    static void UpdateCheatMode();

    static std::map<str, str> mConfigMap;
    static CheatDecoder sCheatDecoder;
    static bool sLegacyLineWrap;
};
