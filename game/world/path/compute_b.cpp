#include <algorithm>
#include <functional>

#include "game/world/mesh/mesh.h"
#include "game/world/path/path_search.h"

namespace {
// A cost at or above this is never expanded.
constexpr float kNoCost = 2147483648.0f;
}  // namespace

void ComputeB::Initialize(const tMesh& mesh, const tVector2<float>& start, const tVector2<float>& target, bool scan)
{
    mMesh = &mesh;
    ClearNodes(mesh, mesh.Walknodes().size() + 2);
    // Nodes 0 and 1 are nobody's walk node: the start and the target do not see them.
    mStartSees.assign(mNodes.size(), -1);
    mSeesTarget.assign(mNodes.size(), -1);
    mStartSees[0] = mStartSees[1] = mSeesTarget[0] = mSeesTarget[1] = 0;
    if (!scan) {
        for (auto [point, known] : {std::pair(start, &mStartSees), std::pair(target, &mSeesTarget)}) {
            const std::vector<int8_t>& kept = mesh.KnownWalknodeAnswers(point);
            std::copy(kept.begin(), kept.end(), known->begin() + 2);
        }
    } else {
        std::vector<int> visible;
        for (auto [point, known] : {std::pair(start, &mStartSees), std::pair(target, &mSeesTarget)}) {
            mesh.VisibleWalknodes(point, &visible, true);
            std::fill(known->begin(), known->end(), 0);
            for (int n : visible)
                (*known)[size_t(n)] = 1;
        }
    }
    const float h0 = tVector2<float>::Distance(start, target);
    mNodes[0] = tNode{0, -1, start, h0, 0, h0};
    mNodes[1] = tNode{1, -1, target, 0, 0, 0};
    mOpen[0] = kOpen;
    mOpen[1] = kNotOpen;
    mClosed[0] = mClosed[1] = 0;
    mOpenHeap.clear();
    Push(0, h0);
    mCurrent = -1;
}

void ComputeB::ClearNodes(const tMesh& mesh, size_t count)
{
    // Only the nodes the last search touched differ from new ones, unless the mesh did.
    if (mGeneration == mesh.Generation() && mNodes.size() == count) {
        for (int n : mTouched) {
            const size_t i = size_t(n);
            mNodes[i] = tNode{n, -1, mNodes[i].position, 0, 0, 0};
            mOpen[i] = kNotOpen;
            mClosed[i] = 0;
            mUnseen[i] = tUnseen();
            mHasH[i] = 0;
        }
        mTouched.clear();
        return;
    }
    mGeneration = mesh.Generation();
    mNodes.assign(count, tNode());
    const std::vector<tVector2<float>>& positions = mesh.WalknodePositions();
    for (size_t i = 0; i < positions.size(); ++i)
        mNodes[i + 2] = tNode{int(i + 2), -1, positions[i], 0, 0, 0};
    mUnseen.assign(count, tUnseen());
    mOpen.assign(count, kNotOpen);
    mClosed.assign(count, 0);
    mHasH.assign(count, 0);
    mTouched.clear();
}

void ComputeB::Touch(size_t n)
{
    if (mHasH[n])
        return;
    mHasH[n] = 1;
    mNodes[n].h = tVector2<float>::Distance(mNodes[n].position, mNodes[1].position);
    mTouched.push_back(int(n));
}

bool ComputeB::Sees(std::vector<int8_t>* known, const tVector2<float>& point, int n) const
{
    int8_t& answer = (*known)[size_t(n)];
    if (answer < 0)
        answer = mMesh->SeesWalknode(point, n);
    return answer;
}

void ComputeB::Push(int n, float f)
{
    if (!(f < kNoCost))
        return;
    mOpenHeap.push_back({f, n});
    std::push_heap(mOpenHeap.begin(), mOpenHeap.end(), std::greater<>());
}

// The open node of least f, the lowest number among equals; -1 when none can be taken.
int ComputeB::TakeBest()
{
    while (!mOpenHeap.empty()) {
        std::pop_heap(mOpenHeap.begin(), mOpenHeap.end(), std::greater<>());
        const tOpenEntry entry = mOpenHeap.back();
        mOpenHeap.pop_back();
        const size_t n = size_t(entry.number);
        if (mOpen[n] == kIfSeen) {
            // The start is asked only when one of the answers still holds this entry.
            if (mNodes[n].f != entry.f && !(mUnseen[n].open && mUnseen[n].f == entry.f))
                continue;
            Settle(entry.number);
        }
        // Entries left behind by a cheaper update, or by a node already taken.
        if (mOpen[n] == kNotOpen || mNodes[n].f != entry.f)
            continue;
        return entry.number;
    }
    return -1;
}

void ComputeB::Settle(int n)
{
    tNode& node = mNodes[size_t(n)];
    const tUnseen& unseen = mUnseen[size_t(n)];
    if (Sees(&mStartSees, mNodes[0].position, n)) {
        mOpen[size_t(n)] = kOpen;
    } else if (unseen.open) {
        node.g = unseen.g, node.f = unseen.f, node.parent = unseen.parent;
        mOpen[size_t(n)] = kOpen;
    } else {
        node.g = 0, node.f = 0, node.parent = -1;
        mOpen[size_t(n)] = kNotOpen;
    }
}

bool ComputeB::Process()
{
    for (;;) {
        const int best = TakeBest();
        if (best < 0)
            return false;
        mOpen[size_t(best)] = kNotOpen;
        mClosed[size_t(best)] = 1;
        if (best == 1)
            break;
        mCurrent = best;
        mCurrentPosition = mNodes[size_t(best)].position;
        if (best == 0) {
            ExpandStart();
            continue;
        }
        const tMesh::tWalknode& node = mMesh->Walknodes().at(mMesh->WalknodeVertex(best));
        for (size_t i = 0; i < node.links.size(); ++i)
            Offer(node.links[i], node.distances[i]);
        if (Sees(&mSeesTarget, mNodes[1].position, best))
            ConsiderAdding(1);
    }
    int n = 1;
    while (mNodes[size_t(n)].parent != 0)
        n = mNodes[size_t(n)].parent;
    mFirstWaypoint = mNodes[size_t(n)].position;
    return true;
}

// The start is taken first, when every walk node is new: each one the start sees, or may see,
// is opened at its distance from the start.
void ComputeB::ExpandStart()
{
    for (size_t n = 2; n < mNodes.size(); ++n) {
        if (mStartSees[n] == 0)
            continue;
        Touch(n);
        tNode& node = mNodes[n];
        node.g = tVector2<float>::Distance(node.position, mCurrentPosition) + mNodes[size_t(mCurrent)].g;
        node.f = node.g + node.h;
        node.parent = mCurrent;
        mOpen[n] = mStartSees[n] > 0 ? kOpen : kIfSeen;
        if (node.f < kNoCost)
            mOpenHeap.push_back({node.f, int(n)});
    }
    // The entries of the start's expansion, all at once.
    std::make_heap(mOpenHeap.begin(), mOpenHeap.end(), std::greater<>());
}

void ComputeB::ConsiderAdding(int n)
{
    if (n >= 0 && size_t(n) < mNodes.size())
        Offer(n, tVector2<float>::Distance(mNodes[size_t(n)].position, mCurrentPosition));
}

void ComputeB::Offer(int n, float step)
{
    if (n < 0 || size_t(n) >= mNodes.size() || mClosed[size_t(n)])
        return;
    tNode& node = mNodes[size_t(n)];
    const float g = step + mNodes[size_t(mCurrent)].g;
    if (mOpen[size_t(n)] == kIfSeen) {
        // The offer under each answer, as if it were the known one.
        tUnseen& unseen = mUnseen[size_t(n)];
        const bool seenTakes = node.g > g;
        const bool unseenTakes = !unseen.open || unseen.g > g;
        if (seenTakes)
            node.g = g, node.f = g + node.h, node.parent = mCurrent;
        if (unseenTakes)
            unseen = tUnseen{true, g, g + node.h, mCurrent};
        if (unseen.open && unseen.g == node.g && unseen.parent == node.parent)
            mOpen[size_t(n)] = kOpen;
        if (seenTakes || unseenTakes)
            Push(n, seenTakes ? node.f : unseen.f);
        return;
    }
    if (mOpen[size_t(n)] == kOpen && !(node.g > g))
        return;
    Touch(size_t(n));
    node.g = g;
    node.f = g + node.h;
    node.parent = mCurrent;
    mOpen[size_t(n)] = kOpen;
    Push(n, node.f);
}

void ComputeB::AppendRouteNodes(std::vector<int>* numbers) const
{
    int n = 1;
    while (mNodes[size_t(n)].parent != 0) {
        numbers->push_back(n);
        n = mNodes[size_t(n)].parent;
    }
    numbers->push_back(n);
}

void ComputeB::AppendRoute(std::vector<tVector2<float>>* path) const
{
    std::vector<int> numbers;
    AppendRouteNodes(&numbers);
    for (int n : numbers)
        path->push_back(mNodes[size_t(n)].position);
}
