#pragma once
// A text field that clicks like a typewriter: each character let in plays one of four typing
// sounds, loaded with the field. Its first text can be a placeholder wiped by the first click or key, and it shows
// another window of its dialog ("enablewindow", an OK button say) only while it holds text.
// Once it has had the keys, a click elsewhere in its dialog (a scroll bar, the backdrop)
// hands them back to it: a dialog that asks for a text never loses its typing.
//   TextEdit{ name = "player", clearinitial = true, enablewindow = "ok", label = "Your name" }

#include "core/files/asset_map.h"
#include "core/system/random.h"
#include "ui/widgets/text_edit.h"

class TCustomTextEdit : public TTextEdit
{
    TV_CLASS(TCustomTextEdit, TTextEdit)

public:
    TCustomTextEdit();
    static TWindow* DynamicCreate();
    using TTextEdit::Init;
    void Init(TWindowStyle& style) override;
    bool OnMouseUp(const TPoint& point) override;
    bool OnUTF8Char(str text) override;
    bool OnKeyDown(char key, unsigned int modifiers) override;
    // Becomes its modal window's default focus.
    void OnSetFocus(TWindow* previous) override;
    // Both filters wipe a waiting placeholder first, so that the key applies to an empty field.
    bool KeyHit(EKeyType type, char c) override;
    bool KeyHitUTF8(EKeyType type, unsigned codepoint) override;
    // Shows the target while the text is not empty, hides it otherwise.
    void TestEnable();

private:
    void WipePlaceholder();

    TAssetMap mTypingSounds;
    TRandom mRandom;
    bool mCleared = true;
    str mTarget;
};
