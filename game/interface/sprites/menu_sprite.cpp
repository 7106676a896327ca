#include "game/interface/sprites/menu_sprite.h"

#include "game/interface/sprites/screen_sprite_draw.h"
#include "game/script/df_log.h"
#include "game/script/prevent_clipping.h"
#include "game/script/window_autoreg.h"
#include "render/anim/animated_sprite.h"
#include "ui/style/window_style.h"
#include "ui/window/window_manager.h"

tMenuSprite::tMenuSprite() = default;
tMenuSprite::~tMenuSprite() = default;

TWindow* tMenuSprite::DynamicCreate()
{
    return new tMenuSprite;
}

void tMenuSprite::Init(TWindowStyle& style)
{
    TWindow::Init(style);
    mSprite = TAnimatedSprite::Create(0);
    const str file = style.GetString("file", str());
    if (!file.empty()) {
        if (!mSprite->Init(file, str(), str()))
            LOGIT("tMenuSprite[%s]: no animation %s\n", GetName().c_str(), file.c_str());
        mSprite->SetTexture(mSprite->GetAnimatedTexture());
        TRect place;
        GetWindowRect(&place);
        SetWindowPos(0, 0);
        SetWindowSize(800, 600);
        mFullScreen = true;
        mSprite->mSpec = TDrawSpec(TVec2(float(place.left), float(place.top)), 1.0f, 1.0f, 0);
    }
    const str anim = style.GetString("anim", str());
    if (!anim.empty()) {
        mSprite->Play(anim);
        StartWindowAnimation(20, true, true, false);
    }
}

void tMenuSprite::PostChildrenInit(TWindowStyle& style)
{
    TWindow::PostChildrenInit(style);
    if (!mFullScreen)
        return;
    SetWindowPos(0, 0);
    SetWindowSize(800, 600);
}

void tMenuSprite::Draw()
{
    if (!mSprite)
        return;
    tPreventClipping clip;
    DrawScreenSprite(mSprite);
}

bool tMenuSprite::OnTaskAnimate()
{
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->InvalidateScreen();
    return true;
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"tMenuSprite", tMenuSprite::ClassId(), &tMenuSprite::DynamicCreate},
};
