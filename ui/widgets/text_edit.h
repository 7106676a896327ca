#pragma once
// The one-line input field of layouts: a text window showing the edited UTF-8 text with a
// blinking caret, or stars in password mode. It keeps a maximum length (in bytes, or in
// characters in UTF-8 mode), never enters the characters of its ignore set, pastes from the
// clipboard, and moves the focus on Tab to the next text edit of its modal window. A handled
// character key (typed, ignored, Backspace) posts kTextEditChanged named after the edit; Delete
// and a paste change the text without it. Typed text is shown as typed, never as markup.
//   TextEdit{ name = "player", w = 200, h = 24, length = 16, utf8 = true, ignore = "/\\" }
// A derived class vetoes or reacts to keys in KeyHit and KeyHitUTF8.

#include "core/time/clock.h"
#include "ui/widgets/text.h"

#include <memory>
#include <vector>

class TTextEdit : public TText
{
    TV_CLASS(TTextEdit, TText)

public:
    enum EKeyType
    {
        kInsert = 0,
        kMove = 1,  // cursor movement and deletion
        kReturn = 2,
        kTab = 3,
        kPaste = 4,
        kRefused = 5,  // notice that a key was refused; the answer is not used
    };
    using TGroup = std::vector<TTextEdit*>;

    TTextEdit();
    ~TTextEdit() override;
    // The creation function layouts use.
    static TWindow* DynamicCreate();

    bool OnNewParent() override;
    using TText::Init;
    // "password", "length" (10), "ignore", "utf8"; the label is the first text, never looked up.
    void Init(TWindowStyle& style) override;
    void Draw() override;
    bool OnTaskAnimate() override;
    bool OnChar(char c) override;
    bool OnUTF8Char(str text) override;
    bool OnKeyDown(char key, unsigned int modifiers) override;
    // The cursor goes to the end.
    void SetText(str text) override;
    // The edited text (not the shown one).
    str GetText() override;

    virtual bool KeyHit(EKeyType type, char c);
    virtual bool KeyHitUTF8(EKeyType type, unsigned codepoint);

    void UpdateText();
    void Backspace();
    // Joins the group of the modal window's text edits once it has a modal window.
    void CheckRegistration();
    void Unregister();

    unsigned GetCursor() const { return mCursor; }
    unsigned GetMaxLength() const { return mMaxLength; }
    void SetMaxLength(unsigned length) { mMaxLength = length; }
    void SetPassword(bool on) { mPassword = on; }
    void SetUTF8(bool on) { mUTF8 = on; }
    void SetIgnore(const str& characters) { mIgnore = characters; }
    void SetActive(bool on) { mActive = on; }
    const std::shared_ptr<TGroup>& GetGroup() const { return mGroup; }
    TClock& GetBlinkClock() { return mBlink; }

private:
    void PostChanged();
    unsigned PreviousCharStart() const;
    unsigned NextCharEnd() const;

    unsigned mMaxLength = 10;
    std::shared_ptr<TGroup> mGroup;
    str mText;
    unsigned mCursor = 0;
    bool mActive = true;
    bool mUTF8 = false;
    bool mPassword = false;
    bool mCaretShown = false;
    str mIgnore;
    TClock mBlink;
};

// Bytes of the UTF-8 character its lead byte announces (1 for anything below 0xC0).
unsigned Utf8CharLength(unsigned char lead);
// Characters, counted by lead bytes.
unsigned Utf8CharCount(const str& text);
// At most `count` characters of the text.
str Utf8Prefix(const str& text, unsigned count);
