#include "game/world/actor/girl.h"

#include "game/script/df_log.h"
#include "game/script/prevent_clipping.h"
#include "game/world/common/debug_flags.h"
#include "game/world/actor/say_box.h"
#include "game/world/clock/pause.h"
#include "game/world/scene/scene.h"
#include "game/world/sound/sfx_manager.h"
#include "render/text/text_graphic.h"

#include <lua.h>

#include <algorithm>
#include <vector>

namespace {

constexpr const char* kEllipsis = "\xE2\x80\xA6";

unsigned AlignFlags(const tTextSpec& spec)
{
    const unsigned h = spec.halign == HALIGN_CENTER  ? TTextGraphic::kHAlignCenter
                       : spec.halign == HALIGN_RIGHT ? TTextGraphic::kHAlignRight
                                                     : TTextGraphic::kHAlignLeft;
    const unsigned v = spec.anchor == ANCHOR_CENTER   ? TTextGraphic::kVAlignCenter
                       : spec.anchor == ANCHOR_BOTTOM ? TTextGraphic::kVAlignBottom
                                                      : TTextGraphic::kVAlignTop;
    return h | v;
}

}  // namespace

tTextSpec tGirl::DefaultActorSaySpec()
{
    tTextSpec spec;
    spec.box = TRect(-200, -200, 200, -40);
    spec.flags = 5;
    spec.halign = HALIGN_CENTER;
    spec.anchor = ANCHOR_CENTER;
    spec.font = "fonts/arial.mvec";
    spec.lineHeight = 20;
    spec.color = TColor(1, 1, 1, 1);
    spec.outlineSize = 0;
    spec.fixed = false;
    spec.clamp = CLAMP_NONE;
    spec.angle = 0;
    return spec;
}

bool tGirl::IsConversationActor() const
{
    return mScene && mScene->IsConversationMode() && mScene->GetConversationPartner() == this;
}

void tGirl::SayRawEx(const str& text, int duration, bool background)
{
    mBackgroundSpeech = background;
    LOGIT("tGirl[%s]::SayRaw([%s], %d)\n", mName.c_str(), text.c_str(), duration);
    mText.reset();
    if (!background)
        if (tScene* active = ActiveScene())
            active->DumpChoiceText();
    if (text.empty()) {
        StopTalk();
    } else {
        const str shown = mSaySpec.outlineSize != 0 ? mSaySpec.OutlineDesc() + text : text;
        if (IsConversationActor()) {
            mScene->CreateChoiceText({shown});
        } else {
            mSaySpec.flags = int((unsigned(mSaySpec.flags) & ~0xFu) | AlignFlags(mSaySpec));
            LOGIT("CREATE GIRL TEXT[%s]\n", shown.c_str());
            const TRect& box = mSaySpec.box;
            const int w = box.right - box.left, h = box.bottom - box.top;
            mText.reset(TTextGraphic::Create(shown, unsigned(std::max(w, 0)), unsigned(std::max(h, 0)),
                                             unsigned(mSaySpec.flags), mSaySpec.font.c_str(),
                                             unsigned(std::max(mSaySpec.lineHeight, 0)), mSaySpec.color));
            if (mSaySpec.angle != 0)
                mText->SetRotation(mSaySpec.angle, unsigned(std::max(w / 2, 0)), unsigned(std::max(h / 2, 0)));
            mText->GetTextBounds(&mTextBounds, 1.0f);
        }
        if (text != "..." && text != kEllipsis)
            mFlags |= AFLAG_TALKING;
        SetAppropriateAnim();
    }
    mTextEndTick = duration > 0 ? mTickCount + duration : duration;
}

void tGirl::SayID(const str& id, int duration)
{
    if (id.empty()) {
        StopTalk();
        return;
    }
    if (!mScene) {
        LOGIT("tGirl[%s]::SayID(%s) without a scene\n", mName.c_str(), id.c_str());
        return;
    }
    const str text = mScene->localisestring(id);
    if (!(mFlags & AFLAG_NO_VOX))
        g_SFXManager.PlayVox(id, text);
    SayRaw(text, duration);
}

void tGirl::UpdateText()
{
    if (mTextEndTick >= 1 && mTickCount >= mTextEndTick) {
        mTextEndTick = 0;
        SayRaw("", 0);
    }
}

void tGirl::StopTalk()
{
    mText.reset();
    mFlags &= ~uint32_t(AFLAG_TALKING);
    SetAppropriateAnim();
}

void tGirl::StopMouth()
{
    LOGIT("tGirl[%s]::StopMouth()\n", mName.c_str());
    mFlags &= ~uint32_t(AFLAG_TALKING);
    SetAppropriateAnim();
}

void tGirl::SetSaySpec(const tTextSpec& spec)
{
    mSaySpec = spec;
    const TRect& b = mSaySpec.box;
    LOGIT("tGirl[%s]::SetSaySpec(%d, %d, %d, %d)\n", mName.c_str(), b.left, b.top, b.right, b.bottom);
}

int tGirl::ModifySaySpec(dfLua& lua)
{
    ModifyTextSpec(mSaySpec, lua, 2);
    return 0;
}

int tGirl::OfferChoices(dfLua& lua)
{
    LOGIT("tGirl[%s]::OfferChoices()\n", mName.c_str());
    mText.reset();
    // The timer of the text just removed must not clear the choices later.
    mTextEndTick = 0;
    tScene* active = ActiveScene();
    if (active)
        active->DumpChoiceText();
    lua_State* L = lua.GetState();
    std::vector<str> choices;
    if (lua_istable(L, 2)) {
        lua_pushstring(L, "choices");
        lua_gettable(L, 2);
        if (lua_istable(L, -1)) {
            for (int i = 1;; ++i) {
                lua_rawgeti(L, -1, i);
                const str choice = Get(TypeWrapper<str>(), lua, -1);
                lua_pop(L, 1);
                if (choice.empty())
                    break;
                LOGIT("SEEING CHOICE %s\n", choice.c_str());
                choices.push_back(choice);
            }
        }
        lua_pop(L, 1);
    }
    if (choices.empty())
        LOGIT("tGirl[%s]::OfferChoices() found no choices\n", mName.c_str());
    if (active)
        active->CreateChoiceText(choices);
    return 0;
}

TRect tGirl::PlaceSpeech(TRect* text) const
{
    TRect box;
    if (IsConversationActor())
        box = mScene->GetTextBounds();
    else if (mSaySpec.fixed)
        box = mSaySpec.box;
    else
        box = PlaceSayBox(mSaySpec, GetBGScale(), mPosition, mScene ? mScene->GetCameraPosition() : tVector2<float>());
    *text = TRect(box.left + mTextBounds.left, box.top + mTextBounds.top, box.left + mTextBounds.right,
                  box.top + mTextBounds.bottom);
    if (mSaySpec.clamp == CLAMP_SCREEN) {
        const TPoint shift = ShiftIntoArea(*text, mScene ? mScene->GetVisibleArea() : TRect(0, 0, 800, 600));
        box = TRect(box.left + shift.x, box.top + shift.y, box.right + shift.x, box.bottom + shift.y);
        *text = TRect(text->left + shift.x, text->top + shift.y, text->right + shift.x, text->bottom + shift.y);
    }
    return box;
}

void tGirl::DrawTextA()
{
    if (!mText || (IsPaused() && !(mFlags & AFLAG_NON_SPEECH)))
        return;
    TRect text;
    const TRect box = PlaceSpeech(&text);
    tPreventClipping clip;
    mText->Draw(box, 1.0f, 0, mBackgroundSpeech ? GetBGVoxAlpha() : 1.0f, nullptr);
    switch (DebugSwitch(3)) {
    case 1:
        BoxDraw(box, TColor(1, 0, 0, 1));
        BoxDraw(text, TColor(0, 0, 1, 1));
        break;
    case 2: BoxFill(box, TColor(0, 1, 0, 0.7f)); break;
    default: break;
    }
}
