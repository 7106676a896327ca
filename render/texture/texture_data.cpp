#include "render/texture/texture_data.h"

#include "core/config/config.h"
#include "core/debug/debug_log.h"
#include "core/files/file.h"
#include "render/image/jp2_image.h"
#include "render/image/jpeg_image.h"
#include "render/image/png_image.h"
#include "render/renderer/renderer.h"

namespace {

constexpr uint32_t kMaxDeviceSide = 1024;

bool Contains(const str& text, const char* part)
{
    return text.find(str(part)) != str::npos;
}

enum class EDecoder
{
    kNone,
    kPng,
    kJpeg,
    kJp2
};

EDecoder DecoderFor(const str& name)
{
    if (Contains(name, ".png"))
        return EDecoder::kPng;
    if (Contains(name, ".jpg"))
        return EDecoder::kJpeg;
    if (Contains(name, ".jp2"))
        return EDecoder::kJp2;
    return EDecoder::kNone;
}

// A decoded block and the release routine of the decoder that made it.
struct TDecoded
{
    unsigned char* pixels = nullptr;
    EDecoder decoder = EDecoder::kNone;
    int width = 0;
    int height = 0;
    int side = 0;
    int hasAlpha = 0;

    TDecoded() = default;
    TDecoded(const TDecoded&) = delete;
    TDecoded& operator=(const TDecoded&) = delete;
    ~TDecoded()
    {
        switch (decoder) {
        case EDecoder::kPng: EzPngFreeImage(pixels); break;
        case EDecoder::kJpeg: EzJpegFreeImage(pixels); break;
        case EDecoder::kJp2: EzJp2FreeImage(pixels); break;
        case EDecoder::kNone: break;
        }
    }

    bool Decode(EDecoder which, const str& name)
    {
        decoder = which;
        unsigned long unused = 0;
        switch (which) {
        case EDecoder::kPng: return EzPngLoadImage(name.c_str(), &pixels, &width, &height, &side, &unused, &hasAlpha);
        case EDecoder::kJpeg: return EzJpegLoadImage(name.c_str(), &pixels, &width, &height, &side);
        case EDecoder::kJp2: return EzJp2LoadImage(name.c_str(), &pixels, &width, &height, &side, &hasAlpha);
        case EDecoder::kNone: break;
        }
        return false;
    }
};

// Searches in progress on this thread, and whether the one now ending missed a file.
thread_local int tQuietSearches = 0;
thread_local bool tMissing = false;

str AppendKeyFlags(str key, bool mipmap, bool simple)
{
    if (mipmap)
        key += ":m";
    if (simple)
        key += ":s";
    key += ":tex";
    return key;
}

}  // namespace

uint32_t NextPowerOfTwo(uint32_t n)
{
    uint32_t p = 1;
    while (p < n && p < 0x80000000u)
        p <<= 1;
    return p;
}

TTextureData::~TTextureData() = default;

str TTextureData::TextureHandle(const str& name, bool alpha, bool mipmap, bool simple)
{
    str key = name;
    key.replace("\\", "/", str::kAll);
    if (alpha)
        key += ":a";
    return AppendKeyFlags(key, mipmap, simple);
}

str TTextureData::TextureHandle(const str& name, const str& mask, bool mipmap, bool simple)
{
    return AppendKeyFlags(name + ":" + mask, mipmap, simple);
}

TQuietTextureSearch::TQuietTextureSearch()
{
    ++tQuietSearches;
}

TQuietTextureSearch::~TQuietTextureSearch()
{
    --tQuietSearches;
}

bool TTextureData::LoadFile(const char* name, const char* mask)
{
    if (tQuietSearches > 0)
        return LoadNamed(name, mask);
    tMissing = false;
    bool loaded = false;
    {
        TQuietTextureSearch searching;
        loaded = LoadNamed(name, mask);
    }
    if (!loaded && tMissing) {
        if (mask && *mask)
            WriteDbg("Texture: not found: %s with mask %s", name ? name : "", mask);
        else
            WriteDbg("Texture: not found: %s", name ? name : "");
    }
    return loaded;
}

bool TTextureData::LoadNamed(const char* nameArg, const char* maskArg)
{
    const str name(nameArg ? nameArg : "");
    str mask(maskArg ? maskArg : "");

    // 1. Options after the last "?".
    str cut = name;
    str options;
    const unsigned q = name.find('?', str::kFromEnd);
    if (q != str::npos) {
        options = name.substr(q);
        cut = name.substr(0, static_cast<int>(q));
        if (Contains(options, "slow"))
            mFlags |= kSlow | kSimple;
        if (Contains(options, "simple"))
            mFlags |= kSimple;
        if (Contains(options, "alpha")) {
            mFlags |= kAlpha;
            mFlags &= ~kAlphaFromFile;
        }
        if (Contains(options, "mipmap"))
            mFlags |= kMipmap;
    }

    // 2. A name without an image extension tries each in turn.
    if (!TFile::Exists(cut)) {
        if (Contains(cut, ".png") || Contains(cut, ".jpg") || Contains(cut, ".jp2")) {
            tMissing = true;
            return false;
        }
        for (const char* ext : {".png", ".jpg", ".jp2"}) {
            str tryName = cut + ext + options;
            if (LoadNamed(tryName.c_str(), maskArg))
                return true;
        }
        return false;
    }

    // 3. A mask without an extension tries ".jpg", then ".png".
    if (!mask.empty() && !TFile::Exists(mask)) {
        if (Contains(mask, ".png") || Contains(mask, ".jpg")) {
            tMissing = true;
            return false;
        }
        str jpg = mask + ".jpg";
        if (LoadNamed(cut.c_str(), jpg.c_str()))
            return true;
        str png = mask + ".png";
        return LoadNamed(cut.c_str(), png.c_str());
    }

    // 4. Decode.
    TDecoded image;
    bool merge = !mask.empty();
    const EDecoder decoder = DecoderFor(cut);
    if (decoder == EDecoder::kJpeg && TConfig::GetConfig(TConfig::kAutoMergeMask, "").to_int() != 0) {
        const str base = cut.substr(0, static_cast<int>(cut.find(str(".jpg"), str::kFromEnd)));
        const str autoMask = base + ".mask.png";
        if (TFile::Exists(autoMask)) {
            SetFlag(kAlpha, HasFlag(kAlphaFromFile));
            mask = autoMask;
            merge = true;
        }
    }
    if (decoder == EDecoder::kNone) {
        WriteDbg("Texture: unknown image type: %s", cut.c_str());
        return false;
    }
    if (!image.Decode(decoder, cut)) {
        WriteDbg("Texture: cannot decode %s", cut.c_str());
        return false;
    }
    if ((decoder == EDecoder::kPng || decoder == EDecoder::kJp2) && HasFlag(kAlphaFromFile))
        SetFlag(kAlpha, image.hasAlpha != 0);

    // 5. Merge the mask's red channel into the alpha channel.
    if (merge) {
        TDecoded maskImage;
        const EDecoder maskDecoder =
            Contains(mask, ".png") ? EDecoder::kPng : (Contains(mask, ".jpg") ? EDecoder::kJpeg : EDecoder::kNone);
        if (maskDecoder != EDecoder::kNone) {
            if (!maskImage.Decode(maskDecoder, mask)) {
                WriteDbg("Texture: cannot decode mask %s", mask.c_str());
                return false;
            }
            if (maskImage.side == image.side) {
                const size_t count = static_cast<size_t>(image.side) * image.side;
                for (size_t i = 0; i < count; ++i)
                    image.pixels[i * 4 + 3] = maskImage.pixels[i * 4 + 2];
            }
        }
    }

    // 6-7. Surface size and the device limit.
    const uint32_t side = static_cast<uint32_t>(image.side);
    const uint32_t surfaceHeight = (!HasFlag(kSimple) && TRenderer::GetInstance()->GetTextureSquareFlag())
                                       ? side
                                       : NextPowerOfTwo(static_cast<uint32_t>(image.height));
    if ((side > kMaxDeviceSide || surfaceHeight > kMaxDeviceSide) && !HasFlag(kSlow)) {
        WriteDbg("Texture: %s is %dx%d, over the limit of %u without \"?slow\"", cut.c_str(), image.width, image.height,
                 kMaxDeviceSide);
        return false;
    }

    // 8-9. Allocate and upload.
    mFileName = name;
    mMaskName = mask;
    if (!CreateSurface(side, surfaceHeight, false)) {
        // A texture without pixels must not be cached as loaded.
        WriteDbg("Texture: cannot create a %ux%u surface for %s", side, surfaceHeight, cut.c_str());
        mFileName = str();
        mMaskName = str();
        return false;
    }
    mWidth = static_cast<uint32_t>(image.width);
    mHeight = static_cast<uint32_t>(image.height);
    mXMargin = static_cast<int32_t>((side - mWidth) / 2);
    mYMargin = static_cast<int32_t>((surfaceHeight - mHeight) / 2);
    FillSurface(side, surfaceHeight, reinterpret_cast<TColor32*>(image.pixels));
    return true;
}
