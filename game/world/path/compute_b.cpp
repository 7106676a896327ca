#include <algorithm>
#include <functional>

#include "game/world/mesh/mesh.h"
#include "game/world/path/path_search.h"

namespace {
// A cost at or above this is never expanded.
constexpr float kNoCost = 2147483648.0f;
}  // namespace

void ComputeB::Initialize(const tMesh& mesh, const tVector2<float>& start, const tVector2<float>& target)
{
    ClearNodes(mesh, mesh.Walknodes().size() + 2);
    // The walk nodes' straight lines to the target hold for every search towards it.
    if (!mHasTarget || target != mTarget) {
        mHasTarget = true;
        mTarget = target;
        if (++mTargetStamp == 0) {
            std::fill(mHStamp.begin(), mHStamp.end(), 0);
            mTargetStamp = 1;
        }
    }
    // Nodes 0 and 1 are nobody's walk node: the start and the target do not see them.
    mStartSees.assign(mNodes.size(), -1);
    mSeesTarget.assign(mNodes.size(), -1);
    mStartSees[0] = mStartSees[1] = mSeesTarget[0] = mSeesTarget[1] = 0;
    for (auto [point, known] : {std::pair(start, &mStartSees), std::pair(target, &mSeesTarget)}) {
        const std::vector<int8_t>& kept = mesh.KnownWalknodeAnswers(point);
        std::copy(kept.begin(), kept.end(), known->begin() + 2);
    }
    mStartWalknode = mesh.WalknodeAt(start);
    const float h0 = tVector2<float>::Distance(start, target);
    mNodes[0] = tNode{0, -1, start, h0, 0, h0};
    mNodes[1] = tNode{1, -1, target, 0, 0, 0};
    for (size_t n : {0, 1}) {
        mStamp[n] = mSearch;
        mClosed[n] = 0;
        mRival[n] = 0;
        mUnseen[n] = tUnseen();
    }
    mOpen[0] = kOpen;
    mOpen[1] = kNotOpen;
    mOpenHeap.clear();
    mReserve.clear();
    mReserveAbove = kNoCost;
    Push(0, h0);
    mCurrent = -1;
}

void ComputeB::ClearNodes(const tMesh& mesh, size_t count)
{
    // A node is new to a search until Touch gives it this search's stamp.
    mTouched.clear();
    if (mMesh == &mesh && mGeneration == mesh.Generation() && mNodes.size() == count) {
        if (++mSearch == 0) {
            std::fill(mStamp.begin(), mStamp.end(), 0);
            mSearch = 1;
        }
        return;
    }
    mMesh = &mesh;
    mGeneration = mesh.Generation();
    mNodes.assign(count, tNode());
    const std::vector<tVector2<float>>& positions = mesh.WalknodePositions();
    for (size_t i = 0; i < positions.size(); ++i)
        mNodes[i + 2] = tNode{int(i + 2), -1, positions[i], 0, 0, 0};
    mLinks.assign(count, tLinks());
    for (const auto& [vertex, walknode] : mesh.Walknodes())
        mLinks[size_t(walknode.number)] = {walknode.links.data(), walknode.distances.data(), walknode.links.size()};
    mUnseen.assign(count, tUnseen());
    mOpen.assign(count, kNotOpen);
    mClosed.assign(count, 0);
    mRival.assign(count, 0);
    mFirstStep.assign(count, -1);
    mStamp.assign(count, 0);
    mHStamp.assign(count, 0);
    mSearch = 1;
    mHasTarget = false;
}

float ComputeB::H(size_t n)
{
    if (mHStamp[n] != mTargetStamp) {
        mHStamp[n] = mTargetStamp;
        mNodes[n].h = tVector2<float>::Distance(mNodes[n].position, mNodes[1].position);
    }
    return mNodes[n].h;
}

float ComputeB::StartCost(size_t n) const
{
    return tVector2<float>::Distance(mNodes[n].position, mNodes[0].position) + mNodes[0].g;
}

void ComputeB::TouchNew(size_t n)
{
    mStamp[n] = mSearch;
    mTouched.push_back(int(n));
    tNode& node = mNodes[n];
    const float h = H(n);
    mClosed[n] = 0;
    mRival[n] = 0;
    // Walk nodes are touched only once the start is expanded: one the start sees, or may
    // see, is then open at its distance from the start.
    if (mStartSees[n] != 0) {
        node.g = StartCost(n);
        node.f = node.g + h;
        node.parent = 0;
        mOpen[n] = mStartSees[n] > 0 ? kOpen : kIfSeen;
        mFirstStep[n] = int(n);
        // Only a node the start may see has a state should the start not see it.
        if (mOpen[n] == kIfSeen)
            mUnseen[n] = tUnseen();
    } else {
        node.g = node.f = 0;
        node.parent = -1;
        mOpen[n] = kNotOpen;
    }
}

bool ComputeB::Sees(std::vector<int8_t>* known, const tVector2<float>& point, int n) const
{
    int8_t& answer = (*known)[size_t(n)];
    if (answer < 0)
        answer = mMesh->SeesWalknode(point, n);
    return answer;
}

inline void ComputeB::Push(int n, float f, bool sift)
{
    if (!(f < kNoCost))
        return;
    if (f > mReserveAbove) {
        mReserve.push_back({f, n});
        return;
    }
    mOpenHeap.push_back({f, n});
    if (sift)
        std::push_heap(mOpenHeap.begin(), mOpenHeap.end(), std::greater<>());
}

// The open node of least f, the lowest number among equals; -1 when none can be taken.
int ComputeB::TakeBest()
{
    for (;;) {
        // Entries in reserve all cost more than mReserveAbove, those in the heap no more.
        while (mOpenHeap.empty() && !mReserve.empty())
            DrawOnReserve();
        if (mOpenHeap.empty())
            return -1;
        std::pop_heap(mOpenHeap.begin(), mOpenHeap.end(), std::greater<>());
        const tOpenEntry entry = mOpenHeap.back();
        mOpenHeap.pop_back();
        const size_t n = size_t(entry.number);
        Touch(n);
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
}

void ComputeB::DrawOnReserve()
{
    // Each draw takes in twice the margin over the straight line of the last.
    const float h0 = mNodes[0].h;
    mReserveMargin *= 2;
    mReserveAbove = h0 + mReserveMargin;
    size_t kept = 0;
    for (const tOpenEntry& entry : mReserve) {
        if (entry.f > mReserveAbove) {
            mReserve[kept++] = entry;
        } else {
            mOpenHeap.push_back(entry);
            std::push_heap(mOpenHeap.begin(), mOpenHeap.end(), std::greater<>());
        }
    }
    mReserve.resize(kept);
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

// Inline: it runs for every link of every node expanded.
inline void ComputeB::Offer(int n, float step)
{
    if (n < 0 || size_t(n) >= mNodes.size())
        return;
    Touch(size_t(n));
    if (mClosed[size_t(n)])
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
    node.g = g;
    node.f = g + node.h;
    node.parent = mCurrent;
    mOpen[size_t(n)] = kOpen;
    mFirstStep[size_t(n)] = mCurrent == 0 ? n : mFirstStep[size_t(mCurrent)];
    if (mSettle)
        Judge(size_t(n));
    Push(n, node.f);
}

bool ComputeB::Process()
{
    return Run(nullptr) == tOutcome::kFound;
}

ComputeB::tOutcome ComputeB::ProcessUntilSettled(const tSettle& settle)
{
    return Run(&settle);
}

ComputeB::tOutcome ComputeB::Run(const tSettle* settle)
{
    mSettle = settle;
    mRivals = 0;
    for (;;) {
        const int best = TakeBest();
        if (best < 0)
            return tOutcome::kNoRoute;
        mOpen[size_t(best)] = kNotOpen;
        mClosed[size_t(best)] = 1;
        mRivals -= mRival[size_t(best)];
        mRival[size_t(best)] = 0;
        if (best == 1)
            break;
        mCurrent = best;
        mCurrentPosition = mNodes[size_t(best)].position;
        if (best == 0) {
            ExpandStart();
        } else {
            const tLinks& links = mLinks[size_t(best)];
            for (size_t i = 0; i < links.count; ++i)
                Offer(links.numbers[i], links.distances[i]);
            if (Sees(&mSeesTarget, mNodes[1].position, best))
                ConsiderAdding(1);
        }
        // Whatever is expanded from now on is reached through the open nodes, so the way to
        // the target is too.
        if (mSettle && mRivals == 0)
            return tOutcome::kSettled;
    }
    int n = 1;
    while (mNodes[size_t(n)].parent != 0)
        n = mNodes[size_t(n)].parent;
    mFirstWaypoint = mNodes[size_t(n)].position;
    return tOutcome::kFound;
}

void ComputeB::Judge(size_t n)
{
    const float known = (*mSettle->shortest)[n];
    const bool rival = mFirstStep[n] != mSettle->first &&
                       !(mNodes[n].g + (known >= 0 ? known : mNodes[n].h) > mSettle->bound);
    mRivals += int(rival) - mRival[n];
    mRival[n] = rival;
}

// The start is taken first, when every walk node is new: each one the start sees, or may see,
// is open at its distance from the start. They are many and most are never taken, so only
// their entries are made here; Touch gives a node its state when the search comes to it.
void ComputeB::ExpandStart()
{
    // Routes are seldom much longer than the straight line: entries beyond that wait in
    // reserve until the search gets so far.
    mReserveMargin = mNodes[0].h / 16 + 1;
    mReserveAbove = mNodes[0].h + mReserveMargin;
    mReserve.clear();
    auto open = [&](size_t n) {
        if (mStartSees[n] == 0)
            return;
        // Stopping early follows the nodes' first steps, which a node the start may not see
        // does not have yet.
        if (mStartSees[n] < 0)
            mSettle = nullptr;
        if (mSettle) {
            Touch(n);
            Judge(n);
        }
        Push(int(n), StartCost(n) + H(n), false);
    };
    // A start on a walk node sees its links and perhaps itself, and nothing else.
    if (mStartWalknode >= 0) {
        const tLinks& links = mLinks[size_t(mStartWalknode)];
        for (size_t i = 0; i < links.count; ++i)
            open(size_t(links.numbers[i]));
        open(size_t(mStartWalknode));
    } else {
        for (size_t n = 2; n < mNodes.size(); ++n)
            open(n);
    }
    // The entries of the start's expansion, all at once.
    std::make_heap(mOpenHeap.begin(), mOpenHeap.end(), std::greater<>());
}

void ComputeB::ConsiderAdding(int n)
{
    // Offers come from the node being expanded; before the first there is none.
    if (mCurrent >= 0 && n >= 0 && size_t(n) < mNodes.size())
        Offer(n, tVector2<float>::Distance(mNodes[size_t(n)].position, mCurrentPosition));
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
