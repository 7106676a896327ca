#include "tools/meshtool/mesh_dump.h"

#include <cstdarg>
#include <cstdio>
#include <map>
#include <vector>

#include "game/world/datafile/dfile.h"
#include "game/world/mesh/mesh.h"

namespace {

bool EndsWith(const std::string& s, const std::string& end)
{
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

std::string Line(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Line(const char* format, ...)
{
    char buffer[64];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

void DumpVertices(const tMesh& mesh, std::string* text)
{
    std::vector<std::vector<std::string>> names(mesh.Vertices().size());
    for (const auto& [name, index] : mesh.VertLabels())
        names[size_t(index)].push_back(name.c_str());
    for (size_t i = 0; i < mesh.Vertices().size(); ++i) {
        const auto& v = mesh.Vertices()[i];
        *text += Line("vertex %d %d", int(v.x), int(v.y));
        for (const auto& name : names[i])
            *text += " " + name;
        *text += "\n";
    }
}

void DumpTriangles(const tMesh& mesh, uint32_t version, std::string* text)
{
    *text += Line("version %u\n", version);
    for (const tPoly& poly : mesh.Polys()) {
        *text += Line("tri @%d @%d @%d", poly.points[0], poly.points[1], poly.points[2]);
        if (const auto label = mesh.LookupPolyLabelByIndex(int(&poly - mesh.Polys().data())))
            *text += std::string(" label=") + label->c_str();
        else if (poly.labelIndex >= 0)
            *text += Line(" # label index %d is not in the list", poly.labelIndex);
        if (version == 2 && poly.depthValue != 65535)
            *text += Line(" depth=%d", poly.depthValue);
        *text += "\n";
    }
}

}  // namespace

bool DumpMeshFile(const std::string& path, std::string* text)
{
    tMesh mesh;
    const bool isMesh = EndsWith(path, ".dmesh");
    const std::string vertPath = isMesh ? path.substr(0, path.size() - 6) + ".dverts" : path;
    if (mesh.LoadVertlist(str(("::" + vertPath).c_str())) != 0)
        return false;
    if (!isMesh) {
        text->clear();
        DumpVertices(mesh, text);
        return true;
    }
    if (mesh.LoadPolylist(str(("::" + path).c_str())) != 0)
        return false;
    DFileTFile header;
    header.Open(str(("::" + path).c_str()), 1);
    header.Get32HL();
    header.Get32HL();
    text->clear();
    DumpTriangles(mesh, header.Get32LH(), text);
    return true;
}
