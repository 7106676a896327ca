#pragma once
// A texture holding a sheet of animation frames, each with its rectangle in the sheet, its
// registration point, an optional transform, an alpha multiplier and named anchors, plus the
// Lua script that plays them. Described by an XML file (".xml") or its binary form (".anm").
// Drawing draws the current frame; the animated sprite steps the frames.
//   auto walk = TAnimatedTexture::Get("anims/walk", "", "");   // walk.xml, else walk.anm
//   walk->SetCurrentFrame(walk->GetFrameByName("step2"));
//   walk->DrawSprite(100, 200, 1.0f, 1.0f, 0.0f, 0);

#include "core/math/mat.h"
#include "core/math/rect.h"
#include "core/text/str.h"
#include "render/texture/texture.h"

#include <cstdint>
#include <memory>
#include <vector>

struct TAnimAnchor
{
    str name;
    int32_t x = 0;
    int32_t y = 0;

    bool operator==(const TAnimAnchor&) const = default;
};

struct TAnimFrame
{
    // A value of `a` meaning the frame has no transform.
    static constexpr float kNoTransform = -10000000.0f;

    str name;
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t regX = 0;
    int32_t regY = 0;
    std::vector<TAnimAnchor> anchors;
    // a, b, c, d, tx, ty: the rows (a, b, 0), (c, d, 0), (tx, ty, 1).
    float xform[6] = {kNoTransform, 0, 0, 0, 0, 0};
    float alpha = 1.0f;

    bool HasTransform() const { return xform[0] != kNoTransform; }
    TMat3 TransformMatrix() const;
    bool operator==(const TAnimFrame& o) const;
};

// What a description file holds.
struct TAnimDescription
{
    str sequenceName;
    str source;
    str imageName;
    str maskName;
    str script;
    int32_t regX = 0;
    int32_t regY = 0;
    int32_t sheetWidth = 0;
    int32_t sheetHeight = 0;
    int32_t largestWidth = 0;
    int32_t largestHeight = 0;
    std::vector<TAnimFrame> frames;
};

class TAnimatedTexture : public TTexture
{
    TV_ASSET_CLASS(TAnimatedTexture, TTexture)

public:
    explicit TAnimatedTexture(const str& assetName);
    ~TAnimatedTexture() override;

    // `image` and `mask`, when not empty, replace the names the description gives.
    static std::shared_ptr<TAnimatedTexture> Get(const str& name, const str& image, const str& mask);
    static str GetHandle(const str& name, const str& image, const str& mask);
    // Registers the ".xml" and ".anm" loaders of the asset list.
    static void RegisterAssetLoaders();

    void Restore() override;
    using TTexture::DrawSprite;
    void DrawSprite(const TDrawSpec& spec) override;
    void CopyPixels(int x, int y, const TRect* rect, std::shared_ptr<TTexture> dest) override;
    // The current frame's size; 0 when no frame is current.
    unsigned int GetWidth() override;
    unsigned int GetHeight() override;

    int GetNumFrames() const { return static_cast<int>(mAnim.frames.size()); }
    // Accepted only for -1 (nothing drawn) up to the last frame.
    void SetCurrentFrame(int frame);
    int GetCurrentFrame() const { return mCurrentFrame; }
    int GetFrameByName(const str& name) const;
    // Null outside the frame range.
    const TAnimFrame* GetFrame(int frame) const;
    TRect GetFrameRect(int frame) const;
    TRect GetBoundingBox(int frame) const;
    TPoint GetRegistrationPoint(int frame) const;
    TPoint GetRegistrationPoint() const { return TPoint(mAnim.regX, mAnim.regY); }
    str GetScript() const { return mAnim.script; }
    str GetPath() const { return mFolder; }
    str GetAssetName() const { return mAssetName; }
    const TAnimDescription& GetDescription() const { return mAnim; }

    // The loading steps.
    void SetDefaultScript();
    bool ParseAnimation(const str& image, const str& mask);
    bool ParseFromXML(const str& file);
    bool ParseFromANM(const str& file);
    bool LoadTextures();

protected:
    static std::shared_ptr<TAnimatedTexture> InternalGet(const str& key);
    static std::shared_ptr<TAnimatedTexture> InternalNew(const str& name, const str& image, const str& mask);

private:
    void Adopt(TAnimDescription&& anim);

    str mAssetName;
    str mFolder;
    int32_t mCurrentFrame = 0;
    TAnimDescription mAnim;
};

// The default script for a number of frames: DoAnim shows every frame once, 60 ms each.
str DefaultAnimationScript(int frameCount);
