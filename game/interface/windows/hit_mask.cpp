#include "game/interface/windows/hit_mask.h"

#include "game/script/best_ref.h"
#include "game/script/df_log.h"
#include "render/texture/texture.h"

bool tHitMask::Load(const str& name)
{
    Clear();
    std::shared_ptr<TTexture> texture = BestRef(name, "?simple");
    TColor32* pixels = nullptr;
    unsigned pitch = 0;
    if (!texture || !texture->Lock(&pixels, &pitch) || !pixels) {
        LOGIT("Failed to load intercept mask %s\n", name.c_str());
        return false;
    }
    Set(pixels, pitch, int(texture->GetWidth()), int(texture->GetHeight()));
    texture->Unlock();
    return true;
}

void tHitMask::Set(const TColor32* pixels, unsigned pitch, int width, int height)
{
    mMask.assign(size_t(width) * size_t(height), 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            mMask[size_t(y) * size_t(width) + size_t(x)] = pixels[size_t(y) * pitch + size_t(x)].Red() != 0;
    mWidth = width;
    mHeight = height;
}

void tHitMask::Clear()
{
    mMask.clear();
    mWidth = mHeight = 0;
}

bool tHitMask::Hit(const TPoint& point) const
{
    return point.x >= 0 && point.x < mWidth && point.y >= 0 && point.y < mHeight &&
           mMask[size_t(point.y) * size_t(mWidth) + size_t(point.x)] != 0;
}
