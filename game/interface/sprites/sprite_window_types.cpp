#include "game/interface/sprites/sprite_window_types.h"

#include "game/interface/sprites/atlas_image.h"
#include "game/interface/sprites/menu_sprite.h"
#include "game/interface/windows/game_window_types.h"

void RegisterSpriteWindowTypes(TWindowManager* manager)
{
    RegisterGameWindowType(manager, "tMenuSprite", tMenuSprite::ClassId(), &tMenuSprite::DynamicCreate);
    RegisterGameWindowType(manager, "tAtlasImage", tAtlasImage::ClassId(), &tAtlasImage::DynamicCreate);
}
