#include "game/script/df_log.h"
#include "game/script/df_lua_obj.h"
#include "game/script/metrics.h"
#include "game/world/actor/actor_handlers.h"
#include "game/world/actor/facing.h"
#include "game/world/actor/girl.h"
#include "game/world/actor/ground_search.h"
#include "game/world/common/game_clock.h"
#include "game/world/common/walk_speed.h"
#include "game/world/mesh/mesh.h"
#include "game/world/mesh/mesh_lua.h"
#include "game/world/scene/scene.h"
#include "game/world/state/gamestate.h"
#include "render/text/text_graphic.h"

#include <cmath>
#include <memory>

namespace {

constexpr uint32_t kTurnStepMs = 100;
// A walker this close to an unreachable click (squared) has gone as far as it can.
constexpr float kEdgeStopDistanceSq = 4;

bool IsDirection(int dir)
{
    return dir >= DIR_NONE && dir <= DIR_NW;
}

float AngleOf(const tVector2<float>& v)
{
    return std::atan2(v.y, -v.x);
}

// The angle at the centre of a direction's sector.
float CentreAngle(DIR dir)
{
    static const tVector2<float> steps[] = {{0, 0}, {0, -1}, {1, -1}, {1, 0},  {1, 1},
                                            {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}};
    return AngleOf(steps[dir]);
}

// The state an actor's handlers run on: its script thread, or the scene's state before it has
// one. The thread stays referenced until the call is over, even when the handler gives the
// actor a new script (which drops the old thread).
class tHandlerState
{
public:
    explicit tHandlerState(tGirl* actor)
    {
        if (!actor)
            return;
        lua_State* L = actor->GetScriptState().GetState();
        if (!L && actor->GetScene())
            L = actor->GetScene()->GetLua().GetState();
        if (!L)
            return;
        mLua = std::make_unique<dfLua>(L);
        if (L == actor->GetScriptState().GetState() && actor->GetLuaObj()) {
            actor->GetLuaObj()->PushSelfOnto(*mLua);
            if (lua_istable(L, -1)) {
                lua_pushstring(L, "thread");
                lua_rawget(L, -2);
                lua_remove(L, -2);
            }
            mThread = std::make_unique<dfLuaObj>(*mLua, "oldthread");
        }
    }
    dfLua* get() const { return mLua.get(); }

private:
    std::unique_ptr<dfLua> mLua;
    std::unique_ptr<dfLuaObj> mThread;
};

// Whether the ground holds walkers at all. Without a polygon to stand on (no mesh, or every
// part switched off) there is no nearest point to keep them to, and they move freely.
bool HoldsWalkers(const tMesh& ground)
{
    for (const tPoly& poly : ground.Polys())
        if (poly.enabled)
            return true;
    return false;
}

// Pushes the tables of two actors (nil for a missing one).
tPushArgs PushPair(dfLua& lua, const tGirl* first, const tGirl* second)
{
    return [&lua, first, second](lua_State*) {
        PushObjectTable(lua, first ? first->GetLuaObj() : nullptr);
        PushObjectTable(lua, second ? second->GetLuaObj() : nullptr);
        return 2;
    };
}

}  // namespace

void tGirl::Update()
{
    ++mTickCount;
    RunScriptIfDue();
    UpdateText();
    if (mMode == MODE_STATIC)
        mStep = {0, 0};
    else
        WalkToTarget();
    UpdateFacing();
    MoveAndCollide();
    UpdateParty(16);
}

void tGirl::SetFinalTarget(const tVector2<float>& point, const str& name)
{
    mFinalTarget = point;
    mTargetName = name;
    mFinalTargetWasOutside = false;
}

void tGirl::ComputePathToTarget()
{
    if (!mScene) {
        mImmediateTarget = mFinalTarget;
        return;
    }
    PlanWalkLeg(mScene->GetGround(), mPosition, mFinalTarget, mFlags, &mImmediateTarget);
}

void tGirl::WalkToTarget()
{
    tVector2<float> delta = mImmediateTarget - mPosition;
    delta.NormalizeMaxSpeed(RangedWalkSpeed() * GetWalkSpeed());
    if (delta.x == 0 && delta.y == 0) {
        mStep = {0, 0};
        if (mImmediateTarget == mFinalTarget) {
            if (mMotion != MOTION_STAND) {
                mMotion = MOTION_STAND;
                SetAppropriateAnim();
            }
        } else {
            ComputePathToTarget();
        }
        return;
    }
    mDesiredFacing = DirFromVector(delta);
    mAngle = AngleOf(delta);
    const bool facing = mFacing == mDesiredFacing;
    mStep = facing ? delta : tVector2<float>();
    const MOTION motion = facing ? MOTION_WALK : MOTION_STAND;
    if (mMotion != motion) {
        mMotion = motion;
        SetAppropriateAnim();
    }
}

void tGirl::UpdateFacing()
{
    // A facing set from a bad number is left alone rather than turned toward forever.
    if (mFacing == mDesiredFacing || mDesiredFacing == DIR_NONE || !IsDirection(mDesiredFacing) ||
        !IsDirection(mFacing))
        return;
    const uint32_t now = GameClockTime();
    if (now < mNextTurnTime)
        return;
    if (mFacing == DIR_NONE) {
        mFacing = mDesiredFacing;
        SetAppropriateAnim();
        return;
    }
    mNextTurnTime = now + kTurnStepMs;
    int d = mDesiredFacing - mFacing;
    if (d >= 5)
        d -= 8;
    else if (d < -4)
        d += 8;
    int next = mFacing + (d <= 0 ? -1 : 1);
    if (next < DIR_N)
        next = DIR_NW;
    else if (next > DIR_NW)
        next = DIR_N;
    mFacing = DIR(next);
    SetAppropriateAnim();
}

void tGirl::MoveAndCollide()
{
    if (!mScene) {
        mPosition += mStep;
        return;
    }
    const tMesh& ground = mScene->GetGround();
    const tVector2<float> next = mPosition + mStep;
    const int poly = ground.PolyCollide(next);
    if (poly >= 0) {
        mPosition = next;
        if (poly != mCurrentPoly) {
            mEnteredNewPoly = true;
            mCurrentPoly = poly;
            ComputePathToTarget();
        }
    } else if ((mFlags & AFLAG_IGNORE_GROUND_MESH) || (OldSchoolSearch() && ground.PolyCollide(mPosition) < 0) ||
               !HoldsWalkers(ground)) {
        mPosition = next;
        if (mCurrentPoly != -1) {
            mEnteredNewPoly = true;
            mCurrentPoly = -1;
        }
    } else if (mMotion == MOTION_WALK) {
        mPosition = ground.ClosestPointToMesh(next);
        if (mFinalTargetWasOutside && tVector2<float>::DistanceSquared(mPosition, mFinalTarget) < kEdgeStopDistanceSq) {
            LOGIT("FINAL WAS OUTER KICKS IN SO WE STOP WALKING\n");
            mMotion = MOTION_STAND;
            SetAppropriateAnim();
            // A click's walk ends as "EDGE"; a scripted one keeps its empty name, so reaching
            // the edge runs no handler.
            SetFinalTarget(mPosition, mTargetName);
            mImmediateTarget = mPosition;
        }
    }

    if (mDepthMode == DEPTH_BY_POLY && ground.IsValidPolyIndex(mCurrentPoly))
        SetDepthValue(ground.Polys()[size_t(mCurrentPoly)].depthValue);
    else if (mDepthMode == DEPTH_BY_Y)
        SetDepthValue(int(mPosition.y));

    if (!mTargetName.empty() && AtTarget())
        ArriveAtTarget();
    CollideWithActors();
}

void tGirl::ArriveAtTarget()
{
    const str name = mTargetName;
    mTargetName = str();
    // "EDGE" usually names no actor, and one that expired is on its way out: the generic
    // handler still hears about the item.
    tGirl* target = mScene->GetActorByName(name);
    if (target && target->IsExpired())
        target = nullptr;
    const tHandlerState state(this);
    dfLua* lua = state.get();
    const str item = gGamestate.GetInvUsage_Raw();
    if (item.empty()) {
        if (lua && target)
            CallTableHandler(*lua, target->GetLuaObj(), "on_arrive", "on_arrive", PushPair(*lua, this, target));
        return;
    }
    if (lua) {
        const tPushArgs args = [&](lua_State* L) {
            lua_pushstring(L, item.c_str());
            return 1 + PushPair(*lua, this, target)(L);
        };
        std::optional<int> answer;
        if (target)
            answer = CallTableHandler(*lua, target->GetLuaObj(), "on_use_inv", "obj on_use_inv", args);
        if (!answer || *answer == RESPONSE_INV_UNHANDLED)
            CallGlobalHandler(*lua, "on_use_inv", "generic on_use_inv", args);
    }
    gGamestate.ClearInvUsage();
}

void tGirl::CollideWithActors()
{
    if (!(mFlags & AFLAG_OBJECT_COLLIDE_DETECT))
        return;
    tGirl* other = mScene->CheckWorldPoint(mPosition);
    if (!other || other == this || !(other->GetFlags() & AFLAG_OBJECT_COLLIDE_CAUSE))
        return;
    const tHandlerState state(this);
    if (dfLua* lua = state.get())
        CallTableHandler(*lua, other->GetLuaObj(), "on_collide", "on_collide", PushPair(*lua, this, other));
}

void tGirl::WalkToXY(const tVector2<float>& point)
{
    // A point off the reachable ground would never be reached, and a script waiting for the
    // walk would wait for good: the walk ends at the nearest point, as a click's does.
    const tVector2<float> end = (mFlags & AFLAG_IGNORE_GROUND_MESH) ? point : ReachablePoint(point);
    SetFinalTarget(end, str());
    mFinalTargetWasOutside = end != point;
    ComputePathToTarget();
    WalkToTarget();
}

void tGirl::StopWalking()
{
    SetFinalTarget(mPosition, str());
    ComputePathToTarget();
    WalkToTarget();
}

tVector2<float> tGirl::ReachablePoint(const tVector2<float>& point) const
{
    if (!mScene)
        return point;
    const tMesh& ground = mScene->GetGround();
    return HoldsWalkers(ground) ? ground.ClosestPointToMeshFromPoint(point, mPosition) : point;
}

void tGirl::JumpToPoint(const tVector2<float>& point)
{
    SetFinalTarget(point, str());
    mImmediateTarget = point;
    mPosition = point;
}

void tGirl::JumpToNamedPoint(const str& label)
{
    JumpToPoint(mScene ? mScene->GetGround().LookupVertByLabel(label) : tVector2<float>());
}

bool tGirl::AtTarget() const
{
    return mPosition.x == mFinalTarget.x && mPosition.y == mFinalTarget.y;
}

void tGirl::SetDesiredFacing(int dir)
{
    if (!IsDirection(dir)) {
        LOGIT("tGirl[%s]: no such facing %d\n", mName.c_str(), dir);
        return;
    }
    mDesiredFacing = DIR(dir);
    // The four-way fallback of the animation choice reads the angle: keep it on this side.
    if (dir != DIR_NONE && Dir8FromAngle(mAngle) != dir)
        mAngle = CentreAngle(DIR(dir));
}

void tGirl::SetDesiredAngle(float angle)
{
    mAngle = angle;
    mDesiredFacing = Dir8FromAngle(angle);
}

void tGirl::SetFacingImmediate(int dir)
{
    const DIR old = mFacing;
    SetDesiredFacing(dir);
    // Refused (and logged): not a snap to a turn still pending.
    if (!IsDirection(dir))
        return;
    mFacing = mDesiredFacing;
    if (mFacing != old)
        SetAppropriateAnim();
}

void tGirl::SetFacingByActor(tGirl* other)
{
    if (!other) {
        LOGIT("SetFacingByActor with bad actors(%p, %p)\n", static_cast<void*>(this), static_cast<void*>(other));
        return;
    }
    tVector2<float> look = other->GetPosition();
    tVector2<float> lookat;
    if (other->GetZonePoint("lookat", &lookat))
        look += lookat;
    const tVector2<float> delta = look - mPosition;
    mDesiredFacing = DirFromVector(delta);
    mAngle = AngleOf(delta);
}

void tGirl::SetWalkSpeed(float speed)
{
    mWalkSpeed = speed > 0 ? speed : 0;
}

float tGirl::GetWalkSpeed() const
{
    return mWalkSpeed * GetBGScale();
}

tVector2<float> tGirl::GetZoneWalkToPoint() const
{
    if (!mZone)
        return mPosition;
    tVector2<float> point;
    GetZonePoint("walkto", &point);
    return (mFlags & AFLAG_FIXED_HALO) ? point : point + mPosition;
}

bool tGirl::HasZoneWalkToPoint(tVector2<float>* point) const
{
    if (!mZone || !mZone->VertExists("walkto"))
        return false;
    *point = GetZoneWalkToPoint();
    return true;
}

bool tGirl::GetZonePoint(const str& label, tVector2<float>* point) const
{
    if (!mZone)
        return false;
    PlaceZone();
    return mZone->LookupVertByLabel(label, point);
}

bool tGirl::GetPolyName(str* name) const
{
    if (!mScene)
        return false;
    const std::optional<str> label = mScene->GetGround().LookupPolyLabelByIndex(mCurrentPoly);
    if (!label)
        return false;
    *name = *label;
    return true;
}

tVector2<float> tGirl::GetScreenPosition() const
{
    return mScene ? mPosition - mScene->GetCameraPosition() : mPosition;
}

void tGirl::CountInactiveClick() const
{
    if (mName == "NELKA")
        MET_Count("inactiveclick");
}

int tGirl::JudgeClick(const TPoint& point)
{
    if (mMode != MODE_FOLLOWCLICKS) {
        CountInactiveClick();
        return 0;
    }
    if (!mScene)
        return 0;
    tVector2<float> target = mScene->WorldFromScreen(point);
    str targetName;
    tGirl* hit = mScene->CheckWorldPoint(target);
    const str item = gGamestate.GetInvUsage_Raw();
    int result = 2;
    if (!hit && !item.empty()) {
        LOGIT("CLICKED ON GROUND WITH OBJECT[%s]\n", item.c_str());
        int answer = RESPONSE_INV_UNHANDLED;
        const tHandlerState state(this);
        if (dfLua* lua = state.get()) {
            answer = CallGlobalHandler(*lua, "on_misuse_inv", "generic on_use_inv", [&](lua_State* L) {
                         lua_pushstring(L, item.c_str());
                         PushObjectTable(*lua, GetLuaObj());
                         Put(*lua, tVector2<float>(float(point.x), float(point.y)));
                         return 3;
                     }).value_or(RESPONSE_INV_UNHANDLED);
        }
        gGamestate.ClearInvUsage();
        if (answer == RESPONSE_INV_HANDLED)
            LOGIT("Got back INV_HANDLED: not walking there.\n");
        else
            LOGIT("Got back %d (bug to fix)... so we're going to not walk there anyway.\n", answer);
        return 2;
    }
    if (hit) {
        if (!hit->HasZoneWalkToPoint(&target))
            target = mPosition;
        targetName = hit->GetName();
        MET_Event("ClickedOnActor", targetName.c_str(), item.c_str());
        if (CallOnClick(this, hit) == RESPONSE_IGNORE)
            return 1;
        result = 1;
    }
    // The scene keeps no zones of its own (actor zones belong to the actors): nothing replaces
    // the target here.
    const tVector2<float> reachable = ReachablePoint(target);
    if (reachable != target && !hit) {
        MET_Event("ClickedOnZone", "Edge", "");
        tGirl* edge = mScene->GetActorByName("EDGE");
        if (edge && CallOnClick(this, edge) == RESPONSE_IGNORE)
            return 3;
        SetFinalTarget(reachable, "EDGE");
        mFinalTargetWasOutside = true;
        ComputePathToTarget();
        return 3;
    }
    if (targetName.empty()) {
        MET_Event("ClickedOnZone", "Ground", "");
        result = 2;
    }
    SetFinalTarget(reachable, targetName);
    ComputePathToTarget();
    return result;
}

void tGirl::OnMouseMove(const TPoint& point)
{
    if (!mText || !mScene || mScene->GetConversationPartner() != this)
        return;
    const TRect& area = mScene->GetTextBounds();
    const TPoint inside(point.x - area.left, point.y - area.top);
    mText->Rollover(&inside, 0);
}

int tGirl::CallOnClick(tGirl* clicker, tGirl* clicked)
{
    if (!clicker || !clicked)
        return RESPONSE_WALKTO;
    const tHandlerState state(clicker);
    dfLua* lua = state.get();
    if (!lua)
        return RESPONSE_WALKTO;
    return CallTableHandler(*lua, clicked->GetLuaObj(), "on_click", "on_click", PushPair(*lua, clicker, clicked))
        .value_or(RESPONSE_WALKTO);
}

void tGirl::CallPointAtFn(bool on)
{
    const tHandlerState state(this);
    if (dfLua* lua = state.get()) {
        CallTableHandler(*lua, GetLuaObj(), "point_at_fn", "point_at_fn", [&](lua_State* L) {
            PushObjectTable(*lua, GetLuaObj());
            lua_pushboolean(L, on);
            return 2;
        });
    }
}

void tGirl::SetPointAtCursor(const str& name, const tVector2<float>& point)
{
    mPointAtCursor = name;
    mPointAtHotspot = point;
}
