// animpack: packs frame images into one sheet and writes its animation descriptions.
//   animpack -o <folder> -n <name> [-d <ms per frame>] [-r <x>,<y>] [-s <script.lua>] frame1.png ...
// Writes <name>.png (the sheet, at most 1024 on a side), <name>.xml, <name>.anm and <name>.lua.

#include "tools/animpack/anim_pack.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: animpack -o <folder> -n <name> [-d <ms>] [-r <x>,<y>] [-s <script.lua>] "
                         "frame.png...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string folder, scriptFile;
    TPackOptions options;
    std::vector<std::string> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "-o" && hasValue) {
            folder = argv[++i];
        } else if (arg == "-n" && hasValue) {
            options.name = argv[++i];
        } else if (arg == "-d" && hasValue) {
            options.delayMs = std::atoi(argv[++i]);
        } else if (arg == "-r" && hasValue) {
            if (std::sscanf(argv[++i], "%d,%d", &options.regX, &options.regY) != 2)
                return Usage();
            options.hasRegistration = true;
        } else if (arg == "-s" && hasValue) {
            scriptFile = argv[++i];
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage();
        } else {
            inputs.push_back(arg);
        }
    }
    if (options.name.empty() || inputs.empty() || options.delayMs < 0)
        return Usage();

    std::string error;
    if (!scriptFile.empty()) {
        std::ifstream in(scriptFile, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "animpack: cannot read %s\n", scriptFile.c_str());
            return 1;
        }
        std::ostringstream text;
        text << in.rdbuf();
        options.script = text.str();
    }
    std::vector<TPackFrame> frames(inputs.size());
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
