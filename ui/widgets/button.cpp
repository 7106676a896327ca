#include "ui/widgets/button.h"

#include "core/debug/debug_log.h"
#include "core/script/lua_function.h"
#include "core/script/lua_stack_guard.h"
#include "core/script/lua_table.h"
#include "core/script/message.h"
#include "render/texture/texture.h"
#include "sound/manager/sound.h"
#include "ui/screen/image.h"
#include "ui/style/window_style.h"
#include "ui/widgets/text.h"
#include "ui/window/message_types.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_script_base.h"
#include "ui/window/window_spider.h"

#include <algorithm>

namespace {

constexpr int kNearBlack = 20;
// Room a button without pictures lends its label to lay the text out, and the margin it keeps
// around the text once it has taken the text's size.
constexpr int kLabelRoomWidth = 1024;
constexpr int kLabelRoomHeight = 256;
constexpr int kLabelMargin = 4;

// Clears the radio buttons of one group, in creation order. Pass 0 finds the nearest group
// start up to the pressed button; pass 1 clears from there to the next group start.
class TRadioButtonSpider : public TWindowSpider
{
public:
    TRadioButtonSpider(TButton* pressed, int pass, TWindow* groupStart)
        : mPressed(pressed), mPass(pass), mGroupStart(groupStart)
    {
    }
    bool Process(TWindow* window) override
    {
        if (mPass == 0) {
            if (window->GetFlags() & TWindow::kBeginGroup)
                mGroupStart = window;
            return window != mPressed;
        }
        if (!mStarted) {
            mStarted = window == mGroupStart;
            if (!mStarted)
                return true;
        } else if (window->GetFlags() & TWindow::kBeginGroup) {
            return false;
        }
        if (TButton* button = GetCast<TButton>(window); button && button != mPressed)
            button->SetOn(false);
        return true;
    }
    TWindow* GroupStart() const { return mGroupStart; }

private:
    TButton* mPressed;
    int mPass;
    TWindow* mGroupStart;
    bool mStarted = false;
};

int ReturnFirstUpvalue(lua_State* L)
{
    lua_pushvalue(L, lua_upvalueindex(1));
    return 1;
}

void Invalidate()
{
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->InvalidateScreen();
}

// Shown: enabled, as is every ancestor up to and including the nearest modal root.
bool IsShown(const TWindow* window)
{
    for (const TWindow* w = window; w; w = w->GetParent()) {
        if (!(w->GetFlags() & TWindow::kEnabled))
            return false;
        if (w->GetFlags() & TWindow::kModalRoot)
            return true;
    }
    return false;
}

// Below the screen window (or, with no screen, below the bottom of the modal stack).
bool IsOnScreen(const TWindow* window)
{
    TWindowManager* wm = TWindowManager::GetInstance();
    if (!wm)
        return false;
    if (const TWindow* screen = wm->GetScreen())
        return screen->Contains(window);
    const auto& stack = wm->GetModalStack();
    return !stack.empty() && stack.back() && stack.back()->Contains(window);
}

}  // namespace

TWindow* TButton::DynamicCreate()
{
    return new TButton;
}

// --- the Lua command ---

TButton::LuaAction::LuaAction(TLuaFunction* function) : mFunction(function) {}

TButton::LuaAction::~LuaAction() = default;

bool TButton::LuaAction::DoAction(TButton* button)
{
    auto* message = new TMessage(kCommandOnly, str("LuaAction:") + button->GetName(), nullptr);
    TWindowManager* wm = TWindowManager::GetInstance();
    TWindowScriptBase* script = wm ? wm->GetScript() : nullptr;
    if (!script) {
        delete message;
        return false;
    }
    {
        // The name reaches Lua as a value, never as source text.
        lua_State* L = script->GetState();
        TLuaStackGuard guard(L);
        lua_pushstring(L, "GetButtonName");
        lua_pushlstring(L, button->GetName().c_str(), button->GetName().length());
        lua_pushcclosure(L, &ReturnFirstUpvalue, 1);
        lua_rawset(L, LUA_GLOBALSINDEX);
    }
    wm->OnScriptMessage(message, mFunction.get());
    return true;
}

// --- the button ---

TButton::TButton() : TLayeredWindow(4) {}

TButton::~TButton()
{
    if (mState != kAway)
        if (TWindowManager* wm = TWindowManager::GetInstance())
            wm->RemoveMouseListener(this);
    mState = kAway;
}

bool TButton::OnNewParent()
{
    SetState(kAway);
    return true;
}

void TButton::Init(TWindowStyle& style)
{
    TWindow::Init(style);
    const str sound = style.GetString("sound", str());
    const str rollover = style.GetString("rolloversound", str());
    const str mask = style.GetString("mask", str());
    mKind = static_cast<EKind>(style.GetInt("type", 0) & 0xF);
    const float scale = static_cast<float>(style.GetNumber("scale", 1.0));
    mSendToParent = style.GetBool("sendToParent", false);
    SetBeginGroup(style.GetBool("beginGroup", false));
    mClose = style.GetBool("close", false);
    mDefault = style.GetBool("default", false);
    mCancel = style.GetBool("cancel", false);
    const bool on = style.GetBool("on", false);
    const bool hflip = style.GetBool("hflip", false);
    const bool vflip = style.GetBool("vflip", false);
    const bool rotate = style.GetBool("rotate", false);

    if (!sound.empty())
        SetSound(kDown, sound);
    if (!rollover.empty())
        SetSound(kOver, rollover);
    if (!mask.empty())
        SetClickMask(TTexture::Get(mask, 0));
    if (on)
        SetOn(true);

    if (std::unique_ptr<TLuaTable> graphics{style.GetTable("graphics")}) {
        const int layers = mKind == kPush ? 3 : 4;
        TWindow* previous = nullptr;
        for (int i = 0; i < layers; ++i) {
            const str name = graphics->GetString(i + 1, str());
            SetCurrentLayer(i);
            if (!name.empty()) {
                auto* image = new TImage(false);
                image->SetTexture(TTexture::Get(name, 0), scale);
                image->SetName(str::getFormatted("image%d", i));
                image->SetDrawFlags((hflip ? TDrawSpec::kFlipH : 0) | (vflip ? TDrawSpec::kFlipV : 0));
                image->SetRotate(rotate);
                if (!AdoptChild(image, true)) {
                    delete image;
                    continue;
                }
                previous = image;
            } else if (previous) {
                AdoptChild(previous, true);
            }
        }
        FitToChildren();
    }
    // Without a picture (missing files, say) the button would be 0 x 0 and could never be
    // clicked: its label gets room to lay out, and the button takes the text's size after.
    mSizedByLabel = GetWindowWidth() == 0 || GetWindowHeight() == 0;
    if (mSizedByLabel)
        SetWindowSize(kLabelRoomWidth, kLabelRoomHeight);
    if (TLuaFunction* command = style.GetFunction("command"))
        SetCommand(new LuaAction(command));
    // Children the layout adds from here on (a label) belong to every layer.
    SetCurrentLayer(kAllLayers);
}

void TButton::PostChildrenInit(TWindowStyle& style)
{
    if (mSizedByLabel)
        FitToLabel();
    TWindow::PostChildrenInit(style);
    SetState(kAway);
}

void TButton::FitToLabel()
{
    mSizedByLabel = false;
    TText* label = GetCast<TText>(GetChildWindow("label", unsigned(-1)));
    TRect text;
    if (label)
        label->GetTextBounds(&text);
    if (!label || text.right <= text.left || text.bottom <= text.top) {
        WriteDbg("Button '%s' has neither a picture nor a label to show", GetName().c_str());
        SetWindowSize(0, 0);
        return;
    }
    // The label keeps its layout; it moves so that its text sits inside the margin.
    label->SetWindowPos(kLabelMargin - text.left, kLabelMargin - text.top);
    SetWindowSize(text.right - text.left + 2 * kLabelMargin, text.bottom - text.top + 2 * kLabelMargin);
}

void TButton::SetCommand(Action* action)
{
    mCommand.reset(action);
}

void TButton::SetSound(EMouseState state, str name)
{
    if (state < kAway || state > kOver)
        return;
    mSounds[state] = TSound::Get(name, true, 0);
}

std::shared_ptr<TSound> TButton::GetSound(EMouseState state) const
{
    return state >= kAway && state <= kOver ? mSounds[state] : nullptr;
}

void TButton::PlaySound(int slot) const
{
    if (slot >= 0 && slot <= 2 && mSounds[slot])
        mSounds[slot]->Play(false);
}

void TButton::SetClickMask(std::shared_ptr<TTexture> texture)
{
    if (!texture)
        return;
    TColor32* pixels = nullptr;
    unsigned pitch = 0;
    if (!texture->Lock(&pixels, &pitch) || !pixels)
        return;
    const int width = static_cast<int>(texture->GetWidth());
    const int height = static_cast<int>(texture->GetHeight());
    std::vector<TColor32> copy(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        std::copy_n(pixels + static_cast<size_t>(y) * pitch, width, copy.begin() + static_cast<ptrdiff_t>(y) * width);
    texture->Unlock();
    SetClickMask(std::move(copy), width, height);
}

void TButton::SetClickMask(std::vector<TColor32> pixels, int width, int height)
{
    if (width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height)) {
        mMask.clear();
        mMaskWidth = mMaskHeight = 0;
        return;
    }
    mMask = std::move(pixels);
    mMaskWidth = width;
    mMaskHeight = height;
}

bool TButton::IsOverMask(const TPoint& point) const
{
    if (mMaskWidth <= 0 || mMaskHeight <= 0)
        return true;
    const int width = std::max(1, GetWindowWidth());
    const int height = std::max(1, GetWindowHeight());
    // Scaled onto the mask and held inside it, whatever sizes the two have.
    const int x = std::clamp(static_cast<int>(static_cast<long long>(point.x) * mMaskWidth / width), 0, mMaskWidth - 1);
    const int y =
        std::clamp(static_cast<int>(static_cast<long long>(point.y) * mMaskHeight / height), 0, mMaskHeight - 1);
    const TColor32 pixel = mMask[static_cast<size_t>(y) * static_cast<size_t>(mMaskWidth) + static_cast<size_t>(x)];
    return !(pixel.Red() < kNearBlack && pixel.Green() < kNearBlack && pixel.Blue() < kNearBlack);
}

bool TButton::ReleaseCapture(const TPoint& point)
{
    const bool inside =
        point.x >= 0 && point.y >= 0 && point.x < GetWindowWidth() && point.y < GetWindowHeight() && IsOverMask(point);
    if (inside)
        return false;
    OnMouseLeave();
    return true;
}

void TButton::SetState(EMouseState state)
{
    const EMouseState old = mState;
    mState = state;
    StateUpdate(state, old);
}

void TButton::StateUpdate(EMouseState newState, EMouseState oldState)
{
    if (newState != oldState && newState != kDown && oldState != kPressNotice && newState <= kOver &&
        (GetFlags() & kEnabled))
        PlaySound(newState);
    const int on = mOn ? 1 : 0;
    if (mKind == kPush) {
        if (newState <= kOver)
            SetCurrentLayer(newState);
    } else if (mKind == kToggle || mKind == kRadio) {
        if (newState == kAway)
            SetCurrentLayer(on);
        else if (newState == kDown)
            SetCurrentLayer(1 - on);
        else if (newState == kOver)
            SetCurrentLayer(on ? 3 : 2);
    }
}

bool TButton::OnMouseDown(const TPoint& point)
{
    if (mState == kAway)
        if (TWindowManager* wm = TWindowManager::GetInstance())
            wm->AddMouseListener(this);
    SetState(kDown);
    ReleaseCapture(point);
    return true;
}

bool TButton::OnMouseMove(const TPoint& point)
{
    if (ReleaseCapture(point))
        return false;
    if (mState != kAway)
        return true;
    SetState(kOver);
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->AddMouseListener(this);
    return true;
}

bool TButton::OnMouseLeave()
{
    if (mState != kAway)
        if (TWindowManager* wm = TWindowManager::GetInstance())
            wm->RemoveMouseListener(this);
    SetState(kAway);
    return true;
}

bool TButton::OnMouseUp(const TPoint& point)
{
    if (mState == kAway || ReleaseCapture(point))
        return true;
    if (mState == kDown && !DoPress())
        return true;
    if (IsShown(this))
        SetState(kOver);
    else
        OnMouseLeave();
    return true;
}

bool TButton::DoPress()
{
    StateUpdate(kPressNotice, kDown);
    if (IsShown(this))
        PlaySound(kDown);
    if (DoCommand()) {
        OnMouseLeave();
        return false;
    }
    if (mKind == kRadio) {
        SetOn(true);
    } else if (mKind == kToggle) {
        mOn = !mOn;
        SetState(mState);
    }
    TWindowManager* wm = TWindowManager::GetInstance();
    if (wm && FindParentModal() == wm->GetTopModalWindow())
        return true;
    OnMouseLeave();
    return false;
}

bool TButton::DoCommand()
{
    TWindowManager* wm = TWindowManager::GetInstance();
    if (!wm)
        return false;
    if (mClose) {
        if (TModalWindow* modal = FindParentModal()) {
            wm->PostWindowMessage(new TMessage(kCloseWindow, WindowIdText(modal->GetId()), nullptr));
            if (TWindowScriptBase* script = wm->GetScript())
                script->SetGlobalString("gReturnValue", GetName());
        }
    }
    TWindow* target = GetParent();
    if (mSendToParent) {
        TModalWindow* top = wm->GetTopModalWindow();
        target = top ? top->GetParent() : nullptr;
    }
    auto* message = new TMessage(kButtonPress, GetName(), target);
    if (!mCommand) {
        wm->PostWindowMessage(message);
        return false;
    }
    mCommand->DoAction(this);
    if (IsOnScreen(this)) {
        wm->PostWindowMessage(message);
        return false;
    }
    // The command took the button out of the tree (it closed its own modal, say).
    if (mSendToParent)
        wm->PostWindowMessage(message);
    else
        delete message;
    return true;
}

void TButton::SetOn(bool on)
{
    if (on && mKind == kRadio && GetParent()) {
        TRadioButtonSpider find(this, 0, nullptr);
        GetParent()->ForEachChild(find, true);
        if (find.GroupStart()) {
            TRadioButtonSpider clear(this, 1, find.GroupStart());
            GetParent()->ForEachChild(clear, true);
        }
    }
    mOn = on;
    SetState(mState);
    Invalidate();
}

void TButton::SetLabel(str text)
{
    if (TText* label = GetCast<TText>(GetChildWindow("label", unsigned(-1))))
        label->SetText(text);
}

str TButton::GetLabel()
{
    TText* label = GetCast<TText>(GetChildWindow("label", unsigned(-1)));
    return label ? label->GetText() : str();
}
