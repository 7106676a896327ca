#pragma once
// The device-side surface of a texture: its names, sizes and flags, the image loader, and the
// device operations that the OpenGL side supplies.

#include "core/math/color.h"
#include "core/math/mat.h"
#include "core/math/rect.h"
#include "core/text/str.h"

#include <cstdint>
#include <memory>

class TTexture;

class TTextureData
{
public:
    enum EFlags : uint8_t
    {
        kAlpha = 2,          // carries alpha and is blended with it
        kAlphaFromFile = 4,  // the loader takes the alpha bit from the image file
        kMipmap = 8,
        kSimple = 16,    // never drawn as a sprite; surface height a power of two
        kSlow = 32,      // may exceed 1024 pixels; kept in memory
        kCreated = 128,  // made by TTexture::Create
    };

    virtual ~TTextureData();

    virtual void Release() = 0;
    virtual void Restore() = 0;
    // Uploads a block of `width` × `height` pixels, rows `width` apart.
    virtual bool FillSurface(unsigned int width, unsigned int height, TColor32* pixels) = 0;
    virtual bool CreateSurface(unsigned int width, unsigned int height, bool clear) = 0;
    // Copies `rect` (all when null) to (x, y) of `dest`, or of the frame buffer or open render
    // target when `dest` is empty.
    virtual void CopyPixels(int x, int y, const TRect* rect, std::shared_ptr<TTexture> dest) = 0;
    virtual void Clear() = 0;
    // Rows are `*pitch` pixels apart.
    virtual bool Lock(TColor32** pixels, unsigned int* pitch) = 0;
    virtual void Unlock() = 0;

    // Loads an image file (name options "?slow", "?simple", "?alpha", "?mipmap"), with an
    // optional mask whose red channel becomes the alpha channel. A name that is not found,
    // under any extension tried, is logged once (not while a TQuietTextureSearch lives).
    bool LoadFile(const char* name, const char* mask);

    // Cache keys: backslashes made forward slashes, then ":a", ":m", ":s", ":tex".
    static str TextureHandle(const str& name, bool alpha, bool mipmap, bool simple);
    // name + ":" + mask, then ":m", ":s", ":tex"; backslashes kept.
    static str TextureHandle(const str& name, const str& mask, bool mipmap, bool simple);
    static str TextureHandle(const str& name, const char* mask, bool mipmap, bool simple)
    {
        return TextureHandle(name, str(mask), mipmap, simple);
    }

    bool HasFlag(uint8_t flag) const { return (mFlags & flag) != 0; }
    void SetFlag(uint8_t flag, bool on) { mFlags = on ? (mFlags | flag) : (mFlags & ~flag); }

    str mFileName;
    str mMaskName;
    uint32_t mWidth = 0;
    uint32_t mHeight = 0;
    uint32_t mSurfaceWidth = 0;
    uint32_t mSurfaceHeight = 0;
    int32_t mXMargin = 0;
    int32_t mYMargin = 0;
    uint8_t mFlags = 0;

private:
    bool LoadNamed(const char* name, const char* mask);
};

// While one lives on this thread, names that are not found are not logged: a caller trying
// several names in turn stays quiet until the last.
class TQuietTextureSearch
{
public:
    TQuietTextureSearch();
    ~TQuietTextureSearch();
    TQuietTextureSearch(const TQuietTextureSearch&) = delete;
    TQuietTextureSearch& operator=(const TQuietTextureSearch&) = delete;
};

// The smallest power of two not below n (1 for 0 or 1).
uint32_t NextPowerOfTwo(uint32_t n);
