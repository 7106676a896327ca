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

    // `scan`: every visibility answer beforehand, by scanning every polygon and edge (the
    // reference).
    void Initialize(const tMesh& mesh, const tVector2<float>& start, const tVector2<float>& target, bool scan = false);
    bool Process();
    void ConsiderAdding(int n);

    const tVector2<float>& FirstWaypoint() const { return mFirstWaypoint; }
    // After a successful Process: the route's points, or its node numbers, from the target
    // back to the first waypoint.
    void AppendRoute(std::vector<tVector2<float>>* path) const;
    void AppendRouteNodes(std::vector<int>* numbers) const;
    size_t NodeCount() const { return mNodes.size(); }
    const tNode& Node(int n) const { return mNodes[size_t(n)]; }
    // Whether the node's g is the length of some way from the start to it.
    bool Reached(int n) const { return mClosed[size_t(n)] || mOpen[size_t(n)] == kOpen; }
    // The walk nodes given a cost (and their h) by the last search.
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
    // Makes the nodes new; a walk node's h is worked out when it is first given a cost.
    void ClearNodes(const tMesh& mesh, size_t count);
    void Touch(size_t n);
    int TakeBest();
    void ExpandStart();
    void Push(int n, float f);
    // ConsiderAdding with the distance from the current node known.
    void Offer(int n, float step);
    // Settles a kIfSeen node by asking whether the start sees it.
    void Settle(int n);
    bool Sees(std::vector<int8_t>* known, const tVector2<float>& point, int n) const;

    const tMesh* mMesh = nullptr;
    uint64_t mGeneration = 0;
    std::vector<char> mOpen, mClosed, mHasH;
    std::vector<int> mTouched;
    std::vector<int8_t> mStartSees, mSeesTarget;  // 1, 0, or -1 not asked yet
    std::vector<tUnseen> mUnseen;
    std::vector<tOpenEntry> mOpenHeap;
    std::vector<tNode> mNodes;
    int mCurrent = -1;
    tVector2<float> mCurrentPosition;
    tVector2<float> mFirstWaypoint;
};

// The last route the walk-node search found: target first, then its waypoints back to the
// first one (the start itself is not kept), with what that search learnt of the ways on.
class tKeptRoute
{
public:
    // When walk node `number` (the first one standing there) is one of the route's waypoints
    // on the same mesh, unchanged, towards the same target, and every other step from there is
    // clearly longer on to the target: the waypoint after it, which a search from there would
    // give too, with the rest of the route in gPath. Steps of (nearly) equal length are left to
    // the search and its order.
    bool GoOn(const tMesh& mesh, int number, const tVector2<float>& target, tVector2<float>* immediateTarget) const;
    // After a successful Process of `search`.
    void Keep(const tMesh& mesh, const ComputeB& search);

private:
    // No way from walk node n to the target is shorter.
    float Shortest(const tMesh& mesh, int n) const;

    const tMesh* mMesh = nullptr;
    uint64_t mGeneration = 0;
    std::vector<tVector2<float>> mPoints;
    std::vector<int> mNumbers;
    // By route point: the length of the route from there to the target.
    std::vector<float> mToGo;
    // By node number: what Shortest gives, where the search learnt more than the straight line.
    std::vector<float> mShortest;
};

// Walks from `from` to `to` as an actor does, searching again at each waypoint. Fills the
// points from `from` to `to`; false when some search finds no route.
bool WalkRoute(const tMesh& mesh, const tVector2<float>& from, const tVector2<float>& to,
               std::vector<tVector2<float>>* route);
