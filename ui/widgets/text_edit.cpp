#include "ui/widgets/text_edit.h"

#include "core/platform/event.h"
#include "core/script/message.h"
#include "core/text/str_view.h"
#include "render/text/font_data.h"
#include "render/text/mvec_font.h"
#include "render/text/text_escape.h"
#include "render/text/text_graphic.h"
#include "render/text/text_services.h"
#include "ui/style/window_style.h"
#include "ui/widgets/widget_services.h"
#include "ui/window/message_types.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_spider.h"

#include <algorithm>
#include <string>

namespace {

constexpr unsigned kBlinkPeriod = 800;
constexpr unsigned kCaretOffPhase = 400;
constexpr unsigned kModifierMask = 0x2 | 0x4 | 0x8;

void Invalidate()
{
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->InvalidateScreen();
}

// Finds a text edit of the modal window that already has a group.
class TextSpider : public TWindowSpider
{
public:
    explicit TextSpider(TTextEdit* looking) : mLooking(looking) {}
    bool Process(TWindow* window) override
    {
        TTextEdit* edit = GetCast<TTextEdit>(window);
        if (edit && edit != mLooking && edit->GetGroup()) {
            mFound = edit;
            return false;
        }
        window->ForEachChild(*this);
        return !mFound;
    }
    TTextEdit* mFound = nullptr;

private:
    TTextEdit* mLooking;
};

}  // namespace

unsigned Utf8CharLength(unsigned char lead)
{
    if (lead < 0xC0)
        return 1;
    if (lead < 0xE0)
        return 2;
    if (lead < 0xF0)
        return 3;
    return 4;
}

unsigned Utf8CharCount(const str& text)
{
    unsigned count = 0;
    for (const char c : TextView(text))
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++count;
    return count;
}

str Utf8Prefix(const str& text, unsigned count)
{
    const std::string_view bytes = TextView(text);
    size_t end = 0;
    for (unsigned n = 0; n < count && end < bytes.size(); ++n)
        end += Utf8CharLength(static_cast<unsigned char>(bytes[end]));
    return ToStr(bytes.substr(0, end));
}

TTextEdit::TTextEdit() : TText(false)
{
    AddFlags(kFocusable);
    mBlink.Reset();
    mBlink.Start();
}

TTextEdit::~TTextEdit()
{
    Unregister();
}

TWindow* TTextEdit::DynamicCreate()
{
    return new TTextEdit;
}

bool TTextEdit::OnNewParent()
{
    CheckRegistration();
    return true;
}

void TTextEdit::Init(TWindowStyle& style)
{
    CheckRegistration();
    mPassword = style.GetBool("password", false);
    mMaxLength = static_cast<unsigned>(std::max(0, style.GetInt("length", 10)));
    mIgnore = style.GetString("ignore", str());
    mUTF8 = style.GetBool("utf8", false);
    if (mPassword)
        UpdateText();
    const bool lookup = SetStringTableLookup(false);
    TText::Init(style);
    SetStringTableLookup(lookup);
}

void TTextEdit::Draw()
{
    CheckRegistration();
    TText::Draw();
}

bool TTextEdit::OnTaskAnimate()
{
    UpdateText();
    return true;
}

void TTextEdit::SetText(str text)
{
    mText = text;
    mCursor = mText.length();
    UpdateText();
}

str TTextEdit::GetText()
{
    return mText;
}

void TTextEdit::UpdateText()
{
    const str shown = mPassword ? ToStr(std::string(mText.length(), '*')) : mText;
    const unsigned cursor = std::min(mCursor, shown.length());
    TWindowManager* wm = TWindowManager::GetInstance();
    if (!wm || wm->GetFocusWindow() != this) {
        TText::SetText(EscapeMarkup(shown));
        return;
    }
    if (mBlink.GetTime() % kBlinkPeriod <= kCaretOffPhase) {
        if (mCaretShown) {
            mCaretShown = false;
            Invalidate();
        }
        TText::SetText(EscapeMarkup(shown));
        return;
    }
    if (!mCaretShown) {
        mCaretShown = true;
        Invalidate();
    }
    str text = EscapeMarkup(shown.substr(0, static_cast<int>(cursor)));
    if (mActive)
        text += "<cursor>";
    text += EscapeMarkup(shown.substr(cursor));
    TText::SetText(text);
}

unsigned TTextEdit::PreviousCharStart() const
{
    const std::string_view text = TextView(mText);
    unsigned at = 0;
    unsigned previous = 0;
    while (at < mCursor && at < text.size()) {
        previous = at;
        at += Utf8CharLength(static_cast<unsigned char>(text[at]));
    }
    return previous;
}

unsigned TTextEdit::NextCharEnd() const
{
    if (mCursor >= mText.length())
        return mText.length();
    return std::min(mText.length(), mCursor + Utf8CharLength(static_cast<unsigned char>(mText[mCursor])));
}

void TTextEdit::Backspace()
{
    if (mCursor == 0)
        return;
    const unsigned start = PreviousCharStart();
    mText.erase(start, static_cast<int>(mCursor - start));
    mCursor = start;
    UpdateText();
}

void TTextEdit::PostChanged()
{
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->PostWindowMessage(new TMessage(kTextEditChanged, GetName(), nullptr));
}

bool TTextEdit::KeyHit(EKeyType type, char c)
{
    switch (type) {
    case kMove:
    case kPaste: return true;
    case kInsert:
        if (mUTF8 || mText.length() + 1 < mMaxLength)
            return true;
        KeyHit(kRefused, c);
        return false;
    default: return false;
    }
}

bool TTextEdit::KeyHitUTF8(EKeyType type, unsigned codepoint)
{
    if (type == kInsert) {
        bool refuse = mUTF8 && Utf8CharCount(mText) >= mMaxLength;
        if (!refuse && GetGraphic()) {
            TFontData* fonts = GetFontData();
            TMvecFont* font = fonts->GetMvec(GetGraphic()->GetFont());
            if (!font || font->GetGlyphIndex(codepoint) == -1) {
                TMvecFont* fallback = fonts->GetMvec(TFontData::kFallbackFile);
                refuse = !fallback || fallback->GetGlyphIndex(codepoint) == -1;
            }
        }
        if (refuse) {
            if (codepoint > 127)
                KeyHitUTF8(kRefused, codepoint);
            else
                KeyHit(kRefused, static_cast<char>(codepoint));
            return false;
        }
    }
    return KeyHit(type, codepoint <= 127 ? static_cast<char>(codepoint) : ' ');
}

bool TTextEdit::OnChar(char c)
{
    const char text[2] = {c, 0};
    return OnUTF8Char(str(text));
}

bool TTextEdit::OnUTF8Char(str text)
{
    if (!mActive || text.empty())
        return false;
    const unsigned char lead = static_cast<unsigned char>(text[0]);
    const unsigned codepoint = str::to_utf32(text.c_str());
    switch (lead) {
    case 9:
        if (!KeyHitUTF8(kTab, codepoint)) {
            if (mGroup && !mGroup->empty()) {
                auto self = std::find(mGroup->begin(), mGroup->end(), this);
                auto next =
                    self == mGroup->end() || std::next(self) == mGroup->end() ? mGroup->begin() : std::next(self);
                TTextEdit* target = *next;
                if (TWindowManager* wm = TWindowManager::GetInstance()) {
                    TWindow* previous = wm->GetFocusWindow();
                    wm->SetFocusWindow(target);
                    target->OnSetFocus(previous);
                }
            }
            return false;
        }
        break;
    case 13:
        if (!KeyHitUTF8(kReturn, codepoint))
            return false;
        break;
    case 8:
        if (mCursor > 0) {
            if (!KeyHit(kMove, 8))
                return false;
            Backspace();
        } else if (!KeyHitUTF8(kRefused, codepoint)) {
            return false;
        }
        break;
    default: {
        // 127 is the delete key's code, never a character to enter.
        if (lead < 32 || lead == 127)
            return false;
        if (lead >= 128 && !mUTF8 && !mPassword)
            return false;
        const unsigned length = Utf8CharLength(lead);
        if (text.length() < length)
            return false;
        const str character = text.substr(0, static_cast<int>(length));
        if (mIgnore.find(character) != str::npos)
            break;
        if (!KeyHitUTF8(kInsert, codepoint))
            return false;
        const unsigned cursor = std::min(mCursor, mText.length());
        mText = mText.substr(0, static_cast<int>(cursor)) + character + mText.substr(cursor);
        mCursor = cursor + length;
        UpdateText();
        break;
    }
    }
    PostChanged();
    return true;
}

bool TTextEdit::OnKeyDown(char key, unsigned int modifiers)
{
    CheckRegistration();
    const int code = static_cast<unsigned char>(key);
    if (code == TEvent::kLeft) {
        if (mCursor == 0) {
            KeyHit(kRefused, key);
            return true;
        }
        if (KeyHit(kMove, key)) {
            mCursor = PreviousCharStart();
            UpdateText();
        }
        return true;
    }
    if (code == TEvent::kRight) {
        if (mCursor >= mText.length()) {
            KeyHit(kRefused, key);
            return true;
        }
        if (KeyHit(kMove, key))
            mCursor = NextCharEnd();
        UpdateText();
        return true;
    }
    if (code == TEvent::kDelete) {
        if (mCursor < mText.length()) {
            mText.erase(mCursor, static_cast<int>(NextCharEnd() - mCursor));
            UpdateText();
        } else {
            KeyHit(kRefused, key);
        }
        return true;
    }
    if (code > 'Z')
        return false;
    if ((key == 'V' && (modifiers & TEvent::kControlKey)) || code == TEvent::kPaste) {
        if (!KeyHitUTF8(kPaste, 0))
            return true;
        const str clip = ReadClipboard();
        if (clip.empty() || !(mUTF8 || SafeString(clip)))
            return true;
        const str pasted = mUTF8 ? Utf8Prefix(clip, mMaxLength) : clip.substr(0, static_cast<int>(mMaxLength));
        const std::string_view ignore = TextView(mIgnore);
        std::string kept;
        for (const char c : TextView(pasted))
            if (static_cast<unsigned char>(c) >= 32 && ignore.find(c) == std::string_view::npos)
                kept += c;
        const str clean = ToStr(kept);
        // Nothing left to enter: the field keeps what was typed rather than going empty.
        if (clean.empty())
            return true;
        SetText(str());
        KeyHitUTF8(kInsert, 32);
        SetText(clean);
        return true;
    }
    return (modifiers & kModifierMask) == 0;
}

void TTextEdit::CheckRegistration()
{
    if (mGroup)
        return;
    TModalWindow* modal = FindParentModal();
    if (!modal)
        return;
    StartWindowAnimation(200, true, true, false);
    TextSpider spider(this);
    modal->ForEachChild(spider);
    if (spider.mFound) {
        mGroup = spider.mFound->GetGroup();
        mGroup->push_back(this);
    } else {
        mGroup = std::make_shared<TGroup>(TGroup{this});
    }
}

void TTextEdit::Unregister()
{
    if (mGroup) {
        mGroup->erase(std::remove(mGroup->begin(), mGroup->end(), this), mGroup->end());
        mGroup.reset();
    }
    StopWindowAnimation();
}
