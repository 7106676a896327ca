#include "game/world/path/path_search.h"

#include <algorithm>
#include <set>

#include "game/world/mesh/mesh.h"

bool OLD_SCHOOL = false;
std::vector<tVector2<float>> gPath;
tVector2<float> gTarget;

bool ComputePathToTarget(const tMesh& mesh, const tVector2<float>& position, const tVector2<float>& finalTarget,
                         uint32_t flags, tVector2<float>* immediateTarget)
{
    if (OLD_SCHOOL)
        return ComputePathToTargetA(mesh, position, finalTarget, flags, immediateTarget);
    return ComputePathToTargetB(mesh, position, finalTarget, flags, immediateTarget);
}

bool ComputePathToTargetB(const tMesh& mesh, const tVector2<float>& position, const tVector2<float>& finalTarget,
                          uint32_t flags, tVector2<float>* immediateTarget)
{
    gPath.clear();
    gTarget = finalTarget;
    *immediateTarget = finalTarget;
    // A walker on a walk node (at a waypoint) may have been seen from the target already: the
    // way is open both ways or neither.
    const int walknode = mesh.WalknodeAt(position);
    const bool onWalknode = walknode >= 0;
    if ((flags & AFLAG_IGNORE_GROUND_MESH) || (onWalknode ? mesh.SeesWalknode(finalTarget, walknode)
                                                          : mesh.IsValidTravel(position, finalTarget))) {
        gPath = {finalTarget, position};
        return true;
    }
    // A walker that has reached a waypoint of the last route found asks again from there: the
    // rest of that route is a shortest one from the waypoint, so the search stops once no other
    // way can be as short.
    static tKeptRoute kept;
    // Kept between calls for its storage, like gPath.
    static ComputeB search;
    search.Initialize(mesh, position, finalTarget);
    ComputeB::tSettle settle;
    const ComputeB::tOutcome outcome =
        onWalknode && kept.Settle(mesh, walknode, finalTarget, &settle)
            ? search.ProcessUntilSettled(settle)
            : (search.Process() ? ComputeB::tOutcome::kFound : ComputeB::tOutcome::kNoRoute);
    if (outcome == ComputeB::tOutcome::kSettled) {
        kept.GoOn(immediateTarget);
        return true;
    }
    if (outcome == ComputeB::tOutcome::kFound) {
        search.AppendRoute(&gPath);
        *immediateTarget = search.FirstWaypoint();
        kept.Keep(mesh, search);
    }
    gPath.push_back(position);
    return outcome == ComputeB::tOutcome::kFound;
}

bool tKeptRoute::Settle(const tMesh& mesh, int number, const tVector2<float>& target, ComputeB::tSettle* settle)
{
    if (mMesh != &mesh || mGeneration != mesh.Generation() || mPoints.empty() || mPoints.front() != target)
        return false;
    const tVector2<float>& position = mesh.WalknodePositions()[size_t(number - 2)];
    const auto at = std::find(mPoints.begin() + 1, mPoints.end(), position);
    if (at == mPoints.end() || at - mPoints.begin() < 2)
        return false;
    mHere = size_t(at - mPoints.begin());
    // Far beyond the rounding of a route's sum, far below any difference between real ways.
    settle->first = mNumbers[mHere - 1];
    settle->bound = mToGo[mHere] + 1e-4f * (1 + mToGo[mHere]);
    settle->shortest = &mShortest;
    // The step on must be one the search takes from here, at a cost it expands.
    return settle->bound < 1e9f && mesh.Walknodes().at(mesh.WalknodeVertex(number)).Sees(settle->first);
}

void tKeptRoute::GoOn(tVector2<float>* immediateTarget) const
{
    gPath.assign(mPoints.begin(), mPoints.begin() + long(mHere));
    *immediateTarget = gPath.back();
    gPath.push_back(mPoints[mHere]);
}

void tKeptRoute::Keep(const tMesh& mesh, const ComputeB& search)
{
    mMesh = &mesh;
    mGeneration = mesh.Generation();
    mNumbers.clear();
    search.AppendRouteNodes(&mNumbers);
    const float total = search.Node(1).g;
    mPoints.clear();
    mToGo.clear();
    for (int n : mNumbers) {
        mPoints.push_back(search.Node(n).position);
        mToGo.push_back(total - search.Node(n).g);
    }
    // A node's straight line to the target, or what the search found: a way from the start
    // through the node is no shorter than the route.
    mShortest.assign(search.NodeCount(), -1);
    for (int n : search.Touched()) {
        const ComputeB::tNode& node = search.Node(n);
        if (search.Reached(n))
            mShortest[size_t(n)] = std::max(node.h, total - node.g);
    }
}

float ComputeH(const tMesh& mesh, int poly, const tVector2<float>& point)
{
    return tVector2<float>::Distance(mesh.Polys()[size_t(poly)].centre, point);
}

float ComputeG(const tMesh& mesh, int polyA, int polyB)
{
    return tVector2<float>::Distance(mesh.Polys()[size_t(polyA)].centre, mesh.Polys()[size_t(polyB)].centre);
}

bool ComputePathToTargetA(const tMesh& mesh, const tVector2<float>& position, const tVector2<float>& finalTarget,
                          uint32_t flags, tVector2<float>* immediateTarget)
{
    gTarget = finalTarget;
    gPath = {finalTarget, position};
    *immediateTarget = finalTarget;
    const int startPoly = mesh.PolyCollide(position);
    const int targetPoly = mesh.PolyCollide(finalTarget);
    if (flags & AFLAG_IGNORE_GROUND_MESH)
        return true;
    if (startPoly < 0 || targetPoly < 0)
        return false;
    if (startPoly == targetPoly || !mesh.TestEdgeIntersections(position, finalTarget))
        return true;

    struct tNode
    {
        int parent = -1;
        float f = 0, g = 0, h = 0;
    };
    const auto& polys = mesh.Polys();
    std::vector<tNode> nodes(polys.size());
    std::set<int> open{startPoly}, closed;
    nodes[size_t(startPoly)].h = ComputeH(mesh, startPoly, finalTarget);
    nodes[size_t(startPoly)].f = nodes[size_t(startPoly)].h;
    bool reached = false;
    while (!open.empty()) {
        int current = -1;
        float best = 2147483648.0f;
        for (int n : open)
            if (nodes[size_t(n)].f < best)
                best = nodes[size_t(n)].f, current = n;
        if (current < 0)
            break;
        open.erase(current);
        closed.insert(current);
        if (current == targetPoly) {
            reached = true;
            break;
        }
        for (int next : polys[size_t(current)].adjacency) {
            if (next < 0)
                break;
            if (closed.count(next))
                continue;
            const float g = ComputeG(mesh, next, current) + nodes[size_t(current)].g;
            tNode& node = nodes[size_t(next)];
            if (!open.count(next)) {
                open.insert(next);
                node.h = ComputeH(mesh, next, finalTarget);
            } else if (!(node.g > g)) {
                continue;
            }
            node.g = g;
            node.f = g + node.h;
            node.parent = current;
        }
    }
    if (!reached)
        return true;

    gPath = {finalTarget};
    int second = targetPoly;
    while (nodes[size_t(second)].parent != startPoly) {
        gPath.push_back(polys[size_t(second)].centre);
        second = nodes[size_t(second)].parent;
    }
    int first = -1, other = -1;
    tVector2<float> waypoint = polys[size_t(second)].centre;
    if (polys[size_t(startPoly)].GetAdjacencyEdgeToPoly(polys[size_t(second)], &first, &other)) {
        const tVector2<float> mid = (mesh.GetVertex(first) + mesh.GetVertex(other)) / 2.0f;
        waypoint = mid + (polys[size_t(second)].centre - mid) * 0.01f;
    }
    *immediateTarget = waypoint;
    gPath.push_back(waypoint);
    gPath.push_back(position);
    return true;
}

bool WalkRoute(const tMesh& mesh, const tVector2<float>& from, const tVector2<float>& to,
               std::vector<tVector2<float>>* route)
{
    route->assign(1, from);
    tVector2<float> position = from;
    // Every leg ends on a different walk node, so more legs than nodes means a loop.
    const size_t limit = mesh.Walknodes().size() + 2;
    for (size_t leg = 0; leg < limit; ++leg) {
        tVector2<float> next;
        if (!ComputePathToTargetB(mesh, position, to, 0, &next) || next == position)
            return false;
        route->push_back(next);
        if (next == to)
            return true;
        position = next;
    }
    return false;
}
