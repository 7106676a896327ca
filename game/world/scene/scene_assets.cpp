// What a scene loads besides its scripts: atlases, background images, the light map and the
// ground mesh.

#include "game/script/best_ref.h"
#include "game/script/df_log.h"
#include "game/world/scene/scene.h"
#include "render/anim/animated_sprite.h"
#include "render/anim/animated_texture.h"
#include "render/sprite/sprite.h"
#include "render/texture/texture.h"

#include <algorithm>
#include <cmath>

namespace {

// A coordinate cut to a whole number and clamped to [0, last] before it becomes an int, so
// points far outside (or not a number) cannot overflow.
int LightmapIndex(float coordinate, int last)
{
    if (!(coordinate > 0))
        return 0;
    if (coordinate >= float(last))
        return last;
    return int(coordinate);
}

}  // namespace

int tScene::LoadAtlas(const str& name)
{
    const str resolved = ComputeAssetName(name);
    std::shared_ptr<TAnimatedTexture> atlas = BestAnimatedRef(resolved);
    if (!atlas) {
        LOGIT("Failed to load atlas %s\n", resolved.c_str());
        return 1;
    }
    mAtlases.push_back(std::move(atlas));
    return 0;
}

bool tScene::AddBGImage(const str& name, int depth, int blend)
{
    if (depth == DEPTH_BACKMOST)
        depth = 0;
    else if (depth == DEPTH_FRONTMOST)
        depth = 600;

    for (const std::shared_ptr<TAnimatedTexture>& atlas : mAtlases) {
        const int frame = BestFrameByName(atlas, name);
        if (frame < 0)
            continue;
        atlas->SetCurrentFrame(frame);
        mSceneBounds = TRect::Union(mSceneBounds, atlas->GetBoundingBox(frame));
        std::shared_ptr<TAnimatedSprite> sprite = TAnimatedSprite::Create(depth);
        sprite->SetTexture(atlas);
        sprite->SetCurrentFrame(frame);
        sprite->mSpec = TDrawSpec(TVec2(0, 0), 1.0f, 1.0f, 0);
        sprite->mSpec.blendMode = blend;
        if (mWorldHolder)
            mWorldHolder->AddChild(sprite);
        return true;
    }

    tBGPlane plane;
    plane.SetBlendMode(blend);
    if (!plane.LoadFile(ComputeAssetName(name), depth))
        return false;
    mPlanes.push_back(plane);
    const TRect& rect = plane.GetRect();
    mSceneBounds = TRect::Union(mSceneBounds, TRect(0, 0, rect.right - rect.left, rect.bottom - rect.top));
    plane.AddPartsToSpriteHolder(mWorldHolder);
    return true;
}

DFRES tScene::LoadLightmap(const str& name)
{
    mLightmap.clear();
    mLightmap.shrink_to_fit();
    mLightmapWidth = mLightmapHeight = 0;

    const str resolved = ComputeAssetName(name);
    std::shared_ptr<TTexture> image = BestRef(resolved, "?simple");
    TColor32* pixels = nullptr;
    unsigned pitch = 0;
    if (!image || !image->Lock(&pixels, &pitch)) {
        LOGIT("No lightmap image %s: the scene is lit evenly\n", resolved.c_str());
        return DFRES_OK;
    }
    const int width = int(image->GetWidth());
    const int height = int(image->GetHeight());
    mLightmap.resize(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y)
        std::copy_n(pixels + size_t(y) * pitch, width, mLightmap.begin() + ptrdiff_t(y) * width);
    image->Unlock();
    mLightmapWidth = width;
    mLightmapHeight = height;
    return DFRES_OK;
}

TColor32 tScene::GetLightmapPixel(const tVector2<float>& point) const
{
    if (mLightmap.empty())
        return TColor32(0xffffffffu);
    const int x = LightmapIndex(point.x, mLightmapWidth - 1);
    const int y = LightmapIndex(point.y, mLightmapHeight - 1);
    return mLightmap[size_t(y) * size_t(mLightmapWidth) + size_t(x)];
}

DFRES tScene::LoadGround(const str& name)
{
    // Tried on a spare mesh first: a ground that cannot load must not wipe the one in use.
    const str verts = ComputeAssetName(name + ".dverts"), polys = ComputeAssetName(name + ".dmesh");
    tMesh trial;
    if (trial.LoadVertlist(verts) != 0 || trial.LoadPolylist(polys) != 0) {
        LOGIT("tScene::LoadGround(%s): cannot load %s or %s; the ground stays as it was\n", name.c_str(),
              verts.c_str(), polys.c_str());
        return DFRES_FAIL;
    }
    const DFRES loaded = LoadVerts(name + ".dverts");
    return loaded != DFRES_OK ? loaded : LoadMesh(name + ".dmesh");
}

DFRES tScene::LoadVerts(const str& name)
{
    return DFResult(mGround.LoadVertlist(ComputeAssetName(name)));
}

DFRES tScene::LoadMesh(const str& name)
{
    return DFResult(mGround.LoadPolylist(ComputeAssetName(name)));
}

bool tScene::HasAtlasTexture(const str& name) const
{
    return std::any_of(mAtlases.begin(), mAtlases.end(), [&](const std::shared_ptr<TAnimatedTexture>& atlas) {
        return BestFrameByName(atlas, name) >= 0;
    });
}

bool tScene::AssignAtlasTexture(const std::shared_ptr<TAnimatedSprite>& sprite, const str& name)
{
    for (const std::shared_ptr<TAnimatedTexture>& atlas : mAtlases) {
        const int frame = BestFrameByName(atlas, name);
        if (frame < 0 || !sprite)
            continue;
        atlas->SetCurrentFrame(frame);
        sprite->SetTexture(atlas);
        sprite->SetCurrentFrame(frame);
        return true;
    }
    LOGIT("AssignAtlasTexture(%s) failed\n", name.c_str());
    return false;
}

void tScene::ReloadTextures()
{
    LOGIT("tScene::ReloadTextures()\n");
    for (tBGPlane& plane : mPlanes) {
        plane.ReloadFile();
        plane.AddPartsToSpriteHolder(mWorldHolder);
    }
}
