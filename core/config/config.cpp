#include "core/config/config.h"

const char* TConfig::kGameName = "gamename";
const char* TConfig::kGameVersion = "version";
const char* TConfig::kUTF8Mode = "utf8mode";
const char* TConfig::kEncryptionKey = "encryptionkey";
const char* TConfig::kZvGameHandle = "zvgamehandle";
const char* TConfig::kZvGameModeName = "zvgamemodename";
const char* TConfig::kZvGameMedalName = "zvgamemedalname";
const char* TConfig::kComputerId = "computerid";
const char* TConfig::kCheatMode = "cheatmode";
const char* TConfig::kOrlanvue = "orlanvue";
const char* TConfig::kInstallKey = "installkey";
const char* TConfig::kDownloadURL = "downloadurl";
const char* TConfig::kVerboseDebug = "verbosedebug";
const char* TConfig::kOverlayWindowMouseEvents = "overlaymouse";
const char* TConfig::kAutoMergeMask = "automergemask";
const char* TConfig::kTextGraphicSpriteRender = "textspriterender";
const char* TConfig::kAdjustAnimatedParticles = "animatedparticles";
const char* TConfig::kSpriteAlwaysTestChildren = "hittestchildren";
const char* TConfig::kHiscoreAnonymous = "hiscoreanon";
const char* TConfig::kHiscoreLocalOnly = "hiscorelocal";
const char* TConfig::kKeepOGGUncompressed = "keepogguncompressed";

std::map<str, str> TConfig::mConfigMap;
TConfig::CheatDecoder TConfig::sCheatDecoder = nullptr;
bool TConfig::sLegacyLineWrap = false;

str TConfig::GetConfig(const str& key, const str& def)
{
    auto it = mConfigMap.find(key);
    return it == mConfigMap.end() ? def : it->second;
}

void TConfig::SetConfig(const str& key, const str& value)
{
    // Copy first: the arguments may refer to entries of the table itself.
    str k(key), v(value);
    mConfigMap[k] = v;
    if (k == kEncryptionKey || k == "cheatcode")
        UpdateCheatMode();
    if (k == "legacylinewrap")
        sLegacyLineWrap = true;
}

bool TConfig::IsEnabled(const str& key)
{
    return GetConfig(key, "").to_int() != 0;
}

void TConfig::Clear()
{
    mConfigMap.clear();
}

void TConfig::SetCheatDecoder(CheatDecoder decoder)
{
    sCheatDecoder = decoder;
}

void TConfig::UpdateCheatMode()
{
    // Reading both creates empty entries where they are missing, as callers have always seen.
    const str code = mConfigMap[str("cheatcode")];
    const str key = mConfigMap[str(kEncryptionKey)];
    if (code.empty() || key.empty() || !sCheatDecoder)
        return;
    const str decoded = sCheatDecoder(key, code);
    const str id = GetConfig(kComputerId, "");
    // A code that decodes to nothing must not match a missing computer id.
    const bool match = !id.empty() && decoded == id;
    mConfigMap[str(kCheatMode)] = match ? "1" : "0";
}
