// soundgen: makes an Ogg Vorbis sound from a text description (see sound_description.h).
//   soundgen description.snd output.ogg
// Exit codes: 0 written, 1 bad description or a file that cannot be read or written, 2 usage.

#include "tools/description/description_reader.h"
#include "tools/soundgen/sound_description.h"
#include "tools/soundgen/tone_synth.h"
#include "tools/soundgen/vorbis_writer.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: soundgen description.snd output.ogg\n");
        return 2;
    }
    std::string text, error;
    if (!ReadTextFile(argv[1], &text, &error)) {
        std::fprintf(stderr, "soundgen: %s\n", error.c_str());
        return 1;
    }
    TSoundDescription description;
    if (!ParseSoundDescription(argv[1], text, &description, &error)) {
        std::fprintf(stderr, "soundgen: %s\n", error.c_str());
        return 1;
    }
    const std::vector<int16_t> samples = RenderSound(description);
    if (!WriteOggVorbis(argv[2], samples, description.channels, description.rate,
                        static_cast<float>(description.quality), &error)) {
        std::fprintf(stderr, "soundgen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
