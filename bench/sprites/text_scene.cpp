#include "text_scene.h"

#include "core/math/color.h"
#include "core/math/vec.h"
#include "core/text/str.h"
#include "render/text/text_graphic.h"

#include <string>

namespace {

const char* const kParagraph =
    "The lighthouse keeper wrote in his <b>diary</b> that the fog came in at <i>half past four</i>, "
    "thicker than any he had seen since the winter of the <u>great storm</u>. "
    "<font color=\"c04020\">Three ships</font> passed the point before dark, "
    "and the <outline size=\"1\" color=\"203060\">lamp</outline> burned until morning. "
    "<font size=\"20\">Nobody</font> came to relieve him. ";

}  // namespace

TTextScene::TTextScene(int width, int height) : mHeight(height)
{
    std::string text;
    for (int i = 0; i < 14; ++i) {
        text += kParagraph;
        if (i % 3 == 2)
            text += "</p>";
    }
    mText = TTextGraphic::Create(str(text.c_str()), static_cast<unsigned>(width), static_cast<unsigned>(height),
                                 TTextGraphic::kHAlignLeft, nullptr, 16, TColor(0.95f, 0.95f, 0.85f, 1));
}

TTextScene::~TTextScene()
{
    if (mText)
        mText->Destroy();
}

void TTextScene::Draw()
{
    if (mText)
        mText->Draw(TVec2(0, 0), static_cast<unsigned>(mHeight), 1.0f, 0, 1.0f, nullptr);
}

int TTextScene::LineCount() const
{
    return mText ? mText->GetLineCount() : 0;
}
