#include "render/anim/sprite_task_host.h"

#include "core/platform/platform.h"
#include "core/system/random.h"
#include "core/time/task.h"

namespace {

TTaskList* gInstalledList = nullptr;

}  // namespace

void SetSpriteTaskList(TTaskList* list)
{
    gInstalledList = list;
}

void AdoptSpriteTask(TTask* task)
{
    if (gInstalledList)
        gInstalledList->AdoptTask(task);
    else if (TPlatform* platform = TPlatform::GetInstance())
        platform->AdoptTask(task);
}

bool OrphanSpriteTask(TTask* task)
{
    if (gInstalledList)
        return gInstalledList->OrphanTask(task);
    if (TPlatform* platform = TPlatform::GetInstance())
        return platform->OrphanTask(task);
    return false;
}

unsigned SpriteRandom()
{
    if (TPlatform* platform = TPlatform::GetInstance())
        return platform->Rand();
    static TRandom fallback;
    return fallback.Rand32();
}
