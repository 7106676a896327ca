#include "game/script/best_ref.h"

#include <map>

#include "core/text/str_view.h"
#include "render/anim/animated_texture.h"
#include "render/texture/texture.h"
#include "render/texture/texture_data.h"

namespace {

// The form in which a name was found.
enum FSTATE
{
    kColorAndMask = 1,
    kPlain = 2,
    kNothing = 3
};

const char* const RGBEXT = "";
const char* const MSKEXT = ".mask";

std::map<str, FSTATE>& refset()
{
    static std::map<str, FSTATE> cache;
    return cache;
}

std::shared_ptr<TTexture> DefaultMerged(const str& image, const str& mask)
{
    return TTexture::GetMerged(image, mask, 0);
}

std::shared_ptr<TTexture> DefaultPlain(const str& image)
{
    return TTexture::Get(image, 0);
}

TBestRefSource gSource{&DefaultMerged, &DefaultPlain, &TAnimatedTexture::Get};

}  // namespace

void SetBestRefSource(const TBestRefSource& source)
{
    gSource.merged = source.merged ? source.merged : &DefaultMerged;
    gSource.plain = source.plain ? source.plain : &DefaultPlain;
    gSource.animated = source.animated ? source.animated : &TAnimatedTexture::Get;
}

void ForgetBestRefs()
{
    refset().clear();
}

std::shared_ptr<TTexture> BestRef(str name, str options)
{
    const str colour = name + RGBEXT + options;
    const str mask = name + MSKEXT;
    const auto known = refset().find(name);
    if (known != refset().end()) {
        switch (known->second) {
        case kColorAndMask: return gSource.merged(colour, mask);
        case kPlain: return gSource.plain(name + options);
        case kNothing: return nullptr;
        }
    }
    std::shared_ptr<TTexture> merged;
    {
        // Most pictures have no mask: not finding one is not worth a line.
        TQuietTextureSearch searching;
        merged = gSource.merged(colour, mask);
    }
    if (merged) {
        refset()[name] = kColorAndMask;
        return merged;
    }
    auto plain = gSource.plain(name + options);
    refset()[name] = plain ? kPlain : kNothing;
    return plain;
}

std::shared_ptr<TAnimatedTexture> BestAnimatedRef(str name)
{
    name.replace(".xml", "", 0, 0);
    // The sheet's image names are read from the description's own folder, as the names inside
    // a description are: the folder once, never twice.
    const size_t slash = TextView(name).find_last_of("/\\");
    const str base = slash == std::string_view::npos ? name : name.substr(unsigned(slash + 1));
    {
        TQuietTextureSearch searching;
        if (auto texture = gSource.animated(name, base + RGBEXT, base + MSKEXT))
            return texture;
    }
    return gSource.animated(name, str(), str());
}

int BestFrameByName(const std::shared_ptr<TAnimatedTexture>& texture, str name)
{
    if (!texture)
        return -1;
    for (const char* extension : {".png", ".jpg", ".jp2"}) {
        const int frame = texture->GetFrameByName(name + extension);
        if (frame != -1)
            return frame;
    }
    return texture->GetFrameByName(name);
}
