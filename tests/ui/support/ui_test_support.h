#pragma once
// Shared helpers of the window tests: a display handler that records what is drawn, a
// fixture with a window manager on a fake clock, a Lua state for styles, windows that record
// what reaches them, and a hidden GL context for drawn frames.

#include "core/math/color.h"
#include "core/math/rect.h"
#include "core/script/message.h"
#include "render/gl/gl_texture_data.h"
#include "render/renderer/display_handler.h"
#include "ui/window/button_control.h"
#include "ui/window/modal_window.h"
#include "ui/window/window.h"
#include "ui/window/window_manager.h"

#include <gtest/gtest.h>
#include <lua.h>

#include <memory>
#include <string>
#include <vector>

#include "common/log_capture.h"
#include "core/script/script.h"

class TAssetManager;

struct TRecordedFill
{
    TRect rect;
    TColor color;
};

class TRecordingDisplayHandler : public TDisplayHandler
{
public:
    // Surfaces are real GL textures, made without a GL handler to answer to.
    std::unique_ptr<TTextureData> NewTextureData() override { return std::make_unique<TGLTextureData>(nullptr); }
    static TRecordingDisplayHandler* Instance();

    bool BeginDraw(bool) override
    {
        ++beginDraws;
        return acceptDraw;
    }
    void EndDraw(bool) override { ++endDraws; }
    void PostEndDraw(bool) override {}
    bool Begin2d() override { return true; }
    void End2d() override {}
    bool BeginRenderTarget(std::shared_ptr<TTexture>, TRenderStates::ERenderTargetMode) override { return false; }
    void EndRenderTarget() override {}
    void DrawVertices(TRenderStates::EDrawType, const TVertexSet&) override {}
    void DrawIndexedVertices(TRenderStates::EDrawType, const TVertexSet&, unsigned short*, int) override {}
    void FillRect(int left, int top, int right, int bottom, const TColor& color, std::shared_ptr<TTexture>) override
    {
        fills.push_back(TRecordedFill{TRect(left, top, right, bottom), color});
    }
    void SetTexture(std::shared_ptr<TTexture>) override {}
    void SetBlendMode(TRenderStates::EBlendMode) override {}
    void SetCullMode(TRenderStates::ECullMode) override {}
    bool GetTextureSquareFlag() override { return false; }
    void PushViewport(int left, int top, int right, int bottom) override
    {
        viewports.push_back(TRect(left, top, right, bottom));
    }
    void PopViewport() override
    {
        if (viewports.size() > 1)
            viewports.pop_back();
    }
    void GetViewport(int* left, int* top, int* right, int* bottom) override
    {
        const TRect r = viewports.back();
        *left = r.left;
        *top = r.top;
        *right = r.right;
        *bottom = r.bottom;
    }
    void SetClipRectangle(const TURect&) override {}
    void SetOption(const str&, const str&) override {}
    str GetOption(const str&) override { return str(); }

    std::vector<TRect> viewports{TRect(0, 0, 640, 480)};
    std::vector<TRecordedFill> fills;
    int beginDraws = 0;
    int endDraws = 0;
    bool acceptDraw = true;
};

// A window that notes what reaches it; `take` says which handlers consume.
class TProbeWindow : public TWindow
{
public:
    explicit TProbeWindow(const char* name = "", bool takeMouse = false) : mTakeMouse(takeMouse) { SetName(name); }
    bool OnMouseDown(const TPoint& p) override { return Note("down", p); }
    bool OnMouseUp(const TPoint& p) override { return Note("up", p); }
    bool OnMouseMove(const TPoint& p) override { return Note("move", p); }
    bool OnMouseLeave() override
    {
        log.push_back("leave");
        if (leaveRemoves)
            TWindowManager::GetInstance()->RemoveMouseListener(this);
        return false;
    }
    bool OnMessage(TMessage* m) override
    {
        messages.push_back(m->GetName().c_str());
        return takeMessages;
    }
    void OnSetFocus(TWindow*) override { ++focusCalls; }
    void Draw() override;

    std::vector<std::string> log;
    std::vector<TPoint> points;
    std::vector<std::string> messages;
    int focusCalls = 0;
    int draws = 0;
    bool takeMessages = false;
    bool leaveRemoves = false;
    bool mTakeMouse;
    // Filled over the whole window when drawn (alpha 0 draws nothing).
    TColor fill{0, 0, 0, 0};

private:
    bool Note(const char* what, const TPoint& p)
    {
        log.push_back(what);
        points.push_back(p);
        return mTakeMouse;
    }
};

// A modal window that notes focus and drawing.
class TProbeModal : public TModalWindow
{
public:
    explicit TProbeModal(const char* name = "") { SetName(name); }
    void OnSetFocus(TWindow* previous) override
    {
        ++focusCalls;
        TModalWindow::OnSetFocus(previous);
    }
    void Draw() override;
    int focusCalls = 0;
    int draws = 0;
    TColor fill{0, 0, 0, 0};
};

// A pressable window standing in for a button.
class TTestButton : public TWindow, public TButtonControl
{
public:
    explicit TTestButton(const char* name, bool isDefault = false, bool isCancel = false, bool command = true)
        : mDefault(isDefault), mCancel(isCancel), mCommand(command)
    {
        SetName(name);
    }
    void Press() override { ++presses; }
    bool DoCommand() override
    {
        ++commands;
        return mCommand;
    }
    bool IsDefaultButton() const override { return mDefault; }
    bool IsCancelButton() const override { return mCancel; }
    int presses = 0;
    int commands = 0;
    bool mDefault, mCancel, mCommand;
};

// A renderer on the recording handler, a window manager on a fake clock (starting at 1000)
// whose quit requests are counted, and no platform object.
class UiTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    TRecordingDisplayHandler& Display() { return *TRecordingDisplayHandler::Instance(); }
    // A screen-sized bottom modal window of 640 × 480.
    TProbeModal* InstallScreen();
    void Send(int32_t type, int x = 0, int y = 0, int32_t code = 0, uint32_t modifiers = 0);

    std::unique_ptr<TWindowManager> wm;
    uint32_t now = 1000;
    bool foreground = true;
    int exits = 0;
};

// A Lua state of its own for style tables.
class LuaTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    void Run(const char* code);
    lua_State* L = nullptr;
    std::unique_ptr<TScript> script;
};

// Makes a hidden GL context current (created on first use); false when there is no GL.
bool EnsureGLContext(int width, int height);
// A renderer on the GL display handler at width × height, drawing into a frame cleared to white
// and clipped to the whole display, with `assets` as the asset manager and no platform object.
// Needs EnsureGLContext first; fails the test fatally when there is no GL display handler.
void StartWhiteGLFrame(TAssetManager* assets, int width, int height);
// Undoes StartWhiteGLFrame once the windows are gone, and expects no GL error on the way.
void EndGLFrame();
// Pixel (x, y) of the frame, top-left origin, as 0xAARRGGBB.
uint32_t ReadFramePixel(int x, int y, int frameHeight);
