#pragma once
// Walk meshes for tests, written in the mesh tool's text form and served as memory files.

#include <gtest/gtest.h>

#include <deque>
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

// Serves base.dverts and base.dmesh made from `text`.
inline void ServeMesh(const std::string& base, const std::string& text)
{
    const TMeshSource source = ParseSource(text);
    ServeBytes(base + ".dverts", EncodeVertFile(source));
    ServeBytes(base + ".dmesh", EncodeMeshFile(source));
}

// A loaded mesh from `text`; the test fails when it does not load.
inline tMesh LoadMesh(const std::string& text)
{
    static int serial = 0;
    const std::string base = "fixture" + std::to_string(++serial);
    ServeMesh(base, text);
    tMesh mesh;
    EXPECT_EQ(mesh.LoadVertlist(str((base + ".dverts").c_str())), 0);
    EXPECT_EQ(mesh.LoadPolylist(str((base + ".dmesh").c_str())), 0);
    return mesh;
}

// A 300 x 100 room with a wall from the bottom up to y = 70 at x 140..160: walking from one
// side to the other goes over the top of the wall, through (140, 70) and (160, 70).
inline const char* kUMesh = R"(
poly 0,0 300,0 300,100 160,100 160,30 140,30 140,100 0,100
)";
