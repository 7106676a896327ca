#include "game/world/common/world_scene.h"

namespace {
tWorldScene* gWorldScene = nullptr;
}

tWorldScene* GetWorldScene()
{
    return gWorldScene;
}

void SetWorldScene(tWorldScene* scene)
{
    gWorldScene = scene;
}

str WorldLocalise(const str& text)
{
    return gWorldScene ? gWorldScene->LocaliseString(text) : text;
}
