#include "core/crypto/cheat_code.h"

#include "core/config/config.h"
#include "core/crypto/encrypt.h"

str DecodeCheatCode(const str& key, const str& code)
{
    return TEncrypt(key).DecryptStr(code);
}

void InstallCheatDecoder()
{
    TConfig::SetCheatDecoder(&DecodeCheatCode);
}
