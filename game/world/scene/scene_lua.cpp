// STUB: replaced by the owner of this file.
#include "game/world/actor/girl.h"
#include "game/world/scene/scene.h"
#include "core/script/script.h"
#include "online/web/flash_host.h"
#include "render/anim/animated_texture.h"
#include "render/sprite/sprite.h"
#include "render/text/text_graphic.h"

void tScene::LuaAdd(dfLua&) {}
