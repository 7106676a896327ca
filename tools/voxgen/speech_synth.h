#pragma once
// Speaks a line with the speech synthesiser (the program "espeak-ng", found on PATH) into
// 16-bit PCM. The text goes through a file, never a shell.

#include "tools/voxgen/voice_description.h"
#include "tools/voxgen/wav_reader.h"

#include <cstdint>
#include <string>
#include <vector>

// False with a reason in *error when the synthesiser is missing, fails or writes no sound.
bool SpeakLine(const TVoiceDescription& line, TWavSound* out, std::string* error);

// Scales a spoken line so that its loudest sample lies just under full scale.
void RaiseToFullVoice(std::vector<int16_t>* samples);
