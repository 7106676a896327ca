#include "tools/meshtool/mesh_writer.h"

#include <cstdint>

#include "core/files/replace_file.h"

namespace {

class TBytes
{
public:
    void U16(uint32_t v) { mBytes.push_back(uint8_t(v)), mBytes.push_back(uint8_t(v >> 8)); }
    void U32(uint32_t v) { U16(v & 0xFFFF), U16(v >> 16); }
    void BE32(uint32_t v)
    {
        for (int shift = 24; shift >= 0; shift -= 8)
            mBytes.push_back(uint8_t(v >> shift));
    }
    void Pstring(const std::string& s)
    {
        U16(uint32_t(s.size()));
        mBytes.insert(mBytes.end(), s.begin(), s.end());
    }
    std::vector<unsigned char> mBytes;
};

}  // namespace

std::vector<unsigned char> EncodeVertFile(const TMeshSource& mesh)
{
    TBytes b;
    b.BE32(0x56455254);
    b.BE32(0x44424600);
    b.U32(1);
    b.U32(uint32_t(mesh.vertices.size()));
    for (const auto& v : mesh.vertices)
        b.U16(uint16_t(v.x)), b.U16(uint16_t(v.y));
    b.U32(uint32_t(mesh.vertexLabels.size()));
    for (const auto& [name, index] : mesh.vertexLabels) {
        b.U32(uint32_t(index));
        b.Pstring(name);
    }
    return b.mBytes;
}

std::vector<unsigned char> EncodeMeshFile(const TMeshSource& mesh)
{
    TBytes b;
    b.BE32(0x4D455348);
    b.BE32(0x44424600);
    b.U32(uint32_t(mesh.version));
    b.U32(uint32_t(mesh.triangles.size()));
    for (const auto& t : mesh.triangles) {
        for (int p : t.points)
            b.U16(uint32_t(p));
        b.U16(uint16_t(int16_t(t.label)));
        if (mesh.version == 2)
            b.U16(uint16_t(t.depth));
    }
    b.U32(uint32_t(mesh.labels.size()));
    // Each label is preceded by a polygon number below the count: its first user.
    for (size_t label = 0; label < mesh.labels.size(); ++label) {
        uint32_t user = 0;
        while (user < mesh.triangles.size() && mesh.triangles[user].label != int(label))
            ++user;
        b.U32(user < mesh.triangles.size() ? user : 0);  // a label nobody uses: any polygon
        b.Pstring(mesh.labels[label]);
    }
    return b.mBytes;
}

bool WriteMeshFiles(const TMeshSource& mesh, const std::string& outBase, std::string* error)
{
    for (const char* ext : {".dverts", ".dmesh"}) {
        const std::string path = outBase + ext;
        const auto bytes = std::string(ext) == ".dverts" ? EncodeVertFile(mesh) : EncodeMeshFile(mesh);
        if (!ReplaceDiskFile(str(path.c_str()), bytes.data(), bytes.size())) {
            *error = "cannot write " + path;
            return false;
        }
    }
    return true;
}
