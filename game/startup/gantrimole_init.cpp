#include "game/startup/gantrimole_init.h"

#include "core/config/config.h"
#include "core/crypto/cheat_code.h"
#include "core/text/str.h"
#include "sound/sources/speex_data_source.h"

const char* const ENCRYPTION_KEY = "Rw4TnQ8vLpXe";

const char* const kMedalIds[12] = {
    "tessivander_chapterone",
    "tessivander_chaptertwo",
    "tessivander_chapterthree",
    "tessivander_chapterfour",
    "tessivander_sorvelbuttoncollector",
    "tessivander_rubybuttoncollector",
    "tessivander_topazbuttoncollector",
    "tessivander_mastercollector",
    "tessivander_frequentflyer",
    "tessivander_bigwinner",
    "tessivander_ambassadorship",
    "tessivander_fini",
};

void GantrimoleInit()
{
    // Before the key is stored, so that a cheat code on the command line can be judged.
    InstallCheatDecoder();

    TConfig::SetConfig(TConfig::kGameName, "tessivander");
    TConfig::SetConfig(TConfig::kUTF8Mode, "1");
    TConfig::SetConfig(TConfig::kEncryptionKey, ENCRYPTION_KEY);
    TConfig::SetConfig(TConfig::kZvGameHandle, "tessivander");
    TConfig::SetConfig(str::getFormatted("%s%d", TConfig::kZvGameModeName, 1), "story_mode");
    for (int i = 0; i < 12; ++i)
        TConfig::SetConfig(str::getFormatted("%s%d", TConfig::kZvGameMedalName, i + 1), kMedalIds[i]);

    TSpeex::Register();
}
