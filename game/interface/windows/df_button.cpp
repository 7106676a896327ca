#include "game/interface/windows/df_button.h"

#include "core/debug/debug_log.h"
#include "game/interface/windows/window_helpers.h"
#include "game/script/best_ref.h"
#include "render/texture/texture.h"
#include "ui/style/window_style.h"

std::function<void(const str&)>& ButtonCursorActivator()
{
    static std::function<void(const str&)> activator;
    return activator;
}

tDFButton::~tDFButton()
{
    DropMouseWindowClaim(this);
}

TWindow* tDFButton::DynamicCreate()
{
    return new tDFButton;
}

void tDFButton::Init(TWindowStyle& style)
{
    TButton::Init(style);
    mCursor = style.GetString("cursor", str());
    if (mCursor.empty())
        mCursor = "cursor";
    const str mask = style.GetString("mask", str());
    if (mask.empty())
        return;
    std::shared_ptr<TTexture> texture = BestRef(mask, "?simple");
    if (!texture) {
        WriteDbg("Failed to load intercept mask %s", mask.c_str());
        return;
    }
    TColor32* pixels = nullptr;
    unsigned pitch = 0;
    if (!texture->Lock(&pixels, &pitch) || !pixels)
        return;
    SetHitMask(pixels, pitch, int(texture->GetWidth()), int(texture->GetHeight()));
    texture->Unlock();
}

void tDFButton::SetHitMask(const TColor32* pixels, unsigned pitch, int width, int height)
{
    mMask.assign(size_t(width) * size_t(height), 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            mMask[size_t(y) * size_t(width) + size_t(x)] = pixels[size_t(y) * pitch + size_t(x)].Red() != 0;
    mMaskWidth = width;
    mMaskHeight = height;
}

bool tDFButton::TestMousePoint(const TPoint& point) const
{
    if (mMask.empty())
        return true;
    return point.x >= 0 && point.x < mMaskWidth && point.y >= 0 && point.y < mMaskHeight &&
           mMask[size_t(point.y) * size_t(mMaskWidth) + size_t(point.x)] == 1;
}

bool tDFButton::OnMouseDown(const TPoint& point)
{
    return TestMousePoint(point) && TButton::OnMouseDown(point);
}

void tDFButton::StateUpdate(EMouseState newState, EMouseState oldState)
{
    TButton::StateUpdate(newState, oldState);
    if (newState != kAway)
        SetMouseWindow(this);
    else
        DropMouseWindowClaim(this);
    const bool arrived = (newState & kOver) && !(oldState & kOver);
    if (arrived && !mCursor.empty() && ButtonCursorActivator())
        ButtonCursorActivator()(mCursor);
}
