// bench_path: the game's walk-node search against Detour on rooms of about 100, 500 and 2,000
// triangles, over the same fixed start/target pairs. Reports per query: our first leg
// (visibility sets, A*, first waypoint), our whole route as an actor walks it (searching again
// at each waypoint), Detour's nearest polygons + findPath + findStraightPath; the mean route
// lengths over the pairs both found; and our load time (the graph is built by the load).
//   bench_path [pairs]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bench_meshes.h"
#include "core/files/file.h"
#include "detour_peer.h"
#include "game/world/mesh/mesh.h"
#include "game/world/path/path_search.h"
#include "tools/meshtool/mesh_writer.h"

namespace {

using V = tVector2<float>;
using Clock = std::chrono::steady_clock;

// Best of three runs of `body`, in microseconds per call of `count`.
double BestMicros(int count, const std::function<void()>& body)
{
    double best = 1e300;
    for (int run = 0; run < 3; ++run) {
        const auto t0 = Clock::now();
        body();
        best = std::min(best, std::chrono::duration<double, std::micro>(Clock::now() - t0).count() / count);
    }
    return best;
}

double Length(const std::vector<V>& route)
{
    double length = 0;
    for (size_t i = 1; i < route.size(); ++i)
        length += V::Distance(route[i - 1], route[i]);
    return length;
}

void RunSize(int triangles, int pairs)
{
    const TMeshSource source = MakeBenchRoom(triangles, 7);
    static std::vector<std::vector<unsigned char>> files;
    files.push_back(EncodeVertFile(source));
    files.push_back(EncodeMeshFile(source));
    const std::string base = "bench" + std::to_string(triangles);
    TFile::AddMemoryFile(str((base + ".dverts").c_str()), files[files.size() - 2].data(),
                         unsigned(files[files.size() - 2].size()));
    TFile::AddMemoryFile(str((base + ".dmesh").c_str()), files.back().data(), unsigned(files.back().size()));

    tMesh mesh;
    const int loads = 5;
    const double loadMicros = BestMicros(loads, [&] {
        for (int i = 0; i < loads; ++i)
            if (mesh.LoadVertlist(str((base + ".dverts").c_str())) || mesh.LoadPolylist(str((base + ".dmesh").c_str())))
                std::abort();
    });

    TDetourPeer detour;
    if (!detour.Build(source)) {
        std::printf("Detour refused the %d-triangle mesh\n", triangles);
        return;
    }

    std::mt19937 random(1234);
    std::uniform_real_distribution<float> x(0, 2000), y(0, 2000);
    std::vector<std::pair<V, V>> queries;
    std::vector<V> points;
    while (int(points.size()) < 2 * pairs) {
        const V p(x(random), y(random));
        if (mesh.PolyCollide(p) >= 0)
            points.push_back(p);
    }
    for (int i = 0; i < pairs; ++i)
        queries.emplace_back(points[size_t(2 * i)], points[size_t(2 * i + 1)]);

    V next;
    const double firstLeg = BestMicros(pairs, [&] {
        for (const auto& [from, to] : queries)
            ComputePathToTargetB(mesh, from, to, 0, &next);
    });
    std::vector<std::vector<V>> ours(queries.size()), theirs(queries.size());
    std::vector<char> ourFound(queries.size()), theirFound(queries.size());
    const double whole = BestMicros(pairs, [&] {
        for (size_t i = 0; i < queries.size(); ++i)
            ourFound[i] = WalkRoute(mesh, queries[i].first, queries[i].second, &ours[i]);
    });
    const double peer = BestMicros(pairs, [&] {
        for (size_t i = 0; i < queries.size(); ++i)
            theirFound[i] = detour.Route(queries[i].first, queries[i].second, &theirs[i]);
    });

    double ourLength = 0, theirLength = 0;
    int both = 0, longer = 0, ourMisses = 0, theirMisses = 0;
    for (size_t i = 0; i < queries.size(); ++i) {
        ourMisses += !ourFound[i];
        theirMisses += !theirFound[i];
        if (!ourFound[i] || !theirFound[i])
            continue;
        ++both;
        const double a = Length(ours[i]), b = Length(theirs[i]);
        ourLength += a, theirLength += b;
        longer += a > b + 0.01;
    }
    std::printf("%5zu triangles, %4zu walk nodes | load+graph %8.2f ms | ours: first leg %8.2f us, whole route "
                "%8.2f us | Detour %7.2f us | mean length ours %8.2f, Detour %8.2f | ours longer %d of %d | no "
                "route: ours %d, Detour %d\n",
                mesh.Polys().size(), mesh.Walknodes().size(), loadMicros / 1000, firstLeg, whole, peer,
                both ? ourLength / both : 0.0, both ? theirLength / both : 0.0, longer, both, ourMisses, theirMisses);
}

}  // namespace

int main(int argc, char** argv)
{
    const int pairs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    std::printf("bench_path: %d start/target pairs per mesh, times per query (best of three runs)\n", pairs);
    for (int triangles : {100, 500, 2000})
        RunSize(triangles, pairs);
    return 0;
}
