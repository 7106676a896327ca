#include "render/text/hud_text.h"

#include "render/text/text_graphic.h"

namespace {

constexpr unsigned int kHudSize = 512;

}  // namespace

THudTextGraphic::THudTextGraphic()
    : mGraphic(TTextGraphic::Create("", kHudSize, kHudSize, 0, nullptr, 16, TColor(1, 0, 0, 1)))
{
}

THudTextGraphic::~THudTextGraphic()
{
    if (mGraphic)
        mGraphic->Destroy();
}

void THudTextGraphic::SetText(const str& text)
{
    if (mGraphic)
        mGraphic->SetText(text);
}

void THudTextGraphic::Draw()
{
    if (mGraphic)
        mGraphic->Draw(TVec2(0, 0), kHudSize, 1.0f, 0, 1.0f, nullptr);
}
