#pragma once
// Colours: TColor holds four floats (0..1), TColor32 one 0xAARRGGBB word.
//   TColor32 packed(TColor(1, 0.5f, 0, 1));   // 0xFFFF7F00: channels are truncated, not rounded
//   TColor c; c.Init(255, 128, 0, 255);

#include <cstdint>

struct TColor
{
    float red = 0, green = 0, blue = 0, alpha = 0;

    TColor() = default;
    TColor(float r, float g, float b, float a) : red(r), green(g), blue(b), alpha(a) {}
    bool operator==(const TColor&) const = default;

    // Each channel = value / 255.
    void Init(unsigned r, unsigned g, unsigned b, unsigned a);
};

class TColor32
{
public:
    TColor32() = default;
    TColor32(unsigned char r, unsigned char g, unsigned char b, unsigned char a)
        : mValue((uint32_t(a) << 24) | (uint32_t(r) << 16) | (uint32_t(g) << 8) | b)
    {
    }
    TColor32(uint32_t value) : mValue(value) {}
    // Each channel times 255, truncated; values outside 0..1 are held at the ends.
    explicit TColor32(const TColor& c);

    unsigned char Alpha() const { return static_cast<unsigned char>(mValue >> 24); }
    unsigned char Red() const { return static_cast<unsigned char>(mValue >> 16); }
    unsigned char Green() const { return static_cast<unsigned char>(mValue >> 8); }
    unsigned char Blue() const { return static_cast<unsigned char>(mValue); }
    void SetAlpha(unsigned char a) { mValue = (mValue & 0x00FFFFFFu) | (uint32_t(a) << 24); }

    uint32_t Value() const { return mValue; }
    operator uint32_t() const { return mValue; }

private:
    uint32_t mValue = 0;
};
