// Reads the input as a ".mvec" font block, asks for every glyph's metrics and draws a few
// glyphs into a memory surface, plain and stroked.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "render/text/mini_vec_draw.h"
#include "render/text/mvec_font.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto block = std::make_unique<unsigned char[]>(size);
    if (size)
        std::memcpy(block.get(), data, size);
    TMvecFont font(std::move(block), size);

    float sum = font.GetAscent() + font.GetDescent() + font.GetLeading(true) + font.GetLeading(false);
    for (int i = -1; i <= font.GetGlyphCount(); ++i)
        sum += font.GetGlyphMinX(i) + font.GetGlyphMaxX(i) + font.GetGlyphAdvance(i) + font.GetGlyphTop(i) +
               font.GetGlyphBottom(i) + font.GetGlyphScaleY(i);
    for (unsigned long code : {0ul, 32ul, 65ul, 0x20ACul, 0x10FFFFul})
        sum += static_cast<float>(font.GetGlyphIndex(code));
    if (font.IsEmpty() && font.GetGlyphData(0))
        __builtin_trap();

    std::vector<TColor32> pixels(64 * 64);
    TPixelSurface surface{pixels.data(), 64, 64, 64};
    TZvMiniVecDraw drawer;
    drawer.SetColor(TZvMiniVecDraw::kFillSlot, TColor(1, 1, 1, 1), 1.0f);
    drawer.SetColor(TZvMiniVecDraw::kOutlineSlot, TColor(0, 0, 0, 1), 1.0f);
    const int drawn = font.GetGlyphCount() < 8 ? font.GetGlyphCount() : 8;
    for (int stroke = 0; stroke < 2; ++stroke) {
        drawer.SetScale(0.02f, 0.02f);
        drawer.SetStrokeWidths(stroke ? 1.5f : 0.0f, stroke ? 3.0f : 0.0f);
        drawer.StartSurface(8.0f, 40.0f, &surface);
        for (int i = 0; i < drawn; ++i)
            if (const unsigned char* stream = font.GetGlyphData(i))
                drawer.Draw(stream, i * 24, 0);
        drawer.Stop();
    }
    return sum == 12345.678f;  // keeps the metric calls from being dropped
}
