// The ".dverts" and ".dmesh" readers. Every record is checked for a short read, and nothing is
// sized from a count in the file before its data has arrived.

#include <cstdint>

#include "game/script/df_log.h"
#include "game/world/datafile/dfile.h"
#include "game/world/mesh/mesh.h"

namespace {

constexpr uint32_t kVertMagic = 0x56455254;    // "VERT"
constexpr uint32_t kMeshMagic = 0x4D455348;    // "MESH"
constexpr uint32_t kSecondMagic = 0x44424600;  // "DBF\0"

int Corrupt(const str& path)
{
    LOGIT("File [%s] was corrupt\n", path.c_str());
    return 1;
}

int RanOut(const str& path)
{
    LOGIT("Ran out of data in %s\n", path.c_str());
    return 1;
}

// Before a record: the end of the data reached, or a short read somewhere earlier.
bool OutOfData(DFileBase& f)
{
    return f.ReadFailed() || f.AtEnd();
}

// The two magic words and a version the caller accepts: -1 when good, else 1 (a header cut
// short is as damaged as a wrong one).
int CheckHeader(DFileBase& f, const str& path, uint32_t magic, bool (*versionOk)(uint32_t), uint32_t* version)
{
    const uint32_t first = f.Get32HL();
    const uint32_t second = f.Get32HL();
    *version = f.Get32LH();
    if (!f.ReadFailed() && first == magic && second == kSecondMagic && versionOk(*version))
        return -1;
    return Corrupt(path);
}

// The label list closing both files: a count, then per label a number below `limit` and a
// counted string given to `add`. 0 when read whole.
template <class Add>
int ReadLabels(DFileBase& f, const str& path, uint32_t limit, Add&& add)
{
    if (OutOfData(f))
        return RanOut(path);
    const uint32_t labels = f.Get32LH();
    for (uint32_t i = 0; i < labels; ++i) {
        if (OutOfData(f))
            return RanOut(path);
        const uint32_t index = f.Get32LH();
        const str label = f.GetPstring();
        if (f.ReadFailed())
            return RanOut(path);
        if (index >= limit) {
            LOGIT("Bad label index %x\n", index);
            return 1;
        }
        add(index, label);
    }
    return f.ReadFailed() ? RanOut(path) : 0;
}

}  // namespace

int tMesh::LoadVertlist(const str& path)
{
    m_Vertlist.clear();
    mVertLabels.clear();
    // Polygons index the vertex list they were loaded over.
    ClearPolygons();
    auto fail = [this](int result) {
        m_Vertlist.clear();
        mVertLabels.clear();
        return result;
    };
    DFileTFile f;
    if (!f.Open(path, 1))
        return 1;
    uint32_t version;
    if (const int bad = CheckHeader(
            f, path, kVertMagic, [](uint32_t v) { return v == 1; }, &version);
        bad >= 0)
        return fail(bad);
    const uint32_t count = f.Get32LH();
    for (uint32_t i = 0; i < count; ++i) {
        const auto x = int16_t(f.Get16LH());
        const auto y = int16_t(f.Get16LH());
        if (f.ReadFailed())
            return fail(RanOut(path));
        m_Vertlist.emplace_back(float(x), float(y));
    }
    // A later label of the same name replaces the earlier one.
    auto add = [this](uint32_t index, const str& label) { mVertLabels[label] = int(index); };
    if (const int bad = ReadLabels(f, path, count, add))
        return fail(bad);
    return 0;
}

int tMesh::LoadPolylist(const str& path)
{
    ClearPolygons();
    auto fail = [this](int result) {
        ClearPolygons();
        return result;
    };
    DFileTFile f;
    if (!f.Open(path, 1))
        return 1;
    uint32_t version;
    if (const int bad = CheckHeader(
            f, path, kMeshMagic, [](uint32_t v) { return v == 1 || v == 2; }, &version);
        bad >= 0)
        return fail(bad);
    const uint32_t count = f.Get32LH();
    for (uint32_t i = 0; i < count; ++i) {
        tPoly poly;
        poly.Wipe();
        for (int& point : poly.points)
            point = int(f.Get16LH());
        poly.labelIndex = int(int16_t(f.Get16LH()));
        poly.depthValue = version == 2 ? int(f.Get16LH()) : -1;
        if (f.ReadFailed())
            return fail(RanOut(path));
        for (int point : poly.points)
            if (!IsValidVertIndex(point))
                return fail(Corrupt(path));
        mPolys.push_back(poly);
    }
    // The number in front of a polygon label is only checked.
    auto add = [this](uint32_t, const str& label) { mPolyLabels.push_back(label); };
    if (const int bad = ReadLabels(f, path, count, add))
        return fail(bad);
    ComputeAdjacencies();
    ComputeCenters();
    ComputeEdges();
    return 0;
}

void tMesh::ClearPolygons()
{
    mPolys.clear();
    mPolyLabels.clear();
    mEdges.clear();
    mWalknodes.clear();
    mWalknodeVertices.clear();
    mWalknodePositions.clear();
    mWalknodeAt.clear();
    mIndex.Clear();
    Changed();
}

void tMesh::Dump()
{
    m_Vertlist.clear();
    mVertLabels.clear();
    ClearPolygons();
    name = str();
}
