#include "game/world/scene/scene.h"

#include "core/script/script.h"
#include "game/world/actor/girl.h"
#include "game/world/state/gamestate.h"
#include "online/web/flash_host.h"
#include "render/anim/animated_texture.h"
#include "render/sprite/sprite.h"
#include "render/text/text_graphic.h"

tClassInfo tScene::civ("tScene", &tScene::Factory, &tScene::LuaAdd, &baseObj::civ);

baseObj* tScene::Factory()
{
    return new tScene;
}

tScene::tScene() : mSaySpec(DefaultSaySpec())
{
    mClassInfo = &civ;
}

tScene::~tScene()
{
    // Whoever closes the sub-scene, what it allowed ends here.
    if (this == SubScene())
        gGamestate.EndSubScene();
    DumpScene();
}

tScene*& TheScene()
{
    static tScene* scene = nullptr;
    return scene;
}

tScene*& SubScene()
{
    static tScene* scene = nullptr;
    return scene;
}

tScene* ActiveScene()
{
    return SubScene() ? SubScene() : TheScene();
}

bool tScene::HasSubScene() const
{
    return SubScene() && SubScene() != this;
}
