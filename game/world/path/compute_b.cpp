#include <algorithm>
#include <functional>

#include "game/world/mesh/mesh.h"
#include "game/world/path/path_search.h"

namespace {
// A cost at or above this is never expanded.
constexpr float kNoCost = 2147483648.0f;
} // namespace

void ComputeB::Initialize(const tMesh& mesh, const tVector2<float>& start, const tVector2<float>& target, bool scan)
{
    const auto& walknodes = mesh.Walknodes();
    mesh.VisibleWalknodes(start, &mStartVisible, scan);
    mesh.VisibleWalknodes(target, &mTargetVisible, scan);
    mNodes.assign(walknodes.size() + 2, tNode());
    mSeesTarget.assign(mNodes.size(), 0);
    for (int n : mTargetVisible)
        mSeesTarget[size_t(n)] = 1;
    const float h0 = tVector2<float>::Distance(start, target);
    mNodes[0] = tNode{0, -1, -1, start, h0, 0, h0, &mStartVisible};
    mNodes[1] = tNode{1, -1, -2, target, 0, 0, 0, &mTargetVisible};
    for (const auto& [vertex, node] : walknodes) {
        const tVector2<float> p = mesh.GetVertex(vertex);
        mNodes[size_t(node.number)] =
            tNode{node.number, -1, vertex, p, 0, 0, tVector2<float>::Distance(p, target), &node.links};
    }
    mOpen.assign(mNodes.size(), 0);
    mClosed.assign(mNodes.size(), 0);
    mOpenHeap.clear();
    mOpen[0] = 1;
    if (h0 < kNoCost)
        mOpenHeap.push_back({h0, 0});
    mCurrent = -1;
}

// The open node of least f, the lowest number among equals; -1 when none can be taken.
int ComputeB::TakeBest()
{
    while (!mOpenHeap.empty()) {
        std::pop_heap(mOpenHeap.begin(), mOpenHeap.end(), std::greater<>());
        const tOpenEntry entry = mOpenHeap.back();
        mOpenHeap.pop_back();
        // Entries left behind by a cheaper update, or by a node already taken.
        if (!mOpen[size_t(entry.number)] || mNodes[size_t(entry.number)].f != entry.f)
            continue;
        return entry.number;
    }
    return -1;
}

bool ComputeB::Process()
{
    for (;;) {
        const int best = TakeBest();
        if (best < 0)
            return false;
        mOpen[size_t(best)] = 0;
        mClosed[size_t(best)] = 1;
        if (best == 1)
            break;
        mCurrent = best;
        mCurrentPosition = mNodes[size_t(best)].position;
        for (int n : *mNodes[size_t(best)].links)
            ConsiderAdding(n);
        if (mSeesTarget[size_t(best)])
            ConsiderAdding(1);
    }
    int n = 1;
    while (mNodes[size_t(n)].parent != 0)
        n = mNodes[size_t(n)].parent;
    mFirstWaypoint = mNodes[size_t(n)].position;
    return true;
}

void ComputeB::ConsiderAdding(int n)
{
    if (n < 0 || size_t(n) >= mNodes.size() || mClosed[size_t(n)])
        return;
    tNode& node = mNodes[size_t(n)];
    const float g = tVector2<float>::Distance(node.position, mCurrentPosition) + mNodes[size_t(mCurrent)].g;
    if (mOpen[size_t(n)] && !(node.g > g))
        return;
    node.g = g;
    node.f = g + node.h;
    node.parent = mCurrent;
    mOpen[size_t(n)] = 1;
    if (node.f < kNoCost) {
        mOpenHeap.push_back({node.f, n});
        std::push_heap(mOpenHeap.begin(), mOpenHeap.end(), std::greater<>());
    }
}

void ComputeB::AppendRoute(std::vector<tVector2<float>>* path) const
{
    int n = 1;
    while (mNodes[size_t(n)].parent != 0) {
        path->push_back(mNodes[size_t(n)].position);
        n = mNodes[size_t(n)].parent;
    }
    path->push_back(mNodes[size_t(n)].position);
}
