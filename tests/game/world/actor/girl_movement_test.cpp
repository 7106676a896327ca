// Walking over the ground mesh, turning, clicks on the scene and what runs on arrival.

#include "stage_fixture.h"

#include "common/log_capture.h"
#include "core/time/time_source.h"
#include "game/world/common/game_clock.h"
#include "game/world/lua_run.h"
#include "game/world/state/gamestate.h"
#include "held_item.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string>

namespace {

using V = tVector2<float>;

uint32_t gNow = 0;
constexpr float kPi = std::numbers::pi_v<float>;

const char* const kRoom = "poly 0,0 400,0 400,300 0,300\n";

// Names the actor tables handlers receive, for the record the handlers keep in "calls".
const char* const kWho = R"(
    calls = ''
    function who(a)
        if a == nil then return 'nil' end
        for _, name in ipairs({'NELKA', 'DRAWER', 'EDGE'}) do
            if a == _G[name] then return name end
        end
        return '?'
    end)";

class ActorMovement : public ::testing::Test
{
protected:
    void SetUp() override
    {
        GameClockPause();
        gNow = 100000;
        SetTimeSource([] { return gNow; });
        GameClockStart();
    }
    void TearDown() override
    {
        GameClockPause();
        SetTimeSource(nullptr);
        gGamestate.ClearInvUsage();
    }
    static void Frame(tGirl* girl, uint32_t ms = 16)
    {
        gNow += ms;
        girl->Update();
    }
};

TEST_F(ActorMovement, WalksAroundACornerLandingExactlyOnTheWaypointAndNeverLeavesTheGround)
{
    TestScene scene;
    // An L: the walker's straight line to the target crosses the missing quarter.
    scene.SetGround("poly 0,0 200,0 200,100 100,100 0,100\npoly 100,100 200,100 200,300 100,300\n");
    TestGirl* g = scene.Add("NELKA", {20, 50});
    const V corner(100, 100), target(150, 250);
    g->WalkToXY(target);
    ASSERT_EQ(g->ImmediateTarget(), corner);
    bool reachedCorner = false;
    for (int i = 0; i < 1000 && !g->AtTarget(); ++i) {
        const V before = g->GetPosition();
        Frame(g);
        const V after = g->GetPosition();
        ASSERT_GE(scene.GetGround().PolyCollide(after), 0) << after.x << "," << after.y;
        ASSERT_LE(V::Distance(before, after), 1.0001f);
        if (before == corner && !reachedCorner) {
            reachedCorner = true;
            EXPECT_EQ(after, corner) << "the frame on the waypoint only plans the next leg";
            EXPECT_EQ(g->ImmediateTarget(), target);
        }
    }
    EXPECT_TRUE(reachedCorner);
    EXPECT_TRUE(g->AtTarget());
    Frame(g);
    EXPECT_EQ(g->GetMotion(), MOTION_STAND);
    EXPECT_EQ(g->GetPosition(), target);
}

TEST_F(ActorMovement, TurnsOneStepPerHundredMillisecondsBeforeWalking)
{
    TestScene scene;
    scene.SetGround(kRoom);
    TestGirl* g = scene.Add("NELKA", {200, 150});
    g->Pose(DIR_E, kPi, MOTION_STAND);
    g->WalkToXY({100, 150});  // straight behind her: a half turn, clockwise
    const struct
    {
        uint32_t ms;
        DIR facing;
        bool moved;
    } frames[] = {
        {0, DIR_SE, false},  {50, DIR_SE, false}, {50, DIR_S, false}, {50, DIR_S, false},
        {50, DIR_SW, false}, {50, DIR_SW, false}, {50, DIR_W, false}, {50, DIR_W, true},
    };
    int n = 0;
    for (const auto& f : frames) {
        Frame(g, f.ms);
        EXPECT_EQ(g->GetFacing(), f.facing) << "frame " << n;
        EXPECT_EQ(g->GetPosition() != V(200, 150), f.moved) << "frame " << n;
        ++n;
    }
    EXPECT_EQ(g->GetMotion(), MOTION_WALK);
}

// A facing number outside the eight directions is refused with a log line; the actor keeps
// its facing, does not turn toward it for ever, and is not snapped to a turn still pending.
TEST_F(ActorMovement, ABadFacingNumberIsLoggedAndTheFacingKept)
{
    for (const int bad : {9, -1, 1000}) {
        SCOPED_TRACE(bad);
        TestScene scene;
        TestGirl* g = scene.Add("NELKA", {100, 100});
        g->Pose(DIR_E, kPi, MOTION_STAND);
        TLogCapture log;
        g->SetDesiredFacing(bad);
        g->SetFacingImmediate(bad);
        for (int i = 0; i < 20; ++i)
            Frame(g, 100);
        EXPECT_EQ(g->GetFacing(), DIR_E);
        EXPECT_NE(log.Text().find("tGirl[NELKA]: no such facing " + std::to_string(bad)), std::string::npos);
        g->SetDesiredFacing(DIR_W);  // a turn pending
        g->SetFacingImmediate(bad);
        EXPECT_EQ(g->GetFacing(), DIR_E);
    }
}

TEST_F(ActorMovement, AClickBeyondTheEdgeWalksTowardTheNearestReachablePointAndStopsNearIt)
{
    TestScene scene;
    // A strip one unit wide that is switched off while she walks toward its far side: held at
    // the new edge one unit short of her target, she stops there.
    scene.SetGround("poly 0,0 200,0 200,300 0,300\npoly 200,0 201,0 201,300 200,300 label=strip\n");
    TestGirl* g = scene.Add("NELKA", {50, 150});
    g->Pose(DIR_E, kPi, MOTION_STAND);
    g->SetMode(MODE_FOLLOWCLICKS);
    g->NoteClick();
    EXPECT_EQ(g->JudgeClick(TPoint(500, 150)), 3);
    EXPECT_EQ(std::string(g->GetTargetName().c_str()), "EDGE");
    EXPECT_EQ(g->GetFinalTarget(), V(201, 150));
    while (g->GetPosition().x < 190)
        Frame(g);
    scene.GetGround().SetPolyState("strip", false);
    TLogCapture log;
    for (int i = 0; i < 30; ++i)
        Frame(g);
    EXPECT_NE(log.Text().find("FINAL WAS OUTER KICKS IN SO WE STOP WALKING"), std::string::npos);
    EXPECT_EQ(g->GetPosition(), V(200, 150));
    EXPECT_EQ(g->GetFinalTarget(), g->GetPosition());
    EXPECT_EQ(g->GetMotion(), MOTION_STAND);
    EXPECT_EQ(g->Step(), V());
    EXPECT_TRUE(g->GetTargetName().empty());
}

TEST_F(ActorMovement, AScriptedWalkBeyondTheGroundEndsAtTheNearestPointAndTheScriptGoesOn)
{
    const struct
    {
        const char* walk;
        V end;
    } cases[] = {
        {"self:WalkToXY({ x = 500, y = 150 })", {400, 150}},
        {"self:WalkTo('far')", {400, 250}},
        {"self:WalkTo(PROP)", {400, 100}},
        {"self:WalkTo(setmetatable({}, { __index = PROP }))", {400, 100}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.walk);
        TestScene scene;
        scene.SetGround(std::string("vertex 600 250 far\n") + kRoom);
        TestGirl* g = scene.Add("NELKA", {50, 150});
        scene.Add("PROP", {450, 100});
        RunLua(scene.L(), (std::string("NELKA:StartProc(function(self) ") + c.walk +
                           " coroutine.yield(RESUME.ON_WALKTO) arrived = 'yes' end)")
                              .c_str());
        for (int i = 0; i < 2000 && LuaGlobal(scene.L(), "arrived") != "yes"; ++i)
            Frame(g);
        EXPECT_EQ(LuaGlobal(scene.L(), "arrived"), "yes");
        EXPECT_EQ(g->GetPosition(), c.end);
        EXPECT_TRUE(g->GetTargetName().empty());
    }
}

TEST_F(ActorMovement, WithoutGroundWalkersGoWhereTheyAreSent)
{
    TestScene scene;  // its mesh failed to load, say
    TestGirl* g = scene.Add("NELKA", {100, 100});
    g->Pose(DIR_E, kPi, MOTION_STAND);
    g->SetMode(MODE_FOLLOWCLICKS);
    g->NoteClick();
    EXPECT_EQ(g->JudgeClick(TPoint(150, 100)), 2);
    EXPECT_EQ(g->GetFinalTarget(), V(150, 100));
    for (int i = 0; i < 60; ++i)
        Frame(g);
    EXPECT_EQ(g->GetPosition(), V(150, 100));
}

TEST_F(ActorMovement, ZonePointsLieAroundTheActorUnlessFixed)
{
    TestScene scene;
    ServeMesh("zones/door", "vertex 10 20 walkto\nvertex 5 -30 lookat\npoly 0,0 20,0 20,20 0,20\n");
    const struct
    {
        V hotspot;
        float scale;
        uint32_t flags;
        V walkto;
    } cases[] = {
        {{0, 0}, 1, 0, {110, 120}},
        {{10, 0}, 1, 0, {100, 120}},
        {{0, 0}, 2, 0, {120, 140}},
        {{0, 0}, 1, AFLAG_FIXED_HALO, {10, 20}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.walkto.x);
        TestGirl* door = scene.Add("DOOR", {100, 100});
        door->LoadZone("zones/door");
        door->SetHotSpot(c.hotspot);
        door->SetScale(c.scale);
        if (c.flags)
            door->AddFlag(c.flags);
        V point;
        ASSERT_TRUE(door->HasZoneWalkToPoint(&point));
        EXPECT_EQ(point, c.walkto);
        EXPECT_EQ(door->GetZoneWalkToPoint(), c.walkto);
        scene.Remove(door);
    }
    // Facing another actor looks at its "lookat" point: (105, 70) from below.
    TestGirl* door = scene.Add("DOOR", {100, 100});
    door->LoadZone("zones/door");
    TestGirl* g = scene.Add("NELKA", {105, 200});
    g->SetFacingByActor(door);
    for (int i = 0; i < 4; ++i)
        Frame(g, 100);
    EXPECT_EQ(g->GetFacing(), DIR_N);
    EXPECT_FLOAT_EQ(g->GetAngle(), -kPi / 2);
}

TEST_F(ActorMovement, ArrivalRunsTheTargetsHandlersAndTheGenericOneWhenNeeded)
{
    const char* const record = "calls = calls .. '%s ' .. who(w) .. ' ' .. who(t) .. ';'";
    auto handler = [&](const char* what, const char* result) {
        const char* params = std::string(what) == "arrive" ? "(w, t)" : "(item, w, t)";
        return std::string("function") + params + " " + str::getFormatted(record, what).c_str() + " return " + result +
               " end";
    };
    const std::string obj = std::string("DRAWER.on_use_inv = ");
    const struct
    {
        std::string drawer;  // the target's handlers
        const char* target;
        bool item, expired;
        const char* calls;
        const char* log;
    } cases[] = {
        {obj + handler("obj", "RESPONSE.INV_UNHANDLED"), "DRAWER", true, false,
         "obj NELKA DRAWER;generic NELKA DRAWER;", ""},
        {obj + handler("obj", "RESPONSE.INV_HANDLED"), "DRAWER", true, false, "obj NELKA DRAWER;", ""},
        {"", "DRAWER", true, false, "generic NELKA DRAWER;", ""},
        {obj + "function() error('jammed') end", "DRAWER", true, false, "generic NELKA DRAWER;",
         "GLOBAL LUA ERROR:obj on_use_inv"},
        // No actor is called EDGE, and an expired one is leaving: only the generic handler.
        {obj + handler("obj", "RESPONSE.INV_UNHANDLED"), "EDGE", true, false, "generic NELKA nil;", ""},
        {obj + handler("obj", "RESPONSE.INV_UNHANDLED"), "DRAWER", true, true, "generic NELKA nil;", ""},
        {"DRAWER.on_arrive = " + handler("arrive", "0"), "DRAWER", false, false, "arrive NELKA DRAWER;", ""},
        {"DRAWER.on_arrive = " + handler("arrive", "0"), "EDGE", false, false, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.drawer + " at " + c.target);
        TestScene scene;
        scene.SetGround(kRoom);
        TestGirl* g = scene.Add("NELKA", {100, 100});
        tGirl* drawer = scene.Add("DRAWER", {300, 100});
        RunLua(scene.L(), kWho);
        RunLua(scene.L(), ("on_use_inv = " + handler("generic", "0")).c_str());
        if (!c.drawer.empty())
            RunLua(scene.L(), c.drawer.c_str());
        if (c.expired)
            drawer->Expire();
        if (c.item)
            HoldItem("key");
        g->SetFinalTarget(g->GetPosition(), c.target);
        TLogCapture log;
        Frame(g);
        Frame(g);  // arrival happens once
        EXPECT_EQ(LuaGlobal(scene.L(), "calls"), c.calls);
        EXPECT_NE(log.Text().find(c.log), std::string::npos);
        EXPECT_TRUE(gGamestate.GetInvUsage_Raw().empty());
        EXPECT_TRUE(g->GetTargetName().empty());
    }
}

TEST_F(ActorMovement, ClicksWalkStopAtTheEdgeOrAreOnlyCounted)
{
    const struct
    {
        const char* name;
        MODE mode;
        bool item;
        TPoint click;
        const char* scene;  // handlers
        int result;
        V target;
        const char* targetName;
        const char* logged;
        const char* notLogged;
    } cases[] = {
        {"NELKA", MODE_CUTSCENE, false, {200, 100}, "", 0, {100, 100}, "", "MET_COUNT(inactiveclick)", "MET_Event"},
        {"GARDENER", MODE_NONE, false, {200, 100}, "", 0, {100, 100}, "", "", "inactiveclick"},
        {"NELKA",
         MODE_FOLLOWCLICKS,
         false,
         {200, 120},
         "",
         2,
         {200, 120},
         "",
         "MET_Event(ClickedOnZone, Ground, )",
         "Edge"},
        {"NELKA",
         MODE_FOLLOWCLICKS,
         false,
         {500, 120},
         "",
         3,
         {400, 120},
         "EDGE",
         "MET_Event(ClickedOnZone, Edge, )",
         "Ground"},
        {"NELKA",
         MODE_FOLLOWCLICKS,
         false,
         {500, 120},
         "EDGE.on_click = function() return RESPONSE.IGNORE end",
         3,
         {100, 100},
         "",
         "ClickedOnZone, Edge",
         ""},
        {"NELKA",
         MODE_FOLLOWCLICKS,
         true,
         {200, 120},
         "function on_misuse_inv(item, w, p) calls = item .. ' ' .. who(w) .. ' ' .. p.x .. ',' .. p.y "
         "return RESPONSE.INV_HANDLED end",
         2,
         {100, 100},
         "",
         "Got back INV_HANDLED: not walking there.",
         "ClickedOnZone"},
        {"NELKA",
         MODE_FOLLOWCLICKS,
         true,
         {200, 120},
         "",
         2,
         {100, 100},
         "",
         "Got back 3 (bug to fix)... so we're going to not walk there anyway.",
         "ClickedOnZone"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + c.scene + " at " + std::to_string(c.click.x));
        TestScene scene;
        scene.SetGround(kRoom);
        TestGirl* g = scene.Add(c.name, {100, 100});
        scene.Add("EDGE", {-50, -50});
        RunLua(scene.L(), kWho);
        RunLua(scene.L(), c.scene);
        g->SetMode(c.mode);
        if (c.item)
            HoldItem("key");
        TLogCapture log;
        g->NoteClick();
        EXPECT_EQ(g->JudgeClick(c.click), c.result);
        const std::string text = log.Text();
        EXPECT_TRUE(g->WasClicked());
        EXPECT_EQ(g->GetFinalTarget(), c.target);
        EXPECT_EQ(std::string(g->GetTargetName().c_str()), c.targetName);
        EXPECT_NE(text.find(c.logged), std::string::npos) << text;
        if (*c.notLogged) {
            EXPECT_EQ(text.find(c.notLogged), std::string::npos) << text;
        }
        EXPECT_TRUE(gGamestate.GetInvUsage_Raw().empty());
        if (c.item && *c.scene) {
            EXPECT_EQ(LuaGlobal(scene.L(), "calls"), "key NELKA 200,120");
        }
    }
}

}  // namespace
