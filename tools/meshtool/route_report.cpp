#include "tools/meshtool/route_report.h"

#include <cstdio>
#include <vector>

#include "game/world/mesh/mesh.h"
#include "game/world/path/path_search.h"

bool ReportRoute(const std::string& base, float x1, float y1, float x2, float y2, std::string* text)
{
    tMesh mesh;
    if (mesh.LoadVertlist(str(("::" + base + ".dverts").c_str())) != 0 ||
        mesh.LoadPolylist(str(("::" + base + ".dmesh").c_str())) != 0)
        return false;
    std::vector<tVector2<float>> route;
    if (!WalkRoute(mesh, tVector2<float>(x1, y1), tVector2<float>(x2, y2), &route)) {
        *text = "no route\n";
        return true;
    }
    text->clear();
    char line[96];
    double length = 0;
    for (size_t i = 0; i < route.size(); ++i) {
        std::snprintf(line, sizeof line, "%.2f %.2f\n", route[i].x, route[i].y);
        *text += line;
        if (i > 0)
            length += tVector2<float>::Distance(route[i - 1], route[i]);
    }
    std::snprintf(line, sizeof line, "length %.2f\n", length);
    *text += line;
    return true;
}
