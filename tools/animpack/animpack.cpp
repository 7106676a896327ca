// animpack: packs frame images into one sheet and writes its animation descriptions.
//   animpack -o <folder> -n <name> [-d <ms per frame>] [-r <x>,<y>] [-s <script.lua>]
//            [-at <x>,<y>] frame1.png ...
// Writes <name>.png (the sheet, at most 1024 on a side), <name>.xml, <name>.anm and <name>.lua.
// "-at" places the frame after it on the screen (an atlas piece drawn at (0, 0) lands there).

#include "tools/animpack/anim_pack.h"
#include "tools/input/bounded_read.h"
#include "tools/input/printable_text.h"
#include "tools/input/whole_number.h"

#include <cstdio>
#include <filesystem>

namespace {

constexpr long kMaxDelayMs = 3600000;
constexpr long kMaxRegistration = 65536;
constexpr size_t kMaxScriptSize = 1 << 20;

int Usage()
{
    std::fprintf(stderr, "usage: animpack -o <folder> -n <name> [-d <ms>] [-r <x>,<y>] [-s <script.lua>] "
                         "[-at <x>,<y>] frame.png...\n");
    return 2;
}

int BadArgument(const char* what, const std::string& text)
{
    std::fprintf(stderr, "animpack: %s '%s'\n", what, PrintableText(text).c_str());
    return 2;
}

bool ParsePoint(const std::string& text, int* x, int* y)
{
    const size_t comma = text.find(',');
    long a = 0, b = 0;
    if (comma == std::string::npos ||
        !ParseWholeNumber(text.substr(0, comma), -kMaxRegistration, kMaxRegistration, &a) ||
        !ParseWholeNumber(text.substr(comma + 1), -kMaxRegistration, kMaxRegistration, &b))
        return false;
    *x = int(a);
    *y = int(b);
    return true;
}

// The name becomes four file names inside the output folder, and nowhere else.
bool IsPlainName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string::npos;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string folder, scriptFile;
    TPackOptions options;
    std::vector<std::string> inputs;
    // Places given with "-at", by input index.
    std::vector<std::pair<size_t, std::pair<int, int>>> places;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "-o" && hasValue) {
            folder = argv[++i];
        } else if (arg == "-n" && hasValue) {
            options.name = argv[++i];
        } else if (arg == "-d" && hasValue) {
            long delay = 0;
            if (!ParseWholeNumber(argv[++i], 0, kMaxDelayMs, &delay))
                return BadArgument("-d takes a delay of 0 to 3600000 ms, not", argv[i]);
            options.delayMs = int(delay);
        } else if (arg == "-r" && hasValue) {
            if (!ParsePoint(argv[++i], &options.regX, &options.regY))
                return BadArgument("-r takes <x>,<y> whole numbers of -65536 to 65536, not", argv[i]);
            options.hasRegistration = true;
        } else if (arg == "-at" && hasValue) {
            int x = 0, y = 0;
            if (!ParsePoint(argv[++i], &x, &y))
                return BadArgument("-at takes <x>,<y> whole numbers of -65536 to 65536, not", argv[i]);
            places.push_back({inputs.size(), {x, y}});
        } else if (arg == "-s" && hasValue) {
            scriptFile = argv[++i];
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage();
        } else {
            inputs.push_back(arg);
        }
    }
    if (options.name.empty() || inputs.empty())
        return Usage();
    if (!places.empty() && places.back().first >= inputs.size())
        return BadArgument("-at names no frame after it:", argv[argc - 1]);
    if (!IsPlainName(options.name))
        return BadArgument("-n takes a file name without folders, not", options.name);

    std::string error;
    if (!scriptFile.empty()) {
        std::vector<char> text;
        if (!ReadBoundedFile(scriptFile, kMaxScriptSize, &text, &error)) {
            std::fprintf(stderr, "animpack: %s\n", error.c_str());
            return 1;
        }
        options.script.assign(text.begin(), text.end());
    }
    std::vector<TPackFrame> frames(inputs.size());
    for (const auto& [index, place] : places) {
        frames[index].placed = true;
        frames[index].placeX = place.first;
        frames[index].placeY = place.second;
    }
    for (size_t i = 0; i < inputs.size(); ++i) {
        frames[i].name = std::filesystem::path(inputs[i]).stem().string();
        if (!ReadPngFrame(inputs[i], &frames[i], &error)) {
            std::fprintf(stderr, "animpack: %s\n", error.c_str());
            return 1;
        }
    }
    TPackedAnimation packed;
    if (!PackAnimation(frames, options, &packed, &error)) {
        std::fprintf(stderr, "animpack: %s\n", error.c_str());
        return 1;
    }
    if (!folder.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        if (folder.back() != '/')
            folder += '/';
    }
    if (!WritePackedAnimation(packed, folder, &error)) {
        std::fprintf(stderr, "animpack: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
