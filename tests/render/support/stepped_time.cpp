#include "stepped_time.h"

#include "core/time/time_source.h"
#include "render/anim/sprite_task_host.h"

namespace {

uint32_t gNow = 1000;

}  // namespace

TSteppedTime::TSteppedTime()
{
    gNow = 1000;
    SetTimeSource([] { return gNow; });
    SetSpriteTaskList(&tasks);
    clock.Start();
}

TSteppedTime::~TSteppedTime()
{
    tasks.DestroyAll();
    SetSpriteTaskList(nullptr);
    SetTimeSource(nullptr);
}

void TSteppedTime::Advance(uint32_t ms)
{
    for (uint32_t i = 0; i < ms; ++i) {
        ++gNow;
        tasks.DoAll(TTask::kIdleContext);
    }
}
