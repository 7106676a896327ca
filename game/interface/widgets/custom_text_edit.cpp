#include "game/interface/widgets/custom_text_edit.h"

#include "game/interface/windows/window_helpers.h"
#include "sound/manager/sound.h"
#include "game/script/window_autoreg.h"
#include "game/world/sound/sfx_manager.h"
#include "ui/style/window_style.h"
#include "ui/window/modal_window.h"

namespace {

// The effects group (1000), so the effects volume applies.
const char* kTypingSounds[] = {"audio/sfx/sfx_typing_01.ogg?group=1000", "audio/sfx/sfx_typing_02.ogg?group=1000",
                               "audio/sfx/sfx_typing_03.ogg?group=1000", "audio/sfx/sfx_typing_04.ogg?group=1000",
                               nullptr};

}  // namespace

TCustomTextEdit::TCustomTextEdit()
{
    mTypingSounds.AddAssets(kTypingSounds);
}

TWindow* TCustomTextEdit::DynamicCreate()
{
    return new TCustomTextEdit;
}

void TCustomTextEdit::Init(TWindowStyle& style)
{
    mCleared = !style.GetBool("clearinitial", false);
    mTarget = style.GetString("enablewindow", str());
    TTextEdit::Init(style);
}

void TCustomTextEdit::WipePlaceholder()
{
    if (mCleared)
        return;
    mCleared = true;
    SetText(str());
}

bool TCustomTextEdit::OnMouseUp(const TPoint& point)
{
    if (mCleared)
        return TText::OnMouseUp(point);
    WipePlaceholder();
    TestEnable();
    return true;
}

// The target follows the text as the edit left it (a typed, deleted or pasted character of
// any length, or a wiped placeholder).
bool TCustomTextEdit::OnUTF8Char(str text)
{
    const bool handled = TTextEdit::OnUTF8Char(text);
    TestEnable();
    return handled;
}

bool TCustomTextEdit::OnKeyDown(char key, unsigned int modifiers)
{
    const bool handled = TTextEdit::OnKeyDown(key, modifiers);
    TestEnable();
    return handled;
}

void TCustomTextEdit::OnSetFocus(TWindow* previous)
{
    TTextEdit::OnSetFocus(previous);
    if (TModalWindow* modal = FindParentModal())
        modal->SetDefaultFocus(this);
}

bool TCustomTextEdit::KeyHit(EKeyType type, char c)
{
    WipePlaceholder();
    if (!TTextEdit::KeyHit(type, c))
        return false;
    if (type == kInsert) {
        const int n = int(mRandom.RandDouble() * 4) + 1;
        if (auto sound = mTypingSounds.GetSound(str::getFormatted("audio/sfx/sfx_typing_%02d.ogg?group=1000", n)))
            sound->Play(false);
    }
    return true;
}

bool TCustomTextEdit::KeyHitUTF8(EKeyType type, unsigned codepoint)
{
    WipePlaceholder();
    return TTextEdit::KeyHitUTF8(type, codepoint);
}

void TCustomTextEdit::TestEnable()
{
    if (mTarget.empty())
        return;
    TModalWindow* modal = FindParentModal();
    if (TWindow* target = modal ? modal->GetChildWindow(mTarget, unsigned(-1)) : nullptr)
        SetWindowEnable(target, !GetText().empty());
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"TextEdit", TCustomTextEdit::ClassId(), &TCustomTextEdit::DynamicCreate},
    {"TCustomTextEdit", TCustomTextEdit::ClassId(), &TCustomTextEdit::DynamicCreate},
};
