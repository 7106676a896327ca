#pragma once
// One background image of a scene. Images too large for one texture are cut into tiles of at
// most 1024 × 1024, each its own sprite, so a painted scene wider than the screen can scroll.
// Copies share the source texture and the sprites.
//   tBGPlane plane;
//   if (plane.LoadFile("quest/garden/back.png", -100)) plane.AddPartsToSpriteHolder(root);

#include "core/math/rect.h"
#include "core/text/str.h"

#include <memory>
#include <vector>

class TSprite;
class TTexture;

class tBGPlane
{
public:
    static constexpr int kTileSide = 1024;

    void SetBlendMode(int mode) { mBlendMode = mode; }
    bool LoadFile(const str& name, int depth);
    // Rebuilds the parts from the source image (after the display lost its textures, say).
    bool ReloadFile();
    void AddPartsToSpriteHolder(const std::shared_ptr<TSprite>& holder);
    void RemovePartsFromSpriteHolder();

    const str& GetName() const { return mName; }
    const TRect& GetRect() const { return mRect; }
    int GetDepth() const { return mDepth; }
    bool IsTiled() const { return mTiled; }
    const std::vector<std::shared_ptr<TSprite>>& GetParts() const { return mParts; }
    const std::shared_ptr<TTexture>& GetSource() const { return mSource; }

private:
    bool AddPart(std::shared_ptr<TTexture> texture, int x, int y);

    str mName;
    TRect mRect{0, 0, 0, 0};
    int mDepth = 0;
    int mBlendMode = 0;
    bool mTiled = false;
    std::vector<std::shared_ptr<TSprite>> mParts;
    std::shared_ptr<TTexture> mSource;
};
