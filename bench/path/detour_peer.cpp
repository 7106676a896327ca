#include "detour_peer.h"

#include <DetourNavMesh.h>
#include <DetourNavMeshBuilder.h>
#include <DetourNavMeshQuery.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

namespace {
constexpr int kMaxPolys = 4096;
constexpr unsigned short kNone = 0xffff;
}  // namespace

struct TDetourPeer::TData
{
    dtNavMesh* mesh = nullptr;
    dtNavMeshQuery* query = nullptr;
    dtQueryFilter filter;
    float origin[2] = {0, 0};
    std::vector<dtPolyRef> polys = std::vector<dtPolyRef>(kMaxPolys);
    std::vector<float> straight = std::vector<float>(kMaxPolys * 3);
};

TDetourPeer::TDetourPeer() : mData(std::make_unique<TData>()) {}

TDetourPeer::~TDetourPeer()
{
    dtFreeNavMeshQuery(mData->query);
    dtFreeNavMesh(mData->mesh);
}

bool TDetourPeer::Build(const TMeshSource& source)
{
    int minX = 0x7fff, minY = 0x7fff, maxX = -0x8000, maxY = -0x8000;
    for (const auto& v : source.vertices)
        minX = std::min<int>(minX, v.x), minY = std::min<int>(minY, v.y), maxX = std::max<int>(maxX, v.x),
        maxY = std::max<int>(maxY, v.y);
    mData->origin[0] = float(minX), mData->origin[1] = float(minY);
    // Detour's world is x, up, z: our y becomes z; one unit per cell.
    std::vector<unsigned short> verts;
    for (const auto& v : source.vertices) {
        verts.push_back((unsigned short)(v.x - minX));
        verts.push_back(0);
        verts.push_back((unsigned short)(v.y - minY));
    }
    const int count = int(source.triangles.size());
    std::vector<unsigned short> polys(size_t(count) * 6, kNone);
    std::map<std::pair<int, int>, std::pair<int, int>> edges;  // edge -> (polygon, side)
    for (int i = 0; i < count; ++i) {
        int p[3] = {source.triangles[size_t(i)].points[0], source.triangles[size_t(i)].points[1],
                    source.triangles[size_t(i)].points[2]};
        // Detour walks its polygons clockwise seen from above.
        const auto& a = source.vertices[size_t(p[0])];
        const auto& b = source.vertices[size_t(p[1])];
        const auto& c = source.vertices[size_t(p[2])];
        if ((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x) > 0)
            std::swap(p[1], p[2]);
        for (int k = 0; k < 3; ++k) {
            polys[size_t(i) * 6 + size_t(k)] = (unsigned short)p[k];
            const std::pair<int, int> key(std::min(p[k], p[(k + 1) % 3]), std::max(p[k], p[(k + 1) % 3]));
            const auto it = edges.find(key);
            if (it == edges.end()) {
                edges[key] = {i, k};
            } else {
                polys[size_t(i) * 6 + 3 + size_t(k)] = (unsigned short)it->second.first;
                polys[size_t(it->second.first) * 6 + 3 + size_t(it->second.second)] = (unsigned short)i;
            }
        }
    }
    std::vector<unsigned short> flags(size_t(count), 1);
    std::vector<unsigned char> areas(size_t(count), 0);
    dtNavMeshCreateParams params;
    std::memset(&params, 0, sizeof params);
    params.verts = verts.data();
    params.vertCount = int(source.vertices.size());
    params.polys = polys.data();
    params.polyFlags = flags.data();
    params.polyAreas = areas.data();
    params.polyCount = count;
    params.nvp = 3;
    params.walkableHeight = 2;
    params.walkableRadius = 0;
    params.walkableClimb = 1;
    params.bmin[0] = 0, params.bmin[1] = 0, params.bmin[2] = 0;
    params.bmax[0] = float(maxX - minX), params.bmax[1] = 1, params.bmax[2] = float(maxY - minY);
    params.cs = 1;
    params.ch = 1;
    params.buildBvTree = true;
    unsigned char* data = nullptr;
    int size = 0;
    if (!dtCreateNavMeshData(&params, &data, &size))
        return false;
    mData->mesh = dtAllocNavMesh();
    if (dtStatusFailed(mData->mesh->init(data, size, DT_TILE_FREE_DATA))) {
        dtFree(data);
        return false;
    }
    mData->query = dtAllocNavMeshQuery();
    return !dtStatusFailed(mData->query->init(mData->mesh, 65535));
}

bool TDetourPeer::Route(const tVector2<float>& from, const tVector2<float>& to, std::vector<tVector2<float>>* route)
{
    const float start[3] = {from.x - mData->origin[0], 0, from.y - mData->origin[1]};
    const float end[3] = {to.x - mData->origin[0], 0, to.y - mData->origin[1]};
    const float extents[3] = {2, 4, 2};
    dtPolyRef startRef = 0, endRef = 0;
    float startPt[3], endPt[3];
    mData->query->findNearestPoly(start, extents, &mData->filter, &startRef, startPt);
    mData->query->findNearestPoly(end, extents, &mData->filter, &endRef, endPt);
    if (!startRef || !endRef)
        return false;
    int count = 0;
    if (dtStatusFailed(mData->query->findPath(startRef, endRef, startPt, endPt, &mData->filter, mData->polys.data(),
                                              &count, kMaxPolys)) ||
        count == 0 || mData->polys[size_t(count - 1)] != endRef)
        return false;
    int points = 0;
    if (dtStatusFailed(mData->query->findStraightPath(startPt, endPt, mData->polys.data(), count,
                                                      mData->straight.data(), nullptr, nullptr, &points, kMaxPolys)))
        return false;
    route->clear();
    for (int i = 0; i < points; ++i)
        route->emplace_back(mData->straight[size_t(i) * 3] + mData->origin[0],
                            mData->straight[size_t(i) * 3 + 2] + mData->origin[1]);
    return true;
}
