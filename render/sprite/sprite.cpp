#include "render/sprite/sprite.h"

#include "core/config/config.h"
#include "core/debug/debug_log.h"
#include "render/sprite/sprite_pick.h"
#include "render/texture/texture.h"

#include <algorithm>
#include <cmath>

namespace {

int gSpriteCount = 0;

void PublishSpriteCount()
{
    TConfig::SetConfig("current_sprite_count", str::getFormatted("%d", gSpriteCount));
}

}  // namespace

int TSprite::GetSpriteCount()
{
    return gSpriteCount;
}

std::shared_ptr<TSprite> TSprite::Create(int layer, std::shared_ptr<TTexture> texture)
{
    std::shared_ptr<TSprite> sprite(new TSprite(layer));
    if (texture)
        sprite->SetTexture(std::move(texture));
    return sprite;
}

TSprite::TSprite(int layer) : mLayer(layer)
{
    ++gSpriteCount;
    PublishSpriteCount();
}

TSprite::~TSprite()
{
    RemoveChildren();
    if (--gSpriteCount == 0)
        ReleasePickTarget();
    PublishSpriteCount();
}

void TSprite::SetLayer(int layer)
{
    if (layer == mLayer)
        return;
    mLayer = layer;
    if (mParent)
        mParent->ResortSprites();
}

void TSprite::SetTexture(std::shared_ptr<TTexture> texture)
{
    mTexture = std::move(texture);
}

bool TSprite::IsSelfOrAncestor(const TSprite* sprite) const
{
    for (const TSprite* s = this; s; s = s->mParent)
        if (s == sprite)
            return true;
    return false;
}

bool TSprite::AddChild(std::shared_ptr<TSprite> child)
{
    if (!child)
        return false;
    if (child->mParent == this)
        return true;
    if (IsSelfOrAncestor(child.get())) {
        WriteDbg("TSprite::AddChild: refused a child that would contain its own parent");
        return false;
    }
    if (child->mParent)
        child->mParent->RemoveChild(child);
    // The list is kept in layer order, so a child at or above the last layer just goes last,
    // where a stable sort would put it; adding many children stays linear.
    const bool last = mChildren.empty() || mChildren.back()->mLayer <= child->mLayer;
    mChildren.push_back(child);
    if (!last)
        ResortSprites();
    child->mParent = this;
    return true;
}

bool TSprite::RemoveChild(std::shared_ptr<TSprite> child)
{
    auto it = std::find(mChildren.begin(), mChildren.end(), child);
    if (it == mChildren.end())
        return false;
    child->mParent = nullptr;
    mChildren.erase(it);
    return true;
}

void TSprite::RemoveChildren()
{
    for (const std::shared_ptr<TSprite>& child : mChildren)
        child->mParent = nullptr;
    // Moved out first: a child's destructor may reach back into this sprite.
    std::vector<std::shared_ptr<TSprite>> gone;
    gone.swap(mChildren);
}

void TSprite::ResortSprites()
{
    std::stable_sort(
        mChildren.begin(), mChildren.end(),
        [](const std::shared_ptr<TSprite>& a, const std::shared_ptr<TSprite>& b) { return a->mLayer < b->mLayer; });
}

TDrawSpec TSprite::Combine(const TDrawSpec& parent) const
{
    TDrawSpec s = mSpec;
    s.matrix = mSpec.matrix * parent.matrix;
    s.alpha = mSpec.alpha * parent.alpha;
    s.flags = mSpec.flags ^ (parent.flags & (TDrawSpec::kFlipH | TDrawSpec::kFlipV));
    if (s.blendMode == -1)
        s.blendMode = parent.blendMode;
    return s;
}

void TSprite::Draw(const TDrawSpec& parent, int depth)
{
    if (!mVisible)
        return;
    const TDrawSpec s = Combine(parent);
    if (depth == 0 || mChildren.empty()) {
        if (mTexture)
            mTexture->DrawSprite(s);
        return;
    }
    // A child may change the list while it draws (a script removing its sprite): walk a copy.
    // The copies live in one buffer per nesting level, reused from frame to frame.
    thread_local std::vector<std::vector<std::shared_ptr<TSprite>>> copies;
    thread_local size_t level = 0;
    if (copies.size() <= level)
        copies.resize(level + 1);
    copies[level].assign(mChildren.begin(), mChildren.end());
    ++level;
    struct TLevelExit
    {
        size_t& level;
        ~TLevelExit()
        {
            --level;
            // Let go of the children at once; only the capacity is kept.
            copies[level].clear();
        }
    } exit{level};
    // Indexing through `copies` each time: a deeper level may grow the outer vector.
    const size_t mine = level - 1;
    const size_t n = copies[mine].size();
    size_t i = 0;
    for (; i < n && copies[mine][i]->mLayer < 0; ++i)
        copies[mine][i]->Draw(s, depth - 1);
    if (mTexture)
        mTexture->DrawSprite(s);
    for (; i < n; ++i)
        copies[mine][i]->Draw(s, depth - 1);
}

TRect TSprite::GetRect(const TDrawSpec& parent, int depth)
{
    const TDrawSpec s = Combine(parent);
    TRect r(kEmptyRectLow, kEmptyRectLow, -kEmptyRectLow, -kEmptyRectLow);
    if (mTexture) {
        float w = static_cast<float>(mTexture->GetWidth());
        float h = static_cast<float>(mTexture->GetHeight());
        if (mSpec.flags & TDrawSpec::kUseSourceRect) {
            // The drawn quad is the source rectangle's size, wherever it starts in the texture.
            w = static_cast<float>(mSpec.source.right - mSpec.source.left);
            h = static_cast<float>(mSpec.source.bottom - mSpec.source.top);
        }
        const TVec2 o = (mSpec.flags & TDrawSpec::kUseCentre) ? TVec2(-mSpec.centre.x, -mSpec.centre.y)
                                                              : TVec2(-w * 0.5f, -h * 0.5f);
        const TVec2 corners[4] = {o, TVec2(o.x + w, o.y), TVec2(o.x, o.y + h), TVec2(o.x + w, o.y + h)};
        float minX = 0, minY = 0, maxX = 0, maxY = 0;
        for (int k = 0; k < 4; ++k) {
            const TVec2 p = corners[k] * s.matrix;
            minX = k ? std::min(minX, p.x) : p.x;
            minY = k ? std::min(minY, p.y) : p.y;
            maxX = k ? std::max(maxX, p.x) : p.x;
            maxY = k ? std::max(maxY, p.y) : p.y;
        }
        r = TRect(static_cast<int32_t>(minX), static_cast<int32_t>(minY), static_cast<int32_t>(maxX),
                  static_cast<int32_t>(maxY));
    }
    if (depth != 0)
        for (const std::shared_ptr<TSprite>& child : mChildren)
            r = TRect::Union(r, child->GetRect(s, depth - 1));
    return r;
}
