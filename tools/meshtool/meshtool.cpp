// meshtool: walk meshes for the game.
//   meshtool build SOURCE OUTBASE          text (see mesh_source.h) to OUTBASE.dverts/.dmesh
//   meshtool dump FILE                     a .dverts, or a .dmesh with its .dverts, as text
//   meshtool path BASE X1 Y1 X2 Y2         the route an actor walks, and its length
// Exit codes: 0 done (also "no route"), 1 bad input or files that do not load, 2 usage.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/description/description_reader.h"
#include "tools/meshtool/mesh_dump.h"
#include "tools/meshtool/mesh_source.h"
#include "tools/meshtool/mesh_writer.h"
#include "tools/meshtool/route_report.h"

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: meshtool build SOURCE OUTBASE | dump FILE | path BASE X1 Y1 X2 Y2\n");
    return 2;
}

int Build(const std::string& source, const std::string& outBase)
{
    std::string text, error;
    if (!ReadTextFile(source, &text, &error)) {
        std::fprintf(stderr, "meshtool: %s\n", error.c_str());
        return 1;
    }
    TMeshSource mesh;
    if (!ParseMeshSource(source, text, &mesh, &error) || !WriteMeshFiles(mesh, outBase, &error)) {
        std::fprintf(stderr, "meshtool: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

bool ParseFloat(const char* text, float* out)
{
    char* end = nullptr;
    *out = std::strtof(text, &end);
    return *text && !*end;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    const std::string command = argv[1];
    if (command == "build" && argc == 4)
        return Build(argv[2], argv[3]);
    if (command == "dump" && argc == 3) {
        std::string text;
        if (!DumpMeshFile(argv[2], &text)) {
            std::fprintf(stderr, "meshtool: %s does not load\n", argv[2]);
            return 1;
        }
        std::fputs(text.c_str(), stdout);
        return 0;
    }
    if (command == "path" && argc == 7) {
        float v[4];
        for (int i = 0; i < 4; ++i)
            if (!ParseFloat(argv[3 + i], &v[i]))
                return Usage();
        std::string text;
        if (!ReportRoute(argv[2], v[0], v[1], v[2], v[3], &text)) {
            std::fprintf(stderr, "meshtool: %s.dverts and .dmesh do not load\n", argv[2]);
            return 1;
        }
        std::fputs(text.c_str(), stdout);
        return 0;
    }
    return Usage();
}
