#include "ui/script/window_functions.h"

#include "core/config/config.h"
#include "core/debug/debug_log.h"
#include "core/platform/platform.h"
#include "core/script/lua_function.h"
#include "core/script/lua_message_wrapper.h"
#include "core/script/lua_number.h"
#include "core/script/lua_stack_guard.h"
#include "core/script/lua_table.h"
#include "core/script/message.h"
#include "core/script/message_lua.h"
#include "core/time/time_source.h"
#include "render/renderer/renderer.h"
#include "render/texture/texture.h"
#include "ui/screen/image.h"
#include "ui/script/window_script.h"
#include "ui/style/window_style.h"
#include "ui/widgets/button.h"
#include "ui/widgets/layered_window.h"
#include "ui/widgets/text.h"
#include "ui/widgets/widget_services.h"
#include "ui/window/message_types.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_manager.h"

#include <lauxlib.h>

#include <algorithm>
#include <memory>

namespace {

TWindowScript* Self(lua_State* L)
{
    return static_cast<TWindowScript*>(lua_touserdata(L, lua_upvalueindex(1)));
}

TWindowManager* Manager()
{
    return TWindowManager::GetInstance();
}

TModalWindow* TopModal()
{
    TWindowManager* wm = Manager();
    return wm ? wm->GetTopModalWindow() : nullptr;
}

str ArgString(lua_State* L, int index)
{
    if (lua_type(L, index) != LUA_TSTRING && lua_type(L, index) != LUA_TNUMBER)
        return str();
    size_t length = lua_strlen(L, index);
    return str(lua_tostring(L, index), static_cast<unsigned long>(length));
}

void PushStr(lua_State* L, const str& text)
{
    lua_pushlstring(L, text.c_str(), text.length());
}

// In the top modal window's subtree, then in each ancestor's.
TWindow* FindInModalChain(const str& name)
{
    TModalWindow* top = TopModal();
    if (!top)
        return nullptr;
    for (TWindow* level = top; level; level = level->GetParent())
        if (TWindow* found = level->GetChildWindow(name, unsigned(-1)))
            return found;
    return nullptr;
}

TWindow* FindInTopModal(const str& name)
{
    TModalWindow* top = TopModal();
    return top ? top->GetChildWindow(name, unsigned(-1)) : nullptr;
}

// --- layout building ---

int LuaGenericCreate(lua_State* L)
{
    Self(L)->CreateCustomWindow(L, 1);
    return 0;
}

int LuaPostCreate(lua_State* L)
{
    TWindow* current = Self(L)->GetCurrentWindow();
    if (!current || !lua_istable(L, 1))
        return 0;
    lua_pushvalue(L, 1);
    TLuaTable table(L);
    TWindowStyle style(&table);
    current->PostChildrenInit(style);
    return 0;
}

int LuaPopWindow(lua_State* L)
{
    TWindowScript* script = Self(L);
    if (script->GetWindowStackDepth() > 1)
        script->PopWindow();
    return 0;
}

int LuaSetWindowName(lua_State* L)
{
    if (TWindow* current = Self(L)->GetCurrentWindow())
        current->SetName(ArgString(L, 1));
    return 0;
}

int LuaDoFitToChildren(lua_State* L)
{
    if (TWindow* current = Self(L)->GetCurrentWindow())
        current->FitToChildren();
    return 0;
}

int LuaDoSelectLayer(lua_State* L)
{
    if (auto* layered = GetCast<TLayeredWindow>(Self(L)->GetCurrentWindow()))
        layered->SetCurrentLayer(LuaToInt(L, 1));
    return 0;
}

// --- the modal stack ---

int LuaPushModal(lua_State* L)
{
    TWindowManager* wm = Manager();
    if (!wm)
        return 0;
    auto* modal = new TModalWindow;
    modal->SetName(ArgString(L, 1));
    wm->PushModal(modal);
    PushStr(L, WindowIdText(modal->GetId()));
    return 1;
}

int LuaDoPopModal(lua_State* L)
{
    if (TWindowManager* wm = Manager())
        wm->PopModal(ArgString(L, 1));
    return 0;
}

int LuaClearModalChildren(lua_State*)
{
    if (TModalWindow* top = TopModal()) {
        top->DestroyTasks();
        top->DestroyAllChildren();
        top->SetWindowPos(0, 0);
        top->SetWindowSize(0, 0);
    }
    return 0;
}

int LuaGetWindowDepth(lua_State* L)
{
    int depth = 0;
    for (TWindow* w = TopModal(); w; w = w->GetParent())
        ++depth;
    lua_pushnumber(L, depth);
    return 1;
}

int LuaUpdateWindow(lua_State*)
{
    if (TWindowManager* wm = Manager())
        wm->InvalidateScreen();
    return 0;
}

// --- windows by name ---

int LuaEnableWindow(lua_State* L)
{
    TWindow* window = FindInModalChain(ArgString(L, 1));
    if (!window) {
        lua_pushboolean(L, false);
        return 1;
    }
    const bool enable = lua_toboolean(L, 2) != 0;
    window->SetFlags(enable ? window->GetFlags() | TWindow::kEnabled : window->GetFlags() & ~TWindow::kEnabled);
    if (!enable)
        if (TButton* button = GetCast<TButton>(window))
            button->OnMouseLeave();
    Manager()->InvalidateScreen();
    lua_pushboolean(L, true);
    return 1;
}

int LuaRealSetFocus(lua_State* L)
{
    TWindowManager* wm = Manager();
    TWindow* current = Self(L)->GetCurrentWindow();
    if (!wm)
        return 0;
    TWindow* window = current ? current->GetChildWindow(ArgString(L, 1), unsigned(-1)) : nullptr;
    TWindow* previous = wm->GetFocusWindow();
    wm->SetFocusWindow(window);
    if (window)
        window->OnSetFocus(previous);
    return 0;
}

int LuaDestroyWindow(lua_State* L)
{
    TWindow* current = Self(L)->GetCurrentWindow();
    TWindow* window = current ? current->GetChildWindow(ArgString(L, 1), unsigned(-1)) : nullptr;
    if (window && window->GetParent() && Manager()) {
        window->GetParent()->OrphanChild(window);
        Manager()->SafeDestroyWindow(window);
    }
    return 0;
}

int LuaSetPosition(lua_State* L)
{
    TWindow* window = FindInTopModal(ArgString(L, 1));
    if (!window)
        return 0;
    const TWindow* parent = window->GetParent();
    const int x =
        ResolveLayoutPosition(LuaToInt(L, 2), window->GetWindowWidth(), parent ? parent->GetWindowWidth() : 0);
    const int y =
        ResolveLayoutPosition(LuaToInt(L, 3), window->GetWindowHeight(), parent ? parent->GetWindowHeight() : 0);
    window->SetWindowPos(x, y);
    return 0;
}

int LuaGetLabel(lua_State* L)
{
    const str name = ArgString(L, 1);
    if (!TopModal()) {
        PushStr(L, str());
        return 1;
    }
    TWindow* window = FindInTopModal(name);
    if (!window)
        PushStr(L, name + "_is_not_found");
    else if (TButton* button = GetCast<TButton>(window))
        PushStr(L, button->GetLabel());
    else if (TText* text = GetCast<TText>(window))
        PushStr(L, text->GetText());
    else
        PushStr(L, name + "_is_not_a_TText_window_or_TButton");
    return 1;
}

int LuaSetLabel(lua_State* L)
{
    TWindow* window = FindInTopModal(ArgString(L, 1));
    if (TButton* button = GetCast<TButton>(window))
        button->SetLabel(ArgString(L, 2));
    else if (TText* text = GetCast<TText>(window))
        text->SetText(ArgString(L, 2));
    return 0;
}

int LuaSetCommand(lua_State* L)
{
    TButton* button = GetCast<TButton>(FindInModalChain(ArgString(L, 1)));
    if (!button || !lua_isfunction(L, 2))
        return 0;
    lua_pushvalue(L, 2);
    button->SetCommand(new TButton::LuaAction(new TLuaFunction(L)));
    return 0;
}

int LuaGetButtonToggleState(lua_State* L)
{
    TButton* button = GetCast<TButton>(FindInModalChain(ArgString(L, 1)));
    lua_pushboolean(L, button && button->IsOn());
    return 1;
}

int LuaSetButtonToggleState(lua_State* L)
{
    const str name = ArgString(L, 1);
    const bool on = lua_toboolean(L, 2) != 0;
    for (TWindow* level = TopModal(); level; level = level->GetParent())
        if (TButton* button = GetCast<TButton>(level->GetChildWindow(name, unsigned(-1))))
            button->SetOn(on);
    return 0;
}

// --- labels and hot keys ---

int LuaStripKeyFromLabel(lua_State* L)
{
    str stripped, key;
    StripKeyFromLabel(ArgString(L, 1), &stripped, &key);
    PushStr(L, stripped);
    PushStr(L, key);
    return 2;
}

int LuaTagHotKey(lua_State* L)
{
    PushStr(L, TagHotKey(ArgString(L, 1), ArgString(L, 2)));
    return 1;
}

int LuaRegisterHotkey(lua_State* L)
{
    const str key = ArgString(L, 1);
    if (TModalWindow* top = TopModal(); top && !key.empty())
        top->AddHotkey(key, ArgString(L, 2));
    return 0;
}

// --- pictures and drawing ---

int LuaSetBitmap(lua_State* L)
{
    TImage* image = GetCast<TImage>(FindInTopModal(ArgString(L, 1)));
    if (!image)
        return 0;
    const float scale = lua_isnumber(L, 3) ? static_cast<float>(lua_tonumber(L, 3)) : 1.0f;
    image->SetTexture(TTexture::Get(ArgString(L, 2), 0), scale);
    return 0;
}

int LuaImageLoaded(lua_State* L)
{
    TImage* image = GetCast<TImage>(FindInTopModal(ArgString(L, 1)));
    lua_pushboolean(L, image && image->GetTexture() != nullptr);
    return 1;
}

double Element(lua_State* L, int table, int index)
{
    lua_rawgeti(L, table, index);
    const double value = lua_isnumber(L, -1) ? lua_tonumber(L, -1) : 0;
    lua_pop(L, 1);
    return value;
}

int LuaFillRect(lua_State* L)
{
    if (!lua_istable(L, 1) || !lua_istable(L, 2))
        return 0;
    // Corners may come in any order: the rectangle is put right before it is clipped.
    const TURect asked = TURect(NumberToUnsigned(Element(L, 1, 1)), NumberToUnsigned(Element(L, 1, 2)),
                                NumberToUnsigned(Element(L, 1, 3)), NumberToUnsigned(Element(L, 1, 4)))
                             .Normalized();
    const uint32_t edges[4] = {asked.left, asked.top, asked.right, asked.bottom};
    const TColor color(static_cast<float>(Element(L, 2, 1)), static_cast<float>(Element(L, 2, 2)),
                       static_cast<float>(Element(L, 2, 3)), static_cast<float>(Element(L, 2, 4)));
    TRenderer* renderer = TRenderer::GetInstance();
    TRect screen;
    if (TWindowManager* wm = Manager(); wm && wm->GetScreen())
        screen = wm->GetScreen()->GetRect();
    else
        renderer->GetViewport(&screen);
    TURect rect(std::min<uint32_t>(edges[0], uint32_t(std::max(0, screen.right))),
                std::min<uint32_t>(edges[1], uint32_t(std::max(0, screen.bottom))),
                std::min<uint32_t>(edges[2], uint32_t(std::max(0, screen.right))),
                std::min<uint32_t>(edges[3], uint32_t(std::max(0, screen.bottom))));
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return 0;
    renderer->PushClippingRectangle(rect);
    renderer->FillRect(rect, color);
    renderer->PopClippingRectangle();
    return 0;
}

int LuaGetString(lua_State* L)
{
    const str id = ArgString(L, 1);
    if (!id.empty() && id[0] == '#') {
        PushStr(L, id.substr(1));
        return 1;
    }
    PushStr(L, LookupString(id, ArgString(L, 2), ArgString(L, 3), ArgString(L, 4), ArgString(L, 5), ArgString(L, 6)));
    return 1;
}

// --- movies ---

int LuaStartMovie(lua_State* L)
{
    lua_pushboolean(L, Self(L)->StartMovie(ArgString(L, 1), lua_toboolean(L, 2) != 0, lua_toboolean(L, 3) != 0));
    return 1;
}

int LuaIsMoviePlaying(lua_State* L)
{
    lua_pushboolean(L, Self(L)->IsMoviePlaying());
    return 1;
}

int LuaStopMovie(lua_State* L)
{
    Self(L)->StopMovie();
    return 0;
}

// --- messages ---

int LuaHandleGetMessage(lua_State* L)
{
    const int delay = lua_isnumber(L, 1) ? std::max(0, LuaToInt(L, 1)) : -1;
    lua_settop(L, 0);
    return Self(L)->WaitForMessage(L, delay);
}

int LuaCreateNamedMessage(lua_State* L)
{
    PushMessage(L, new TMessage(LuaToInt(L, 1), ArgString(L, 2), nullptr));
    return 1;
}

int LuaCreateCloseMessage(lua_State* L)
{
    TWindow* current = Self(L)->GetCurrentWindow();
    if (!current)
        current = TopModal();
    PushMessage(L, new TMessage(kCloseWindow, current ? WindowIdText(current->GetId()) : str(), nullptr));
    return 1;
}

// The wrapper keeps the Lua message alive on the script's own state.
void PostLuaMessage(lua_State* L, TWindowScript* script, TWindow* target, bool useTarget)
{
    TMessage* message = ToMessage(L, 1);
    TWindowManager* wm = Manager();
    if (!message || !wm) {
        WriteDbg("PostMessage: the argument is not a message");
        return;
    }
    lua_pushvalue(L, 1);
    const int ref = luaL_ref(L, LUA_REGISTRYINDEX);
    lua_State* home = script->GetState();
    lua_rawgeti(home, LUA_REGISTRYINDEX, ref);
    auto* wrapper =
        new TLuaMessageWrapper(message->GetType(), message->GetName(), useTarget ? target : message->GetTarget(), home);
    luaL_unref(L, LUA_REGISTRYINDEX, ref);
    wm->PostWindowMessage(wrapper);
}

int LuaPostMessage(lua_State* L)
{
    PostLuaMessage(L, Self(L), nullptr, false);
    return 0;
}

int LuaPostMessageToParent(lua_State* L)
{
    TModalWindow* top = TopModal();
    PostLuaMessage(L, Self(L), top ? top->GetParent() : nullptr, true);
    return 0;
}

// --- the platform ---

int LuaGetTimer(lua_State* L)
{
    TPlatform* platform = TPlatform::GetInstance();
    lua_pushnumber(L, platform ? platform->Timer() : TimerNow());
    return 1;
}

int LuaGetConfig(lua_State* L)
{
    PushStr(L, TPlatform::GetConfig(ArgString(L, 1), ArgString(L, 2)));
    return 1;
}

int LuaIsEnabled(lua_State* L)
{
    lua_pushboolean(L, TPlatform::IsEnabled(ArgString(L, 1)));
    return 1;
}

int LuaStringToClipboard(lua_State* L)
{
    TPlatform* platform = TPlatform::GetInstance();
    lua_pushboolean(L, platform && platform->StringToClipboard(ArgString(L, 1)));
    return 1;
}

int LuaTopModalHoldsWindows(lua_State* L)
{
    TModalWindow* top = TopModal();
    lua_pushboolean(L, top && !top->GetChildren().empty());
    return 1;
}

const struct
{
    const char* name;
    lua_CFunction function;
} kFunctions[] = {
    {"GenericCreate", LuaGenericCreate},
    {"PostCreate", LuaPostCreate},
    {"PopWindow", LuaPopWindow},
    {"SetWindowName", LuaSetWindowName},
    {"DoFitToChildren", LuaDoFitToChildren},
    {"DoSelectLayer", LuaDoSelectLayer},
    {"PushModal", LuaPushModal},
    {"DoPopModal", LuaDoPopModal},
    {"ClearModalChildren", LuaClearModalChildren},
    {"GetWindowDepth", LuaGetWindowDepth},
    {"UpdateWindow", LuaUpdateWindow},
    {"EnableWindow", LuaEnableWindow},
    {"RealSetFocus", LuaRealSetFocus},
    {"DestroyWindow", LuaDestroyWindow},
    {"SetPosition", LuaSetPosition},
    {"GetLabel", LuaGetLabel},
    {"SetLabel", LuaSetLabel},
    {"SetCommand", LuaSetCommand},
    {"GetButtonToggleState", LuaGetButtonToggleState},
    {"SetButtonToggleState", LuaSetButtonToggleState},
    {"StripKeyFromLabel", LuaStripKeyFromLabel},
    {"TagHotKey", LuaTagHotKey},
    {"_RegisterHotkey", LuaRegisterHotkey},
    {"_SetBitmap", LuaSetBitmap},
    {"ImageLoaded", LuaImageLoaded},
    {"FillRect", LuaFillRect},
    {"_GetString", LuaGetString},
    {"StartMovie", LuaStartMovie},
    {"IsMoviePlaying", LuaIsMoviePlaying},
    {"StopMovie", LuaStopMovie},
    {"HandleGetMessage", LuaHandleGetMessage},
    {"CreateNamedMessage", LuaCreateNamedMessage},
    {"CreateCloseMessage", LuaCreateCloseMessage},
    {"PostMessage", LuaPostMessage},
    {"PostMessageToParent", LuaPostMessageToParent},
    {"GetTimer", LuaGetTimer},
    {"GetConfig", LuaGetConfig},
    {"IsEnabled", LuaIsEnabled},
    {"StringToClipboard", LuaStringToClipboard},
    {"_TopModalHoldsWindows", LuaTopModalHoldsWindows},
};

}  // namespace

void BindWindowFunctions(TWindowScript* script, lua_State* L)
{
    TLuaStackGuard guard(L);
    for (const auto& entry : kFunctions) {
        lua_pushstring(L, entry.name);
        lua_pushlightuserdata(L, script);
        lua_pushcclosure(L, entry.function, 1);
        lua_rawset(L, LUA_GLOBALSINDEX);
    }
}

void StripKeyFromLabel(const str& label, str* stripped, str* key)
{
    const unsigned at = label.find('&');
    if (at == str::npos) {
        *stripped = label;
        *key = str();
        return;
    }
    *stripped = label.substr(0, static_cast<int>(at)) + label.substr(at + 1);
    *key = str();
    if (at + 1 < label.length() && static_cast<unsigned char>(label[at + 1]) < 192)
        *key = str("@") + label[at + 1];
}

str TagHotKey(const str& key, const str& label)
{
    if (key.empty())
        return label;
    const unsigned at = label.find(key[key.length() - 1], str::kIgnoreCase);
    if (at == str::npos)
        return label;
    return label.substr(0, static_cast<int>(at)) + "<u>" + label[at] + "</u>" + label.substr(at + 1);
}

int ResolveLayoutPosition(int position, int extent, int parentExtent)
{
    if (position > 106666)
        return parentExtent + position - TWindow::kMax;
    if (position > 40000)
        return parentExtent / 2 - extent / 2 + position - TWindow::kCenter;
    if (position < 0)
        return parentExtent + position;
    return position;
}
