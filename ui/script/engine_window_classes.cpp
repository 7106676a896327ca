#include "ui/script/engine_window_classes.h"

#include "ui/screen/image.h"
#include "ui/widgets/button.h"
#include "ui/widgets/slider.h"
#include "ui/widgets/text.h"
#include "ui/widgets/text_edit.h"
#include "ui/window/window.h"

void RegisterEngineWindowClasses()
{
    RegisterWindowClass(TWindow::ClassId(), "TWindow", []() -> TWindow* { return new TWindow; });
    RegisterWindowClass(TImage::ClassId(), "TImage", []() -> TWindow* { return new TImage(true); });
    RegisterWindowClass(TText::ClassId(), "TText", &TText::DynamicCreate);
    RegisterWindowClass(TTextEdit::ClassId(), "TTextEdit", &TTextEdit::DynamicCreate);
    RegisterWindowClass(TButton::ClassId(), "TButton", &TButton::DynamicCreate);
    RegisterWindowClass(TSlider::ClassId(), "TSlider", &TSlider::DynamicCreate);
}
