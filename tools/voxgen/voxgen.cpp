// voxgen: speaks a voice line's description (see voice_description.h) and writes it as Ogg
// Vorbis (output ending in ".ogg") or Ogg Speex with a "WAVESIZE:" header (".spx").
//   voxgen line.vox audio/vox/mira_hello.ogg
// Exit codes: 0 written, 1 bad description, failed synthesiser or unwritable output, 2 usage.

#include "core/files/replace_file.h"
#include "tools/description/description_reader.h"
#include "tools/soundgen/vorbis_writer.h"
#include "tools/voxgen/speech_synth.h"
#include "tools/voxgen/speex_writer.h"

#include <cstdio>
#include <string>

namespace {

bool EndsWith(const std::string& s, const char* tail)
{
    const std::string t(tail);
    return s.size() > t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

int Fail(const std::string& message)
{
    std::fprintf(stderr, "voxgen: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string output = argc == 3 ? argv[2] : "";
    if (argc != 3 || !(EndsWith(output, ".ogg") || EndsWith(output, ".spx"))) {
        std::fprintf(stderr, "usage: voxgen description.vox output.ogg|output.spx\n");
        return 2;
    }
    std::string text, error;
    TVoiceDescription line;
    if (!ReadTextFile(argv[1], &text, &error) || !ParseVoiceDescription(argv[1], text, &line, &error))
        return Fail(error);
    TWavSound sound;
    if (!SpeakLine(line, &sound, &error))
        return Fail(error);
    if (EndsWith(output, ".ogg")) {
        if (!WriteOggVorbis(output, sound.samples, sound.channels, sound.rate, 0.3f, &error))
            return Fail(error);
        return 0;
    }
    std::vector<int16_t> mono = sound.samples;
    if (sound.channels == 2) {
        mono.resize(sound.samples.size() / 2);
        for (size_t i = 0; i < mono.size(); ++i)
            mono[i] = int16_t((int(sound.samples[2 * i]) + int(sound.samples[2 * i + 1])) / 2);
    }
    const std::vector<unsigned char> bytes = EncodeOggSpeex(mono, sound.rate);
    if (!ReplaceDiskFile(output.c_str(), bytes.data(), bytes.size()))
        return Fail("cannot write " + output);
    return 0;
}
