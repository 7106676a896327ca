#pragma once
// Per-frame work: a task has a readiness test and a step; a task list runs its ready tasks once
// per pass. Steps may adopt, orphan or destroy tasks of the list that runs them.
//   struct Blink : TTask { bool DoTask() override { ...; return keepGoing; } };
//   list.AdoptTask(new Blink);   // deleted by the list when DoTask returns false
//   list.DoAll(TTask::kIdleContext);

#include <vector>

class TTask
{
public:
    // The idle tick, the window manager's drawing pass; modal windows pass values of their own.
    enum ETaskContext : int
    {
        kIdleContext = 0,
        kDrawContext = 1
    };

    virtual ~TTask() = default;
    virtual bool Ready(ETaskContext context);
    // Answers whether the task goes on: true keeps it in its list, false ends it and the list
    // deletes it. (Not "whether it is finished": the reverse.) A task that another object owns,
    // such as a window's member, answers true until its owner orphans it; false would delete
    // the owner's member.
    virtual bool DoTask() = 0;
};

class TTaskList
{
public:
    TTaskList() = default;
    TTaskList(const TTaskList&) = delete;
    TTaskList& operator=(const TTaskList&) = delete;
    ~TTaskList();

    // Appends; a running pass reaches the new task.
    void AdoptTask(TTask* task);
    // Gives the task back without deleting it; false when it is not in the list. During a pass
    // the task is skipped at once and taken out when the pass ends.
    bool OrphanTask(TTask* task);
    void DoAll(TTask::ETaskContext context);
    // Deletes every task; during a pass the deletion waits for the pass to end.
    void DestroyAll();

    bool Contains(const TTask* task) const;
    bool Empty() const;

private:
    void Compact();
    void FlushDeletions();

    // Removed entries become null while a pass runs, so no walk loses its place.
    std::vector<TTask*> mTasks;
    std::vector<TTask*> mPendingDeletions;
    int mPassDepth = 0;
    bool mHoles = false;
};
