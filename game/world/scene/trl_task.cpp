#include "game/world/scene/trl_task.h"

#include "core/platform/platform.h"
#include "game/script/df_log.h"
#include "game/world/scene/scene.h"

tTRLTask::~tTRLTask()
{
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->OrphanTextureRefreshListener(this);
}

bool tTRLTask::DoTask()
{
    LOGIT("-------------> tTRLTask::DoTask()\n");
    if (tScene* scene = TheScene())
        scene->ReloadTextures();
    LOGIT("-------------> tTRLTask::DoTask() OUT\n");
    return true;
}
