#pragma once
// Walk meshes for tests, written in the mesh tool's text form and served as memory files.

#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <string>
#include <vector>

#include "core/files/file.h"
#include "game/world/mesh/mesh.h"
#include "tools/meshtool/mesh_source.h"
#include "tools/meshtool/mesh_writer.h"

// Serves `bytes` under the logical `name` until the test program ends.
inline void ServeBytes(const std::string& name, const std::vector<unsigned char>& bytes)
{
    static std::deque<std::vector<unsigned char>> kept;
    kept.push_back(bytes);
    kept.back().reserve(1);  // never a null block, even when empty
    TFile::AddMemoryFile(str(name.c_str()), kept.back().data(), unsigned(kept.back().size()));
}

inline TMeshSource ParseSource(const std::string& text)
{
    TMeshSource source;
    std::string error;
    EXPECT_TRUE(ParseMeshSource("test.mesh", text, &source, &error)) << error;
    return source;
}

// Serves base.dverts and base.dmesh made from `source` (or `text`).
inline void ServeSource(const std::string& base, const TMeshSource& source)
{
    ServeBytes(base + ".dverts", EncodeVertFile(source));
    ServeBytes(base + ".dmesh", EncodeMeshFile(source));
}

inline void ServeMesh(const std::string& base, const std::string& text) { ServeSource(base, ParseSource(text)); }

// A loaded mesh from `source` (or `text`); the test fails when it does not load.
inline tMesh LoadSource(const TMeshSource& source)
{
    static int serial = 0;
    const std::string base = "fixture" + std::to_string(++serial);
    ServeSource(base, source);
    tMesh mesh;
    EXPECT_EQ(mesh.LoadVertlist(str((base + ".dverts").c_str())), 0);
    EXPECT_EQ(mesh.LoadPolylist(str((base + ".dmesh").c_str())), 0);
    return mesh;
}

inline tMesh LoadMesh(const std::string& text) { return LoadSource(ParseSource(text)); }

// A grid of cells jittered by up to `jitter`, each cut into two triangles, some left out; a
// few degenerate triangles and long slivers on top. Without jitter, routes of equal length
// abound.
inline TMeshSource RandomSource(std::mt19937& random, int cells, int jitterBy = 4)
{
    TMeshSource source;
    std::uniform_int_distribution<int> jitter(-jitterBy, jitterBy);
    const int step = 20 + int(random() % 30);
    for (int y = 0; y <= cells; ++y)
        for (int x = 0; x <= cells; ++x)
            source.vertices.push_back({int16_t(x * step + jitter(random)), int16_t(y * step + jitter(random))});
    source.labels = {"door"};
    auto at = [&](int x, int y) { return y * (cells + 1) + x; };
    for (int y = 0; y < cells; ++y) {
        for (int x = 0; x < cells; ++x) {
            if (random() % 6 == 0)
                continue;  // a hole
            const int label = random() % 5 == 0 ? 0 : -1;
            source.triangles.push_back({{at(x, y), at(x + 1, y), at(x + 1, y + 1)}, label, -1});
            source.triangles.push_back({{at(x, y), at(x + 1, y + 1), at(x, y + 1)}, label, -1});
        }
    }
    const int n = int(source.vertices.size());
    for (int i = 0; i < 3; ++i) {
        const int a = int(random() % n), b = int(random() % n);
        source.triangles.push_back({{a, b, a}, -1, -1});  // two equal corners
        source.vertices.push_back({int16_t(random() % 400), int16_t(random() % 400)});
        source.vertices.push_back({int16_t(source.vertices.back().x + 3000), int16_t(source.vertices.back().y + 1)});
        source.triangles.push_back({{n + 2 * i, n + 2 * i + 1, a}, -1, -1});  // a long sliver
    }
    return source;
}
