// The window tree: layout from styles, hit-testing, event bubbling, focus, identity,
// opaque set, animation and unlinking on destruction.

#include "core/config/config.h"
#include "core/script/lua_table.h"
#include "core/time/time_source.h"
#include "ui/style/window_style.h"
#include "ui/support/ui_test_support.h"
#include "ui/window/message_types.h"
#include "ui/window/window_anim.h"
#include "ui/window/window_spider.h"

#include <memory>

namespace {

class LayoutTest : public LuaTest
{
protected:
    // Applies the Lua table text as a style to a fresh child of a parent `parentWidth` wide.
    TRect Place(const char* table, int parentWidth = 640, int parentHeight = 480)
    {
        TWindow parent;
        parent.SetWindowSize(parentWidth, parentHeight);
        TWindow* child = new TWindow;
        parent.AdoptChild(child, true);
        Apply(child, table);
        return child->GetRect();
    }
    void Apply(TWindow* window, const char* table)
    {
        Run((std::string("style = ") + table).c_str());
        lua_getglobal(L, "style");
        TLuaTable style(L);
        TWindowStyle ws(&style);
        window->Init(ws);
    }
};

TEST_F(LayoutTest, RelativeAndAlignedPositions)
{
    EXPECT_EQ(Place("{ x = 80000, w = 100, h = 10 }").left, 270);
    EXPECT_EQ(Place("{ x = 159990, align = 2, w = 100, h = 10 }").left, 530);
    const TRect full = Place("{ x = 0, w = 160000, h = 10 }");
    EXPECT_EQ(full.left, 0);
    EXPECT_EQ(full.right, 640);
    const TRect inset = Place("{ x = 80010, w = 160000, h = 10 }");
    EXPECT_EQ(inset.left, 20);
    EXPECT_EQ(inset.right - inset.left, 620);
    const TRect farEdge = Place("{ x = 600, w = -100, h = 10 }");
    EXPECT_EQ(farEdge.left, 500);
    EXPECT_EQ(farEdge.right, 600);
    // Negative positions count from the far edge; centred y with a centre alignment.
    EXPECT_EQ(Place("{ x = -50, w = 20, h = 10 }").left, 590);
    EXPECT_EQ(Place("{ x = 100, y = 100, align = 5, w = 20, h = 10 }"), TRect(90, 95, 110, 105));
    EXPECT_EQ(Place("{ y = 80000, x = 1, w = 20, h = 80 }").top, 200);
}

TEST_F(LayoutTest, NameAndTruncatedNumbers)
{
    TWindow w;
    Apply(&w, "{ name = 'panel', x = 12.9, y = 3, w = 40.7, h = 20 }");
    EXPECT_EQ(w.GetName(), str("panel"));
    EXPECT_EQ(w.GetRect(), TRect(12, 3, 52, 23));
}

TEST_F(LayoutTest, UnsizedParentWaitsForTheSecondPass)
{
    TWindow parent;
    TWindow* child = new TWindow;
    parent.AdoptChild(child, true);
    Apply(child, "{ x = 80000, w = 100, h = 10 }");
    EXPECT_EQ(child->GetRect(), TRect());
    parent.SetWindowSize(640, 480);
    lua_getglobal(L, "style");
    TLuaTable style(L);
    TWindowStyle ws(&style);
    child->PostChildrenInit(ws);
    EXPECT_EQ(child->GetRect(), TRect(270, 0, 370, 10));
}

TEST_F(LayoutTest, SetEdgesAndSizesSurviveLaterPasses)
{
    TWindow parent;
    parent.SetWindowSize(640, 480);
    TWindow* child = new TWindow;
    parent.AdoptChild(child, true);
    child->SetWindowPos(5, 0);
    child->SetWindowSize(30, 0);
    Apply(child, "{ x = 80000, y = 7, w = 100, h = 10 }");
    EXPECT_EQ(child->GetRect(), TRect(5, 7, 35, 17));
}

TEST_F(LayoutTest, FitGrowsToChildrenBeforePlacement)
{
    TWindow parent;
    parent.SetWindowSize(640, 480);
    TWindow* box = new TWindow;
    parent.AdoptChild(box, true);
    TWindow* inner = new TWindow;
    box->AdoptChild(inner, true);
    inner->SetWindowPos(10, 10);
    inner->SetWindowSize(90, 40);
    Run("style = { fit = true, x = 80000, y = 80000 }");
    lua_getglobal(L, "style");
    TLuaTable style(L);
    TWindowStyle ws(&style);
    box->PostChildrenInit(ws);
    EXPECT_EQ(box->GetRect(), TRect(270, 215, 370, 265));
}

class WindowTreeTest : public UiTest
{
};

TEST_F(WindowTreeTest, FrontChildIsHitFirstAndHiddenOnesAreSkipped)
{
    TProbeModal* root = InstallScreen();
    auto* back = new TProbeWindow("back");
    auto* front = new TProbeWindow("front");
    root->AdoptChild(back, true);
    root->AdoptChild(front, true);
    back->SetWindowSize(100, 100);
    front->SetWindowSize(50, 50);
    auto* inner = new TProbeWindow("inner");
    front->AdoptChild(inner, true);
    inner->SetWindowPos(10, 10);
    inner->SetWindowSize(5, 5);

    EXPECT_EQ(root->ChildWindowFromPoint(TPoint(12, 12), unsigned(-1)), inner);
    EXPECT_EQ(root->ChildWindowFromPoint(TPoint(20, 20), unsigned(-1)), front);
    EXPECT_EQ(root->ChildWindowFromPoint(TPoint(70, 70), unsigned(-1)), back);
    EXPECT_EQ(root->ChildWindowFromPoint(TPoint(300, 300), unsigned(-1)), root);
    // The depth runs out below a hit child.
    EXPECT_EQ(root->ChildWindowFromPoint(TPoint(12, 12), 1), nullptr);
    EXPECT_EQ(root->ChildWindowFromPoint(TPoint(12, 12), 0), nullptr);

    front->SetFlags(0);
    EXPECT_EQ(front->GetFlags(), 0u);
    EXPECT_FALSE(inner->IsVisible());
    EXPECT_EQ(root->ChildWindowFromPoint(TPoint(12, 12), unsigned(-1)), back);
}

TEST_F(WindowTreeTest, SetFlagsKeepsTheLowByte)
{
    TModalWindow modal;
    modal.SetFlags(0);
    EXPECT_EQ(modal.GetFlags(), TWindow::kModalRoot | TWindow::kFocusable);
    modal.SetFlags(0xFFFF0100u);
    EXPECT_EQ(modal.GetFlags(), TWindow::kModalRoot | TWindow::kFocusable | TWindow::kEnabled);
}

TEST_F(WindowTreeTest, UnhandledClickReachesTheSiblingBehindInItsCoordinates)
{
    TProbeModal* root = InstallScreen();
    auto* back = new TProbeWindow("back", true);
    auto* front = new TProbeWindow("front", false);
    root->AdoptChild(back, true);
    root->AdoptChild(front, true);
    back->SetWindowPos(20, 20);
    back->SetWindowSize(100, 100);
    front->SetWindowPos(10, 10);
    front->SetWindowSize(100, 100);

    Send(TEvent::kMouseDown, 50, 60);
    ASSERT_EQ(front->points.size(), 1u);
    EXPECT_EQ(front->points[0], TPoint(40, 50));
    ASSERT_EQ(back->points.size(), 1u);
    EXPECT_EQ(back->points[0], TPoint(30, 40));
    // The click made the modal window the focus, once.
    EXPECT_EQ(wm->GetFocusWindow(), root);
    EXPECT_EQ(root->focusCalls, 2);  // once pushed, once clicked
}

TEST_F(WindowTreeTest, UnhandledMouseUpAndKeysAtTheModalRootPostMessages)
{
    TProbeModal* root = InstallScreen();
    TEvent up;
    up.type = TEvent::kMouseUp;
    EXPECT_FALSE(root->HandleEvent(&up, false));
    TEvent key;
    key.type = TEvent::kKeyDown;
    key.code = 'A';
    root->HandleEvent(&key, false);
    ASSERT_EQ(wm->GetMessageQueue().size(), 2u);
    EXPECT_EQ(wm->GetMessageQueue().front()->GetName(), str("mouse:up"));
    EXPECT_EQ(wm->GetMessageQueue().front()->GetType(), kPressAnyKey);
    EXPECT_EQ(wm->GetMessageQueue().back()->GetName(), str("raw:A"));

    TConfig::SetConfig("overlaymouse", "1");
    root->HandleEvent(&up, false);
    TConfig::SetConfig("overlaymouse", "");
    EXPECT_EQ(wm->GetMessageQueue().size(), 2u);
}

TEST_F(WindowTreeTest, GetChildWindowHonoursDepth)
{
    TWindow root;
    root.SetName("root");
    auto* a = new TWindow;
    a->SetName("a");
    auto* b = new TWindow;
    b->SetName("b");
    root.AdoptChild(a, true);
    a->AdoptChild(b, true);
    EXPECT_EQ(root.GetChildWindow("root", 0), &root);
    EXPECT_EQ(root.GetChildWindow("a", 0), nullptr);
    EXPECT_EQ(root.GetChildWindow("a", 1), a);
    EXPECT_EQ(root.GetChildWindow("b", 1), nullptr);
    EXPECT_EQ(root.GetChildWindow("b", unsigned(-1)), b);
    EXPECT_EQ(root.GetChildWindow("none", unsigned(-1)), nullptr);
}

TEST_F(WindowTreeTest, IdentityCastsAndCreationById)
{
    TModalWindow modal;
    TWindow plain;
    EXPECT_EQ(GetCast<TModalWindow>(&modal), &modal);
    EXPECT_EQ(GetCast<TModalWindow>(&plain), nullptr);
    EXPECT_EQ(GetCast<TModalWindow>(nullptr), nullptr);
    EXPECT_TRUE(modal.IsKindOf(TWindow::ClassId()));
    EXPECT_STREQ(modal.GetTypeName(), "TModalWindow");
    EXPECT_NE(plain.GetId(), modal.GetId());

    std::unique_ptr<TWindow> made(TWindow::CreateFromId(TWindow::ClassId()));
    ASSERT_TRUE(made);
    EXPECT_STREQ(made->GetTypeName(), "TWindow");
    EXPECT_EQ(FindWindowClass("TWindow"), TWindow::ClassId());
    TLogCapture log;
    EXPECT_EQ(TWindow::CreateFromId(12345), nullptr);
    EXPECT_EQ(TWindow::CreateFromId(0), nullptr);
    EXPECT_EQ(WindowIdText(42), str("      2a"));
    EXPECT_EQ(WindowIdText(0x65), str("      65"));
}

TEST_F(WindowTreeTest, AdoptingMovesAWindowAndRefusesCycles)
{
    TWindow first, second;
    auto* child = new TWindow;
    first.AdoptChild(child, true);
    second.AdoptChild(child, true);
    EXPECT_TRUE(first.GetChildren().empty());
    ASSERT_EQ(second.GetChildren().size(), 1u);
    EXPECT_EQ(child->GetParent(), &second);
    second.AdoptChild(child, true);
    EXPECT_EQ(second.GetChildren().size(), 1u);

    TLogCapture log;
    EXPECT_FALSE(child->AdoptChild(&second, true));
    EXPECT_FALSE(child->AdoptChild(child, true));
}

TEST_F(WindowTreeTest, RefusedParentLeavesTheChildAlone)
{
    struct TPicky : TWindow
    {
        bool OnNewParent() override { return false; }
    } picky;
    TWindow parent;
    EXPECT_FALSE(parent.AdoptChild(&picky, true));
    EXPECT_TRUE(parent.GetChildren().empty());
    EXPECT_EQ(picky.GetParent(), nullptr);
}

TEST_F(WindowTreeTest, DestroyedWindowIsForgottenEverywhere)
{
    TProbeModal* root = InstallScreen();
    auto* w = new TProbeWindow("w");
    root->AdoptChild(w, true);
    w->SetWindowSize(10, 10);
    wm->AddMouseListener(w);
    wm->SetFocusWindow(w);
    root->SetDefaultFocus(w);
    wm->PostWindowMessage(new TMessage(kGeneric, "m", w));
    delete w;
    EXPECT_TRUE(root->GetChildren().empty());
    EXPECT_FALSE(wm->IsMouseListener(w));
    EXPECT_EQ(wm->GetFocusWindow(), nullptr);
    EXPECT_EQ(root->GetDefaultFocus(), nullptr);
    EXPECT_EQ(wm->GetMessageQueue().front()->GetTarget(), nullptr);
}

TEST_F(WindowTreeTest, OpaqueChildOfScreenSizeMakesItsModalOpaque)
{
    TProbeModal* root = InstallScreen();
    auto* modal = new TModalWindow;
    wm->PushModal(modal);
    EXPECT_EQ(modal->GetWindowWidth(), 640);
    auto* cover = new TWindow;
    modal->AdoptChild(cover, true);
    cover->SetFlags(cover->GetFlags() | TWindow::kOpaque);
    EXPECT_FALSE(modal->GetFlags() & TWindow::kOpaque);
    cover->SetWindowSize(640, 480);
    EXPECT_TRUE(modal->GetFlags() & TWindow::kOpaque);
    EXPECT_TRUE(modal->HasOpaqueChild(cover));
    cover->SetWindowSize(600, 480);
    EXPECT_FALSE(modal->GetFlags() & TWindow::kOpaque);
    cover->SetWindowSize(640, 480);
    // Leaving the tree withdraws it, and with it everything below it.
    auto* holder = new TWindow;
    modal->AdoptChild(holder, true);
    holder->AdoptChild(cover, true);
    EXPECT_FALSE(modal->HasOpaqueChild(cover));  // moving withdrew it
    cover->SetWindowSize(640, 480);
    EXPECT_TRUE(modal->HasOpaqueChild(cover));
    modal->OrphanChild(holder);
    EXPECT_FALSE(modal->HasOpaqueChild(cover));
    EXPECT_FALSE(modal->GetFlags() & TWindow::kOpaque);
    delete holder;
    EXPECT_NE(root, nullptr);
}

TEST_F(WindowTreeTest, FitToChildrenNeverShrinks)
{
    TWindow w;
    w.SetWindowSize(50, 200);
    auto* c = new TWindow;
    w.AdoptChild(c, true);
    c->SetWindowPos(30, 10);
    c->SetWindowSize(40, 20);
    w.FitToChildren();
    EXPECT_EQ(w.GetWindowWidth(), 70);
    EXPECT_EQ(w.GetWindowHeight(), 200);
}

TEST_F(WindowTreeTest, AnimationRunsOnTheModalClockAndEndsWithTheWindow)
{
    struct TCounter : TWindow
    {
        int steps = 0;
        bool OnTaskAnimate() override { return ++steps < 100; }
    };
    uint32_t fake = 5000;
    SetTimeSource([&fake] { return fake; });
    TProbeModal* root = InstallScreen();
    auto* counter = new TCounter;
    root->AdoptChild(counter, true);
    counter->StartWindowAnimation(10, true, true, false);
    ASSERT_NE(counter->GetWindowAnim(), nullptr);
    EXPECT_EQ(counter->GetWindowAnim()->GetClock(), &root->GetClock());
    root->DoModalProcess(TTask::kIdleContext);
    EXPECT_EQ(counter->steps, 0);
    fake += 10;
    root->DoModalProcess(TTask::kIdleContext);
    EXPECT_EQ(counter->steps, 1);
    // A window outside any modal window has no task list to animate on.
    TWindow loose;
    EXPECT_EQ(loose.GetWindowAnim(), nullptr);

    delete counter;
    fake += 10;
    root->DoModalProcess(TTask::kIdleContext);
    EXPECT_TRUE(root->GetTaskList()->Empty());
    SetTimeSource(nullptr);
}

TEST_F(WindowTreeTest, VisitorsWalkAndStop)
{
    TWindow root;
    TWindow* kids[3];
    for (TWindow*& k : kids) {
        k = new TWindow;
        root.AdoptChild(k, true);
        k->SetFlags(k->GetFlags() | TWindow::kDrawnInLayer);
    }
    TWindowClearFlags clear(~TWindow::kDrawnInLayer, true);
    root.ForEachChild(clear);
    for (TWindow* k : kids)
        EXPECT_FALSE(k->GetFlags() & TWindow::kDrawnInLayer);

    FindNonSlider first;
    root.ForEachChild(first);
    EXPECT_EQ(first.mResult, kids[2]);  // the last adopted is in front

    struct TPopped : TWindow
    {
        std::vector<int>* order;
        int tag;
        void OnParentModalPopped() override { order->push_back(tag); }
    };
    std::vector<int> order;
    auto* parent = new TPopped;
    parent->order = &order;
    parent->tag = 1;
    auto* child = new TPopped;
    child->order = &order;
    child->tag = 2;
    root.AdoptChild(parent, true);
    parent->AdoptChild(child, true);
    TModalPoppedSpider popped;
    root.ForEachChild(popped);
    EXPECT_EQ(order, (std::vector<int>{2, 1}));

    root.DestroyAllChildren();
    EXPECT_TRUE(root.GetChildren().empty());
    wm->ClearDestroyedWindows();
}

}  // namespace
