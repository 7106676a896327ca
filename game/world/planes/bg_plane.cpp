#include "game/world/planes/bg_plane.h"

#include "game/script/best_ref.h"
#include "game/script/df_log.h"
#include "render/sprite/sprite.h"
#include "render/texture/texture.h"

#include <algorithm>

bool tBGPlane::LoadFile(const str& name, int depth)
{
    mName = name;
    // Readable pixels first: the tiles are copied out of them.
    std::shared_ptr<TTexture> readable = BestRef(name, "?slow");
    if (!readable) {
        LOGIT("Failed to load %s\n", name.c_str());
        return false;
    }
    const int width = static_cast<int>(readable->GetWidth());
    const int height = static_cast<int>(readable->GetHeight());
    mRect = TRect(0, 0, width, height);
    mDepth = depth;
    if (width <= kTileSide - 1 && height <= kTileSide - 1) {
        mSource = BestRef(name, "");
        if (!mSource) {
            LOGIT("Failed to load %s\n", name.c_str());
            return false;
        }
        mTiled = false;
    } else {
        mSource = std::move(readable);
        mTiled = true;
    }
    return ReloadFile();
}

bool tBGPlane::AddPart(std::shared_ptr<TTexture> texture, int x, int y)
{
    std::shared_ptr<TSprite> sprite = TSprite::Create(mDepth, std::move(texture));
    if (!sprite) {
        LOGIT("Failed to create sprite\n");
        return false;
    }
    sprite->mSpec = TDrawSpec(TVec2(0, 0), 1.0f, 1.0f, TDrawSpec::kUseCentre);
    sprite->mSpec.centre = TVec2(static_cast<float>(-x), static_cast<float>(-y));
    sprite->mSpec.blendMode = mBlendMode;
    mParts.push_back(std::move(sprite));
    return true;
}

bool tBGPlane::ReloadFile()
{
    RemovePartsFromSpriteHolder();
    mParts.clear();
    if (!mSource)
        return false;
    const int width = static_cast<int>(mSource->GetWidth());
    const int height = static_cast<int>(mSource->GetHeight());
    if (!mTiled)
        return AddPart(mSource, 0, 0);
    for (int x = 0; x < width; x += kTileSide) {
        for (int y = 0; y < height; y += kTileSide) {
            const int w = std::min(width - x, kTileSide);
            const int h = std::min(height - y, kTileSide);
            std::shared_ptr<TTexture> tile =
                TTexture::Create(static_cast<unsigned>(w), static_cast<unsigned>(h), mSource->HasAlpha());
            if (tile) {
                const TRect from(x, y, x + w, y + h);
                mSource->CopyPixels(0, 0, &from, tile);
            }
            if (!tile || !AddPart(std::move(tile), x, y))
                return false;
        }
    }
    return true;
}

void tBGPlane::AddPartsToSpriteHolder(const std::shared_ptr<TSprite>& holder)
{
    if (!holder)
        return;
    for (const std::shared_ptr<TSprite>& part : mParts)
        holder->AddChild(part);
}

void tBGPlane::RemovePartsFromSpriteHolder()
{
    for (const std::shared_ptr<TSprite>& part : mParts) {
        if (TSprite* parent = part->GetParent())
            parent->RemoveChild(part);
    }
}
