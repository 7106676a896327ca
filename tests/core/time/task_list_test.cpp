#include "core/time/task.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

// A task whose step runs a given action; it counts steps and records its deletion.
struct Probe : TTask
{
    explicit Probe(std::vector<int>* deleted, int id) : mDeleted(deleted), mId(id) {}
    ~Probe() override
    {
        if (mDeleted)
            mDeleted->push_back(mId);
    }
    bool Ready(ETaskContext c) override { return c != kDrawContext || mDrawReady; }
    bool DoTask() override
    {
        ++mSteps;
        return mStep ? mStep() : true;
    }
    std::vector<int>* mDeleted;
    int mId;
    int mSteps = 0;
    bool mDrawReady = false;
    std::function<bool()> mStep;
};

TEST(TaskList, RunsReadyTasksInAdoptionOrder)
{
    std::vector<int> order;
    TTaskList list;
    Probe a(nullptr, 1), b(nullptr, 2);
    a.mStep = [&] {
        order.push_back(1);
        return true;
    };
    b.mStep = [&] {
        order.push_back(2);
        return true;
    };
    b.mDrawReady = true;
    list.AdoptTask(&a);
    list.AdoptTask(&b);
    list.DoAll(TTask::kIdleContext);
    list.DoAll(TTask::kDrawContext);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 2}));
    EXPECT_TRUE(list.OrphanTask(&a));
    EXPECT_FALSE(list.OrphanTask(&a));
    EXPECT_TRUE(list.OrphanTask(&b));
    EXPECT_TRUE(list.Empty());
}

TEST(TaskList, AFinishedTaskIsDeleted)
{
    std::vector<int> deleted;
    TTaskList list;
    auto* t = new Probe(&deleted, 7);
    int runs = 0;
    t->mStep = [&] { return ++runs < 2; };
    list.AdoptTask(t);
    list.DoAll(TTask::kIdleContext);
    EXPECT_TRUE(deleted.empty());
    list.DoAll(TTask::kIdleContext);
    EXPECT_EQ(deleted, std::vector<int>{7});
    list.DoAll(TTask::kIdleContext);
    EXPECT_EQ(runs, 2);
    EXPECT_TRUE(list.Empty());
}

TEST(TaskList, ATaskOrphaningItselfIsRemovedNotDeleted)
{
    std::vector<int> deleted;
    TTaskList list;
    Probe self(&deleted, 1);
    auto* later = new Probe(&deleted, 2);
    self.mStep = [&] { return list.OrphanTask(&self); };
    list.AdoptTask(&self);
    list.AdoptTask(later);
    list.DoAll(TTask::kIdleContext);
    EXPECT_EQ(self.mSteps, 1);
    EXPECT_EQ(later->mSteps, 1);
    EXPECT_FALSE(list.Contains(&self));
    list.DoAll(TTask::kIdleContext);
    EXPECT_EQ(self.mSteps, 1);
    EXPECT_TRUE(deleted.empty());
    self.mDeleted = nullptr;
}

TEST(TaskList, OrphanedDuringAPassIsSkippedForTheRestOfIt)
{
    TTaskList list;
    Probe a(nullptr, 1), b(nullptr, 2);
    a.mStep = [&] {
        list.OrphanTask(&b);
        return true;
    };
    list.AdoptTask(&a);
    list.AdoptTask(&b);
    list.DoAll(TTask::kIdleContext);
    EXPECT_EQ(b.mSteps, 0);
    EXPECT_FALSE(list.Contains(&b));
    EXPECT_TRUE(list.Contains(&a));
    list.OrphanTask(&a);
}

TEST(TaskList, OrphanAndAdoptAgainInOnePass)
{
    TTaskList list;
    Probe a(nullptr, 1);
    bool moved = false;
    a.mStep = [&] {
        if (!moved) {
            moved = true;
            list.OrphanTask(&a);
            list.AdoptTask(&a);
        }
        return true;
    };
    list.AdoptTask(&a);
    list.DoAll(TTask::kIdleContext);
    // The re-adopted entry is reached later in the same pass.
    EXPECT_EQ(a.mSteps, 2);
    EXPECT_TRUE(list.Contains(&a));
    EXPECT_TRUE(list.OrphanTask(&a));
    EXPECT_FALSE(list.Contains(&a));
}

TEST(TaskList, AdoptedDuringAPassRunsInThatPass)
{
    TTaskList list;
    Probe a(nullptr, 1), b(nullptr, 2);
    a.mStep = [&] {
        if (!list.Contains(&b))
            list.AdoptTask(&b);
        return true;
    };
    list.AdoptTask(&a);
    list.DoAll(TTask::kIdleContext);
    EXPECT_EQ(b.mSteps, 1);
    list.OrphanTask(&a);
    list.OrphanTask(&b);
}

TEST(TaskList, DestroyAllInsideAPassDeletesEachTaskOnceAfterThePass)
{
    std::vector<int> deleted;
    auto* list = new TTaskList;
    auto* first = new Probe(&deleted, 1);
    auto* killer = new Probe(&deleted, 2);
    auto* last = new Probe(&deleted, 3);
    killer->mStep = [&] {
        list->DestroyAll();
        EXPECT_TRUE(deleted.empty());
        return false;  // finished as well: still deleted only once
    };
    int lastSteps = 0;
    last->mStep = [&] {
        ++lastSteps;
        return true;
    };
    list->AdoptTask(first);
    list->AdoptTask(killer);
    list->AdoptTask(last);
    list->DoAll(TTask::kIdleContext);
    EXPECT_EQ(lastSteps, 0);
    std::vector<int> sorted = deleted;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(list->Empty());
    delete list;
    EXPECT_EQ(deleted.size(), 3u);
}

TEST(TaskList, NestedPassOfTheSameListKeepsTheOuterWalkSafe)
{
    std::vector<int> deleted;
    TTaskList list;
    auto* outer = new Probe(&deleted, 1);
    auto* victim = new Probe(&deleted, 2);
    auto* after = new Probe(&deleted, 3);
    bool nested = false;
    outer->mStep = [&] {
        if (!nested) {
            nested = true;
            list.DoAll(TTask::kIdleContext);  // runs outer again, then victim, then after
            list.DestroyAll();
        }
        return true;
    };
    victim->mStep = [] { return false; };
    int afterSteps = 0;
    after->mStep = [&] {
        ++afterSteps;
        return true;
    };
    list.AdoptTask(outer);
    list.AdoptTask(victim);
    list.AdoptTask(after);
    list.DoAll(TTask::kIdleContext);
    EXPECT_EQ(afterSteps, 1) << "the nested pass ran it once, the outer skips it";
    std::sort(deleted.begin(), deleted.end());
    EXPECT_EQ(deleted, (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(list.Empty());
}

TEST(TaskList, DestroyAllOutsideAPassAndDestructor)
{
    std::vector<int> deleted;
    {
        TTaskList list;
        list.AdoptTask(new Probe(&deleted, 1));
        list.AdoptTask(new Probe(&deleted, 2));
        list.DestroyAll();
        EXPECT_EQ(deleted.size(), 2u);
        EXPECT_TRUE(list.Empty());
        list.AdoptTask(new Probe(&deleted, 3));
    }
    EXPECT_EQ(deleted, (std::vector<int>{1, 2, 3}));
}

TEST(TaskList, ATaskDestroyedThenAdoptedAgainSurvivesThePass)
{
    std::vector<int> deleted;
    TTaskList list;
    auto* a = new Probe(&deleted, 1);
    a->mStep = [&] {
        if (a->mSteps == 1) {
            list.DestroyAll();
            list.AdoptTask(a);
        }
        return true;
    };
    list.AdoptTask(a);
    list.DoAll(TTask::kIdleContext);
    EXPECT_TRUE(deleted.empty());
    EXPECT_TRUE(list.Contains(a));
}

}  // namespace
