#pragma once
// The OpenGL surface of a texture: a GL texture with power-of-two sides (device surface), or,
// for slow textures, pixels kept in memory (memory surface). Pixels are 0xAARRGGBB words,
// rows top-down. Made by its display handler, which it asks for the frame's state and whose
// held-back draws it sends before touching a surface; it outlives the handler safely.

#include "render/texture/texture_data.h"

#include <cstdint>
#include <memory>

class TGLDisplayHandler;

class TGLTextureData : public TTextureData
{
public:
    // The cell holds the handler while it lives and null after; null: no handler at all.
    explicit TGLTextureData(std::shared_ptr<TGLDisplayHandler* const> handler) : mHandler(std::move(handler)) {}
    ~TGLTextureData() override;

    void Release() override {}
    void Restore() override {}
    bool FillSurface(unsigned int width, unsigned int height, TColor32* pixels) override;
    bool CreateSurface(unsigned int width, unsigned int height, bool clear) override;
    void CopyPixels(int x, int y, const TRect* rect, std::shared_ptr<TTexture> dest) override;
    void Clear() override;
    bool Lock(TColor32** pixels, unsigned int* pitch) override;
    void Unlock() override;

    // Makes magenta (255, 0, 255) transparent black and everything else opaque; once.
    void ProcessColor();
    // Fills (left, top) up to (right, bottom) of the surface; without the alpha flag the
    // colour's alpha counts as 1.
    void FillRect(int left, int top, int right, int bottom, const TColor& color, bool avoid);
    void Draw(int x, int y, const TRect* rect, bool toTarget);
    void DrawSFB(int x, int y, const TRect& rect);
    void DrawSV(int x, int y, const TRect& rect, std::shared_ptr<TTexture> dest);
    void DrawVV(int x, int y, const TRect& rect, std::shared_ptr<TTexture> dest);

    bool IsMemorySurface() const { return mMemoryPixels != nullptr; }
    bool HasDeviceTexture() const { return mTextureName != kNoTexture; }
    unsigned int GetTextureName() const { return mTextureName; }

private:
    static constexpr uint32_t kNoTexture = 0xFFFFFFFFu;

    TGLDisplayHandler* Handler() const { return mHandler ? *mHandler : nullptr; }

    std::shared_ptr<TGLDisplayHandler* const> mHandler;
    uint32_t mTextureName = kNoTexture;
    int32_t mLevel = 0;
    TColor32* mLockBuffer = nullptr;
    TColor32* mMemoryPixels = nullptr;
    bool mColorProcessed = false;
};

// True only for the one renderer whose rectangle fills misbehave.
bool FillRectIsBuggy();
