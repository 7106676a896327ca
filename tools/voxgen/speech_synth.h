#pragma once
// Speaks a line with the speech synthesiser (the program "espeak-ng", found on PATH) into
// 16-bit PCM. The text goes through a file, never a shell.

#include "tools/voxgen/voice_description.h"
#include "tools/voxgen/wav_reader.h"

#include <string>

// False with a reason in *error when the synthesiser is missing, fails or writes no sound.
bool SpeakLine(const TVoiceDescription& line, TWavSound* out, std::string* error);
