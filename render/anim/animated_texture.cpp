#include "render/anim/animated_texture.h"

#include "core/files/asset_map.h"
#include "core/files/file.h"
#include "core/text/str_view.h"

#include <algorithm>
#include <string>

TMat3 TAnimFrame::TransformMatrix() const
{
    return TMat3(xform[0], xform[1], 0, xform[2], xform[3], 0, xform[4], xform[5], 1);
}

bool TAnimFrame::operator==(const TAnimFrame& o) const
{
    for (int i = 0; i < 6; ++i)
        if (xform[i] != o.xform[i])
            return false;
    return name == o.name && x == o.x && y == o.y && width == o.width && height == o.height && regX == o.regX &&
           regY == o.regY && anchors == o.anchors && alpha == o.alpha;
}

str DefaultAnimationScript(int frameCount)
{
    std::string script("function DoAnim()\n    delay(60);\n");
    if (frameCount > 0) {
        script += "    frames{";
        for (int i = 1; i <= frameCount; ++i) {
            if (i > 1)
                script += ',';
            script += std::to_string(i);
        }
        script += "};\n";
    }
    script += "end\n";
    return ToStr(script);
}

TAnimatedTexture::TAnimatedTexture(const str& assetName) : mAssetName(assetName) {}

TAnimatedTexture::~TAnimatedTexture() = default;

str TAnimatedTexture::GetHandle(const str& name, const str& image, const str& mask)
{
    return name + ":" + image + ":" + mask;
}

std::shared_ptr<TAnimatedTexture> TAnimatedTexture::InternalGet(const str& key)
{
    TAssetManager* manager = TAssetManager::GetInstance();
    return manager ? AssetCast<TAnimatedTexture>(manager->GetAsset(key)) : nullptr;
}

std::shared_ptr<TAnimatedTexture> TAnimatedTexture::InternalNew(const str& name, const str& image, const str& mask)
{
    auto texture = std::make_shared<TAnimatedTexture>(name);
    if (TAssetManager* manager = TAssetManager::GetInstance())
        manager->AddAsset(GetHandle(name, image, mask), texture);
    return texture;
}

std::shared_ptr<TAnimatedTexture> TAnimatedTexture::Get(const str& name, const str& image, const str& mask)
{
    if (std::shared_ptr<TAnimatedTexture> hit = InternalGet(GetHandle(name, image, mask)))
        return hit;
    std::shared_ptr<TAnimatedTexture> texture = InternalNew(name, image, mask);
    if (!texture->ParseAnimation(image, mask) || !texture->LoadTextures())
        return nullptr;
    texture->MarkMemoryUsed();
    return texture;
}

void TAnimatedTexture::RegisterAssetLoaders()
{
    TAssetLoader loader;
    loader.classId = ClassId();
    loader.key = [](const str& requested, const str&) { return GetHandle(requested, "", ""); };
    loader.load = [](const str& resolved) -> std::shared_ptr<TAsset> { return Get(resolved, "", ""); };
    TAssetMap::RegisterLoader("xml", loader);
    TAssetMap::RegisterLoader("anm", loader);
}

void TAnimatedTexture::Restore()
{
    TTexture::Restore();
}

void TAnimatedTexture::CopyPixels(int x, int y, const TRect* rect, std::shared_ptr<TTexture> dest)
{
    TTexture::CopyPixels(x, y, rect, std::move(dest));
}

const TAnimFrame* TAnimatedTexture::GetFrame(int frame) const
{
    if (frame < 0 || frame >= GetNumFrames())
        return nullptr;
    return &mAnim.frames[static_cast<size_t>(frame)];
}

unsigned int TAnimatedTexture::GetWidth()
{
    const TAnimFrame* f = GetFrame(mCurrentFrame);
    return f ? static_cast<unsigned int>(f->width) : 0;
}

unsigned int TAnimatedTexture::GetHeight()
{
    const TAnimFrame* f = GetFrame(mCurrentFrame);
    return f ? static_cast<unsigned int>(f->height) : 0;
}

void TAnimatedTexture::SetCurrentFrame(int frame)
{
    if (frame >= -1 && frame < GetNumFrames())
        mCurrentFrame = frame;
}

int TAnimatedTexture::GetFrameByName(const str& name) const
{
    for (size_t i = 0; i < mAnim.frames.size(); ++i)
        if (mAnim.frames[i].name == name)
            return static_cast<int>(i);
    return -1;
}

TRect TAnimatedTexture::GetFrameRect(int frame) const
{
    const TAnimFrame* f = GetFrame(frame);
    return f ? TRect(f->x, f->y, f->x + f->width, f->y + f->height) : TRect();
}

TRect TAnimatedTexture::GetBoundingBox(int frame) const
{
    const TAnimFrame* f = GetFrame(frame);
    return f ? TRect(-f->regX, -f->regY, f->width - f->regX, f->height - f->regY) : TRect();
}

TPoint TAnimatedTexture::GetRegistrationPoint(int frame) const
{
    const TAnimFrame* f = GetFrame(frame);
    return f ? TPoint(f->regX, f->regY) : TPoint();
}

void TAnimatedTexture::SetDefaultScript()
{
    mAnim.script = DefaultAnimationScript(GetNumFrames());
}

void TAnimatedTexture::Adopt(TAnimDescription&& anim)
{
    mAnim = std::move(anim);
    mAnim.largestWidth = 0;
    mAnim.largestHeight = 0;
    for (const TAnimFrame& f : mAnim.frames) {
        mAnim.largestWidth = std::max(mAnim.largestWidth, f.width);
        mAnim.largestHeight = std::max(mAnim.largestHeight, f.height);
    }
}

bool TAnimatedTexture::ParseAnimation(const str& image, const str& mask)
{
    str file = mAssetName;
    if (!TFile::Exists(file)) {
        file = mAssetName + ".xml";
        if (!TFile::Exists(file)) {
            file = mAssetName + ".anm";
            if (!TFile::Exists(file))
                return false;
        }
    }
    bool parsed = false;
    if (file.find(str(".xml"), str::kIgnoreCase) != str::npos)
        parsed = ParseFromXML(file);
    else if (file.find(str(".anm"), str::kIgnoreCase) != str::npos)
        parsed = ParseFromANM(file);
    if (!parsed)
        return false;

    const size_t slash = TextView(mAssetName).find_last_of("/\\");
    mFolder = slash == std::string_view::npos ? str() : mAssetName.substr(0, int(slash + 1));
    if (!image.empty())
        mAnim.imageName = image;
    if (!mask.empty())
        mAnim.maskName = mask;
    return true;
}

bool TAnimatedTexture::LoadTextures()
{
    TTextureData* data = GetTextureData();
    if (!data)
        return false;
    data->SetFlag(TTextureData::kAlpha, true);
    data->SetFlag(TTextureData::kAlphaFromFile, false);
    const bool masked = !mAnim.maskName.empty();
    {
        // The description's folder first: a miss there is only a step of the search.
        TQuietTextureSearch searching;
        const str mask = mFolder + mAnim.maskName;
        if (data->LoadFile((mFolder + mAnim.imageName).c_str(), masked ? mask.c_str() : nullptr))
            return true;
    }
    return data->LoadFile(mAnim.imageName.c_str(), masked ? mAnim.maskName.c_str() : nullptr);
}

void TAnimatedTexture::DrawSprite(const TDrawSpec& spec)
{
    const TAnimFrame* f = GetFrame(mCurrentFrame);
    if (!f)
        return;
    TDrawSpec s = spec;
    if (!(spec.flags & TDrawSpec::kUseCentre)) {
        s.flags |= TDrawSpec::kUseCentre;
        s.centre = TVec2(static_cast<float>(f->regX), static_cast<float>(f->regY));
        if (spec.flags & TDrawSpec::kFlipH)
            s.centre.x = static_cast<float>(GetWidth()) - s.centre.x;
        if (spec.flags & TDrawSpec::kFlipV)
            s.centre.y = static_cast<float>(GetHeight()) - s.centre.y;
    }
    if (f->HasTransform())
        s.matrix = f->TransformMatrix() * s.matrix;
    if (f->width == 0)
        return;
    const TRect sheet(f->x, f->y, f->x + f->width, f->y + f->height);
    if (spec.flags & TDrawSpec::kUseSourceRect) {
        const TRect moved(spec.source.left + f->x, spec.source.top + f->y, spec.source.right + f->x,
                          spec.source.bottom + f->y);
        s.source = TRect::Intersect(moved, sheet);
        // Outside the frame: an inverted rectangle would draw a mirrored piece of the sheet.
        if (s.source.right <= s.source.left || s.source.bottom <= s.source.top)
            return;
    } else {
        s.flags |= TDrawSpec::kUseSourceRect;
        s.source = sheet;
    }
    s.alpha *= f->alpha;
    TTexture::DrawSprite(s);
}
