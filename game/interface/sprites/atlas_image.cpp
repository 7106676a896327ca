#include "game/interface/sprites/atlas_image.h"

#include "game/interface/sprites/screen_sprite_draw.h"
#include "game/script/df_log.h"
#include "game/script/window_autoreg.h"
#include "game/world/scene/scene.h"
#include "render/anim/animated_sprite.h"
#include "ui/style/window_style.h"
#include "ui/window/window_manager.h"

tAtlasImage::tAtlasImage() = default;
tAtlasImage::~tAtlasImage() = default;

TWindow* tAtlasImage::DynamicCreate()
{
    return new tAtlasImage;
}

void tAtlasImage::Init(TWindowStyle& style)
{
    TWindow::Init(style);
    mSprite = TAnimatedSprite::Create(0);
    const str frame = style.GetString("frame", str());
    if (tScene* scene = TheScene())
        scene->AssignAtlasTexture(mSprite, frame);
    else
        LOGIT("tAtlasImage[%s]: no scene to give the frame %s\n", GetName().c_str(), frame.c_str());
}

void tAtlasImage::Draw()
{
    DrawScreenSprite(mSprite);
}

bool tAtlasImage::OnTaskAnimate()
{
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->InvalidateScreen();
    return true;
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"tAtlasImage", tAtlasImage::ClassId(), &tAtlasImage::DynamicCreate},
};
