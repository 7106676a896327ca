#pragma once
// Cheat codes are the computer id enciphered with the game's key, as Base64 text, so a
// code works on one computer only.

#include "core/text/str.h"

// TEncrypt(key).DecryptStr(code): the computer id the code was made for.
str DecodeCheatCode(const str& key, const str& code);

// Lets the configuration judge "cheatcode" against "computerid"; the start-up calls this
// once, before the configuration receives the key or a code.
void InstallCheatDecoder();
