#pragma once
// A node of the 2D scene tree: an optional texture, its own draw spec and children kept in layer
// order. Children with a negative layer are drawn behind the parent's texture, the rest in front.
//   auto root = TSprite::Create(0, nullptr);
//   auto door = TSprite::Create(1, TTexture::Get("door.png", 0));
//   door->mSpec.matrix[2] = TVec3(120, 80, 1);
//   root->AddChild(door);
//   root->Draw(TDrawSpec(), -1);   // inside Begin2d/End2d

#include "core/math/rect.h"
#include "render/renderer/render_types.h"

#include <cstdint>
#include <memory>
#include <vector>

class TTexture;

using TSpriteClassId = std::uintptr_t;

// Declares ClassId, GetTypeName and IsKindOf for a sprite class derived from `Base`.
#define TV_SPRITE_CLASS(Name, Base)                                                                                    \
public:                                                                                                                \
    static TSpriteClassId ClassId()                                                                                    \
    {                                                                                                                  \
        static const char tag = 0;                                                                                     \
        return reinterpret_cast<TSpriteClassId>(&tag);                                                                 \
    }                                                                                                                  \
    const char* GetTypeName() const override                                                                           \
    {                                                                                                                  \
        return #Name;                                                                                                  \
    }                                                                                                                  \
    bool IsKindOf(TSpriteClassId id) const override                                                                    \
    {                                                                                                                  \
        return id == ClassId() || Base::IsKindOf(id);                                                                  \
    }

class TSprite : public std::enable_shared_from_this<TSprite>
{
public:
    // The empty rectangle that any union replaces.
    static constexpr int32_t kEmptyRectLow = 10000000;

    static std::shared_ptr<TSprite> Create(int layer, std::shared_ptr<TTexture> texture);
    virtual ~TSprite();
    TSprite(const TSprite&) = delete;
    TSprite& operator=(const TSprite&) = delete;

    virtual const char* GetTypeName() const { return "TSprite"; }
    virtual bool IsKindOf(TSpriteClassId id) const { return id == ClassId(); }
    static TSpriteClassId ClassId()
    {
        static const char tag = 0;
        return reinterpret_cast<TSpriteClassId>(&tag);
    }

    // depth 0 draws this sprite alone, 1 adds its children, a negative depth the whole subtree.
    virtual void Draw(const TDrawSpec& parent, int depth);
    virtual bool RemoveChild(std::shared_ptr<TSprite> child);
    // Screen rectangle covered by the sprite (and its children for depth != 0).
    virtual TRect GetRect(const TDrawSpec& parent, int depth);
    // A negative threshold tests the rectangle only; otherwise the drawn alpha at the point
    // must reach the threshold.
    virtual bool HitTest(const TPoint& point, const TDrawSpec& parent, int alphaThreshold, int depth);
    virtual void SetTexture(std::shared_ptr<TTexture> texture);
    virtual void ResortSprites();

    void SetVisible(bool visible) { mVisible = visible; }
    bool IsVisible() const { return mVisible; }
    void SetLayer(int layer);
    int GetLayer() const { return mLayer; }
    // Moves the child here from any other parent. A child that is this sprite or one of its
    // ancestors is refused (false), as it would close a loop.
    bool AddChild(std::shared_ptr<TSprite> child);
    void RemoveChildren();

    TSprite* GetParent() const { return mParent; }
    const std::vector<std::shared_ptr<TSprite>>& GetChildren() const { return mChildren; }
    std::shared_ptr<TTexture> GetTexture() const { return mTexture; }

    // This sprite's own placement, tint, flips and blend mode.
    TDrawSpec mSpec;

    // Number of live sprites (also published as "current_sprite_count").
    static int GetSpriteCount();

protected:
    explicit TSprite(int layer);
    // The sprite's own spec combined with the parent's.
    TDrawSpec Combine(const TDrawSpec& parent) const;

private:
    bool IsSelfOrAncestor(const TSprite* sprite) const;

    TSprite* mParent = nullptr;
    bool mVisible = true;
    int32_t mLayer = 0;
    std::shared_ptr<TTexture> mTexture;
    std::vector<std::shared_ptr<TSprite>> mChildren;
};
