#pragma once
// The text form of a walk mesh, one command per line ("#" starts a comment):
//   version 2                      ".dmesh" version, 1 or 2 (default 2; 1 has no depths)
//   vertex 120 340 spawn walkto    a vertex, with any number of labels
//   tri 0,0 100,0 @3 label=gate depth=40
//   poly 0,0 300,0 300,200 0,200 label=floor depth=10
// Points are "x,y" (rounded to whole numbers, within -32768..32767) or "@n", the n-th vertex
// so far. Equal points are one vertex, so neighbouring triangles share their edge. A polygon
// is cut into triangles; it must be simple, in either winding.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct TMeshSource
{
    struct TTriangle
    {
        int points[3];
        int label = -1;  // into labels
        int depth = -1;  // none: written as 65535 in version 2
    };
    struct TPoint
    {
        int16_t x, y;
    };

    int version = 2;
    std::vector<TPoint> vertices;
    std::map<std::string, int> vertexLabels;  // name to vertex
    std::vector<TTriangle> triangles;
    std::vector<std::string> labels;  // polygon labels in order of first use
};

// False with "name:line: what" in *error.
bool ParseMeshSource(const std::string& sourceName, const std::string& text, TMeshSource* mesh, std::string* error);
