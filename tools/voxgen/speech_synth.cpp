#include "tools/voxgen/speech_synth.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// Removes the scratch folder however the speaking ends.
struct ScratchFolder
{
    std::string path;
    ~ScratchFolder()
    {
        std::error_code ec;
        if (!path.empty())
            std::filesystem::remove_all(path, ec);
    }
};

}  // namespace

bool SpeakLine(const TVoiceDescription& line, TWavSound* out, std::string* error)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "voxgen-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        *error = "cannot make a scratch folder";
        return false;
    }
    ScratchFolder scratch{pattern};
    const std::string textPath = scratch.path + "/line.txt";
    const std::string wavPath = scratch.path + "/line.wav";
    {
        std::ofstream text(textPath, std::ios::binary);
        text << line.text << '\n';
        if (!text) {
            *error = "cannot write the line's text";
            return false;
        }
    }
    const std::string speed = std::to_string(line.speed);
    const std::string pitch = std::to_string(line.pitch);
    std::vector<std::string> args = {"espeak-ng", "-v", line.voice, "-s", speed,   "-p",
                                     pitch,       "-w", wavPath,    "-f", textPath};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "espeak-ng", nullptr, nullptr, argv.data(), environ) != 0) {
        *error = "cannot run espeak-ng (is it installed?)";
        return false;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            *error = "lost espeak-ng";
            return false;
        }
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        *error = "espeak-ng failed for voice \"" + line.voice + "\"";
        return false;
    }
    std::ifstream wav(wavPath, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(wav)), std::istreambuf_iterator<char>());
    if (!ParseWav(bytes, out, error))
        return false;
    if (out->samples.empty()) {
        *error = "espeak-ng wrote no sound";
        return false;
    }
    RaiseToFullVoice(&out->samples);
    return true;
}

void RaiseToFullVoice(std::vector<int16_t>* samples)
{
    // The synthesiser speaks well below full scale; the game's sounds are mixed at one level,
    // so a line must be as strong as the music and effects it plays over. A little headroom is
    // left for the encoders.
    constexpr double kPeak = 0.9 * 32767;
    int peak = 0;
    for (int16_t s : *samples)
        peak = std::max(peak, std::abs(int(s)));
    if (peak == 0)
        return;
    const double gain = kPeak / peak;
    for (int16_t& s : *samples)
        s = int16_t(std::lround(s * gain));
}
