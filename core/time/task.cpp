#include "core/time/task.h"

#include <algorithm>

bool TTask::Ready(ETaskContext)
{
    return true;
}

TTaskList::~TTaskList()
{
    // A destructor never runs inside the list's own pass.
    mPassDepth = 0;
    DestroyAll();
}

void TTaskList::AdoptTask(TTask* task)
{
    if (!task)
        return;
    // A task destroyed earlier in this pass and adopted again must not be deleted.
    auto pending = std::find(mPendingDeletions.begin(), mPendingDeletions.end(), task);
    if (pending != mPendingDeletions.end())
        mPendingDeletions.erase(pending);
    mTasks.push_back(task);
}

bool TTaskList::OrphanTask(TTask* task)
{
    if (!task)
        return false;
    auto it = std::find(mTasks.begin(), mTasks.end(), task);
    if (it == mTasks.end())
        return false;
    if (mPassDepth > 0) {
        *it = nullptr;
        mHoles = true;
    } else {
        mTasks.erase(it);
    }
    return true;
}

void TTaskList::DoAll(TTask::ETaskContext context)
{
    ++mPassDepth;
    // Index walk: adoption may grow the vector, removal only leaves holes.
    for (size_t i = 0; i < mTasks.size(); ++i) {
        TTask* task = mTasks[i];
        if (!task || !task->Ready(context))
            continue;
        // The step itself may have orphaned or destroyed the task.
        if (task->DoTask() || mTasks[i] != task)
            continue;
        mTasks[i] = nullptr;
        mHoles = true;
        auto pending = std::find(mPendingDeletions.begin(), mPendingDeletions.end(), task);
        if (pending != mPendingDeletions.end())
            mPendingDeletions.erase(pending);
        delete task;
    }
    if (--mPassDepth == 0) {
        Compact();
        FlushDeletions();
    }
}

void TTaskList::DestroyAll()
{
    if (mPassDepth > 0) {
        for (TTask*& t : mTasks) {
            if (t) {
                mPendingDeletions.push_back(t);
                t = nullptr;
                mHoles = true;
            }
        }
        return;
    }
    std::vector<TTask*> doomed;
    doomed.swap(mTasks);
    for (TTask* t : doomed)
        if (t && std::find(mPendingDeletions.begin(), mPendingDeletions.end(), t) == mPendingDeletions.end())
            mPendingDeletions.push_back(t);
    mHoles = false;
    FlushDeletions();
}

bool TTaskList::Contains(const TTask* task) const
{
    return task && std::find(mTasks.begin(), mTasks.end(), task) != mTasks.end();
}

bool TTaskList::Empty() const
{
    return std::all_of(mTasks.begin(), mTasks.end(), [](const TTask* t) { return t == nullptr; });
}

void TTaskList::Compact()
{
    if (!mHoles)
        return;
    mTasks.erase(std::remove(mTasks.begin(), mTasks.end(), nullptr), mTasks.end());
    mHoles = false;
}

void TTaskList::FlushDeletions()
{
    // Destructors may touch this list again (orphan themselves, destroy others).
    while (!mPendingDeletions.empty()) {
        std::vector<TTask*> batch;
        batch.swap(mPendingDeletions);
        for (TTask* t : batch)
            delete t;
    }
}
