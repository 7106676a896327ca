#pragma once
// The renderer's heads-up text: a 512 × 512 text graphic in the built-in font, 16 pixels high
// and red, drawn at the viewport's top-left corner.

#include "render/renderer/render_platform.h"

class TTextGraphic;

class THudTextGraphic : public THudText
{
public:
    THudTextGraphic();
    ~THudTextGraphic() override;
    THudTextGraphic(const THudTextGraphic&) = delete;
    THudTextGraphic& operator=(const THudTextGraphic&) = delete;

    void SetText(const str& text) override;
    void Draw() override;

private:
    TTextGraphic* mGraphic;
};
