#pragma once
// Where a walker goes next so that it stays on the ground mesh. The actor calls
//   ComputePathToTarget(scene.Ground(), mPosition, mFinalTarget, mFlags, &mImmediateTarget)
// again whenever it reaches a waypoint or enters another polygon, so each search only has to
// get the first leg right. Nothing here needs an actor.

#include <cstdint>
#include <vector>

#include "game/world/geometry/vector2.h"

class tMesh;

constexpr uint32_t AFLAG_IGNORE_GROUND_MESH = 0x100;

// The older polygon-corridor search instead of the walk-node search; fixed at start-up.
extern bool OLD_SCHOOL;
// The last route found by any walker, for the debug overlay: the final target first and the
// walker's position last.
extern std::vector<tVector2<float>> gPath;
extern tVector2<float> gTarget;

// False when no route was found; the immediate target is then the final target.
bool ComputePathToTarget(const tMesh& mesh, const tVector2<float>& position, const tVector2<float>& finalTarget,
                         uint32_t flags, tVector2<float>* immediateTarget);
bool ComputePathToTargetA(const tMesh& mesh, const tVector2<float>& position, const tVector2<float>& finalTarget,
                          uint32_t flags, tVector2<float>* immediateTarget);
bool ComputePathToTargetB(const tMesh& mesh, const tVector2<float>& position, const tVector2<float>& finalTarget,
                          uint32_t flags, tVector2<float>* immediateTarget);

float ComputeH(const tMesh& mesh, int poly, const tVector2<float>& point);
float ComputeG(const tMesh& mesh, int polyA, int polyB);

// A* over the walk nodes: node 0 is the start, node 1 the target, nodes 2... the mesh's walk
// nodes. Among equal costs the lower node number is expanded first.
// What the start and the target see is asked of the mesh only where the search needs it: a
// node expanded is asked whether it sees the target, and a node the start may see waits in
// the open list under both answers (reached from the start, or as other nodes offer) until it
// is taken or the answers agree. The search so expands what it would with every answer known.
class ComputeB
{
public:
    struct tNode
    {
        int number = 0;
        int parent = -1;
        tVector2<float> position;
        float f = 0, g = 0, h = 0;
    };

    void Initialize(const tMesh& mesh, const tVector2<float>& start, const tVector2<float>& target);
    bool Process();
    void ConsiderAdding(int n);

    // A search from a walk node that a route found before passes on to walk node `first`, with
    // `bound` a little over the rest of that route's length and `shortest` (by node number, or
    // negative: the straight line) no way on to the target being shorter. It stops as soon as
    // every open node that is not reached through `first` is longer on than `bound`: the
    // search would then come to the target through `first`.
    struct tSettle
    {
        int first = -1;
        float bound = 0;
        const std::vector<float>* shortest = nullptr;
    };
    enum class tOutcome
    {
        kNoRoute,
        kFound,
        kSettled
    };
    tOutcome ProcessUntilSettled(const tSettle& settle);

    const tVector2<float>& FirstWaypoint() const { return mFirstWaypoint; }
    // After a successful Process: the route's points, or its node numbers, from the target
    // back to the first waypoint.
    void AppendRoute(std::vector<tVector2<float>>* path) const;
    void AppendRouteNodes(std::vector<int>* numbers) const;
    size_t NodeCount() const { return mNodes.size(); }
    const tNode& Node(int n) const { return mNodes[size_t(n)]; }
    // Whether the node's g is the length of some way from the start to it.
    bool Reached(int n) const { return mClosed[size_t(n)] || mOpen[size_t(n)] == kOpen; }
    // The walk nodes the last search gave a state: those it offered a cost or took (the start's
    // other entries never needed one).
    const std::vector<int>& Touched() const { return mTouched; }

private:
    struct tOpenEntry
    {
        float f;
        int number;
        bool operator>(const tOpenEntry& o) const { return f > o.f || (f == o.f && number > o.number); }
    };
    // A node's state should the start not see it.
    struct tUnseen
    {
        bool open = false;
        float g = 0, f = 0;
        int parent = -1;
    };
    enum : char
    {
        kNotOpen,
        kOpen,
        kIfSeen
    };
    // Makes the nodes new.
    void ClearNodes(const tMesh& mesh, size_t count);
    // Gives node n its state for this search, once.
    void Touch(size_t n)
    {
        if (mStamp[n] != mSearch)
            TouchNew(n);
    }
    void TouchNew(size_t n);
    float H(size_t n);
    float StartCost(size_t n) const;
    tOutcome Run(const tSettle* settle);
    // Counts node n among the rivals of the settle's first step while it is open, cannot be
    // ruled out and is not reached through that step.
    void Judge(size_t n);
    int TakeBest();
    void ExpandStart();
    // `sift` false: the heap is put in order later, all at once.
    void Push(int n, float f, bool sift = true);
    // ConsiderAdding with the distance from the current node known.
    void Offer(int n, float step);
    // Settles a kIfSeen node by asking whether the start sees it.
    void Settle(int n);
    bool Sees(std::vector<int8_t>* known, const tVector2<float>& point, int n) const;

    // The mesh whose graph the nodes hold, as it was at mGeneration.
    const tMesh* mMesh = nullptr;
    uint64_t mGeneration = 0;
    // By number: the walk node's links, held by the mesh.
    struct tLinks
    {
        const int* numbers = nullptr;
        const float* distances = nullptr;
        size_t count = 0;
    };
    std::vector<tLinks> mLinks;
    // A node's state is this search's when its stamp is; its h while its target stamp is.
    std::vector<uint32_t> mStamp, mHStamp;
    uint32_t mSearch = 0, mTargetStamp = 0;
    bool mHasTarget = false;
    tVector2<float> mTarget;
    std::vector<char> mOpen, mClosed, mRival;  // mRival: counted in mRivals
    // The first step of the way each node was reached by.
    std::vector<int> mFirstStep;
    const tSettle* mSettle = nullptr;
    int mRivals = 0;
    std::vector<int> mTouched;
    std::vector<int8_t> mStartSees, mSeesTarget;  // 1, 0, or -1 not asked yet
    std::vector<tUnseen> mUnseen;
    std::vector<tOpenEntry> mOpenHeap;
    // Entries costing more than mReserveAbove wait here, out of the heap, until it runs dry.
    std::vector<tOpenEntry> mReserve;
    float mReserveAbove = 0, mReserveMargin = 0;
    void DrawOnReserve();
    std::vector<tNode> mNodes;
    int mCurrent = -1;
    int mStartWalknode = -1;  // the walk node the start stands on, if any
    tVector2<float> mCurrentPosition;
    tVector2<float> mFirstWaypoint;
};

// The last route the walk-node search found: target first, then its waypoints back to the
// first one (the start itself is not kept), with what that search learnt of the ways on.
class tKeptRoute
{
public:
    // When walk node `number` (the first one standing there) is one of the route's waypoints
    // on the same mesh, unchanged, towards the same target: what a search from there needs to
    // stop once it is bound to go on along the route. Steps of (nearly) equal length are left
    // to the search and its order.
    bool Settle(const tMesh& mesh, int number, const tVector2<float>& target, ComputeB::tSettle* settle);
    // After that search settled: the waypoint after it, with the rest of the route in gPath.
    void GoOn(tVector2<float>* immediateTarget) const;
    // After a successful Process of `search`.
    void Keep(const tMesh& mesh, const ComputeB& search);

private:
    const tMesh* mMesh = nullptr;
    uint64_t mGeneration = 0;
    std::vector<tVector2<float>> mPoints;
    std::vector<int> mNumbers;
    // By route point: the length of the route from there to the target.
    std::vector<float> mToGo;
    // By node number: no way from there to the target is shorter (negative: the straight line).
    std::vector<float> mShortest;
    size_t mHere = 0;
};

// Walks from `from` to `to` as an actor does, searching again at each waypoint. Fills the
// points from `from` to `to`; false when some search finds no route.
bool WalkRoute(const tMesh& mesh, const tVector2<float>& from, const tVector2<float>& to,
               std::vector<tVector2<float>>* route);
