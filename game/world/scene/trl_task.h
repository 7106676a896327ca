#pragma once
// Rebuilds the main scene's background images after the display lost its textures. The
// in-game root window keeps one as a member and lists it with the platform's texture-refresh
// listeners while it exists:
//   TPlatform::GetInstance()->AdoptTextureRefreshListener(&mTRL);
//   ... OrphanTextureRefreshListener(&mTRL) before the window goes.
// The task stays listed after each run (a list deletes a task that answers false, and this
// one belongs to its owner); destroyed while still listed, it takes itself off the
// platform's list.

#include "core/time/task.h"

class tTRLTask : public TTask
{
public:
    tTRLTask() = default;
    ~tTRLTask() override;
    tTRLTask(const tTRLTask&) = delete;
    tTRLTask& operator=(const tTRLTask&) = delete;

    bool DoTask() override;
};
