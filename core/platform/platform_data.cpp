#include "core/platform/platform_data.h"

#include "core/debug/debug_log.h"
#include "core/files/asset.h"
#include "core/files/file.h"
#include "core/files/make_folders.h"
#include "core/platform/platform.h"
#include "core/platform/product_info.h"
#include "core/platform/render_link.h"
#include "core/platform/sound_link.h"
#include "core/platform/window_system_link.h"
#include "core/strings/string_table.h"
#include "core/time/time_source.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

bool gbFlashPlaying = false;
bool gbZvUnicode = false;
bool gbQuenmarrUnicode = false;
float gyFlip = 0.0f;

namespace {

// Line numbers the graphics failure report has always carried, per step.
int GraphicsFailureLine(TPlatformHost::EGraphicsStep step)
{
    switch (step) {
    case TPlatformHost::EGraphicsStep::kPixelFormat: return 955;
    case TPlatformHost::EGraphicsStep::kContext: return 964;
    case TPlatformHost::EGraphicsStep::kDrawable: return 970;
    case TPlatformHost::EGraphicsStep::kCurrentContext: return 971;
    case TPlatformHost::EGraphicsStep::kUpdate: return 972;
    case TPlatformHost::EGraphicsStep::kNone: break;
    }
    return 0;
}

}  // namespace

TPlatformData::TPlatformData(int, char**, bool, std::unique_ptr<TPlatformHost> host) : mHost(std::move(host))
{
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    TFile::mResourceDir = TFile::LocateResourceDir();
    TFile::ScanForResources();

    mWindowManager = GetWindowSystemLink().CreateWindowManager();
    mAssetManager = std::make_unique<TAssetManager>();
    TAssetManager::SetInstance(mAssetManager.get());
    mStringTable = std::make_unique<TStringTable>();

    mStartTime = TimerNow();

    const TFile::TFolders folders = TFile::DefaultFolders(GetProductName(), [this] { return mHost ? mHost->AccountHome() : str(""); });
    mUserDir = folders.user;
    mCommonDir = folders.common;
    mDesktopDir = folders.desktop;
    // The desktop belongs to the user; only our own folders are made.
    if (!mCommonDir.empty())
        MakeFoldersFor(mCommonDir + "/");
    if (!mUserDir.empty())
        MakeFoldersFor(mUserDir + "/");

    ResetDbg(mUserDir.c_str());
    mWindowTitle = TV_PRODUCT_NAME;
}

TPlatformData::~TPlatformData()
{
    DestroyWindowManager();
    mIdleTasks.DestroyAll();
    DestroySoundManager();
    DestroyStringTable();
    DestroyAssetManager();
}

void TPlatformData::DestroyWindowManager()
{
    if (mWindowManager)
        GetWindowSystemLink().DestroyWindowManager(mWindowManager);
    mWindowManager = nullptr;
}

void TPlatformData::DestroySoundManager()
{
    if (mSoundManager)
        GetSoundLink().DestroyManager(mSoundManager);
    mSoundManager = nullptr;
}

void TPlatformData::DestroyStringTable()
{
    mStringTable.reset();
}

void TPlatformData::DestroyAssetManager()
{
    if (mAssetManager && TAssetManager::GetInstance() == mAssetManager.get())
        TAssetManager::SetInstance(nullptr);
    mAssetManager.reset();
}

unsigned TPlatformData::Timer() const
{
    return TimerNow() - mStartTime;
}

str TPlatformData::GetProductName()
{
    str name(TV_PRODUCT_NAME);
    name.downcase();
    return name;
}

str TPlatformData::GetVersion()
{
    return str(TV_PRODUCT_VERSION);
}

void TPlatformData::Exit(int)
{
    mQuitRequested = true;
}

bool TPlatformData::StringToClipboard(const str&)
{
    return false;
}

str TPlatformData::StringFromClipboard()
{
    return str();
}

bool TPlatformData::GetViewPortScale(float* out) const
{
    if (out)
        *out = mViewPortScale;
    return false;
}

void TPlatformData::SetWindowTitle(const char* title)
{
    mWindowTitle = title ? title : "";
    mHost->SetWindowTitle(mWindowTitle);
}

// --- display ---

void TPlatformData::CheckGraphics(TPlatformHost::EGraphicsStep step, const str& error)
{
    if (step == TPlatformHost::EGraphicsStep::kNone)
        return;
    std::fprintf(stderr, "aglGetError %s in file %s at line %d\n", error.c_str(), "platformdata",
                 GraphicsFailureLine(step));
    std::fflush(stderr);
    std::exit(-2);
}

void TPlatformData::SetDisplay(unsigned width, unsigned height, bool fullscreen)
{
    TRenderLink& render = GetRenderLink();
    const bool firstCall = !mHost->HasMainWindow();
    if (firstCall) {
        HideCursorOverContent();
        str error;
        CheckGraphics(mHost->CreateMainWindow(width, height, mWindowTitle, &error), error);
    }

    const bool wasWindow = !firstCall && !mFullscreenWanted && width == mWidth && height == mHeight;
    const bool askedFullscreen = fullscreen;
    mHost->SetWindowMode(width, height, fullscreen);
    // The window manager or the display may refuse full screen; the game then stays in a window.
    fullscreen = fullscreen && mHost->IsDisplayCaptured();
    // A refused switch from a window of this size leaves the window, and the pointer, where they
    // were; any windowed call is placed anew.
    const bool unchanged = wasWindow && askedFullscreen && !fullscreen;
    if (fullscreen)
        HideCursorOverContent();
    else if (!unchanged)
        mHost->CenterWindow();

    mHost->ShowWindow(true);
    if (firstCall)
        mHost->RaiseWindow();
    if (!unchanged)
        mHost->WarpMouseToWindowCenter();

    mFullscreenWanted = fullscreen;
    mWidth = width;
    mHeight = height;

    str error;
    CheckGraphics(mHost->ActivateContext(&error), error);

    render.SetDisplay(width, height, fullscreen);

    if (!mDisplayFilled) {
        mDisplayFilled = true;
        TPlatform* platform = TPlatform::GetInstance();
        if (platform)
            platform->ShowCursor(false);
        else
            ShowCursor(false);
        render.ClearFrame(width, height);
        if (platform)
            platform->ShowCursor(true);
        else
            ShowCursor(true);
    }

    if (!mCursorInited) {
        mCursorInited = true;
        render.InstallCursor("__systemcursor__.png", TPoint(1, 1));
    }

    render.ResetClipping(width, height, false);

    if (!render.HasVectorDraw())
        render.CreateVectorDraw();
}

bool TPlatformData::SetFullscreen(bool on)
{
    gyFlip = mHost->MainDisplayHeight();
    unsigned width = 0, height = 0;
    bool current = false;
    GetDisplay(&width, &height, &current);
    if (current == on)
        return true;
    SetDisplay(width, height, on);
    return mFullscreenWanted == on;
}

void TPlatformData::GetDisplay(unsigned* width, unsigned* height, bool* fullscreen)
{
    unsigned w = mWidth, h = mHeight;
    bool fs = mFullscreenWanted;
    GetRenderLink().GetDisplay(&w, &h, &fs);
    if (width)
        *width = w;
    if (height)
        *height = h;
    if (fullscreen)
        *fullscreen = fs;
}

void TPlatformData::SwapDisplayMode()
{
    if (!mFullscreenWanted)
        return;
    unsigned width = 0, height = 0;
    GetDisplay(&width, &height, nullptr);
    if (mHost->IsDisplayCaptured()) {
        mHost->SetWindowMode(width, height, false);
        mHost->ShowWindow(false);
    } else {
        mHost->ShowWindow(false);
        mHost->SetWindowMode(width, height, true);
        mHost->ShowWindow(true);
        HideCursorOverContent();
    }
}

// --- cursor ---

bool TPlatformData::IsMouseInContent()
{
    return mHost->IsMouseInContent();
}

void TPlatformData::HideCursorOverContent()
{
    if (mHost->IsCursorVisible() && mHost->IsMouseInContent())
        mHost->SetCursorVisible(false);
}

void TPlatformData::ShowCursorOutsideContent()
{
    if (!mHost->IsCursorVisible() && !mHost->IsMouseInContent())
        mHost->SetCursorVisible(true);
}

void TPlatformData::ShowCursor(bool show)
{
    // The game draws its own cursor over the content; the system one only shows outside it.
    mCursorWanted = show;
    if (show)
        ShowCursorOutsideContent();
    else
        HideCursorOverContent();
}

void TPlatformData::SetCursor(std::shared_ptr<TTexture> texture, TPoint hotspot, bool flag)
{
    TRenderLink& render = GetRenderLink();
    if (flag && !render.HardwareCursorsEnabled())
        return;
    if (!texture)
        return;
    HideCursorOverContent();
    render.SetCursor(std::move(texture), hotspot, flag);
}

// --- frames ---

void TPlatformData::DisplayConfigurationChanged()
{
    GetRenderLink().RebuildDisplay();
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->RequestTextureRefresh();
}

void TPlatformData::LogFrameRate()
{
    if (mShowFPS < 0)
        mShowFPS = std::getenv("GANTRIMOLE_SHOWFPS") ? 1 : 0;
    if (!mShowFPS)
        return;
    const uint32_t now = Timer();
    mFrameTime[mFrameTimeIndex] = now;
    mFrameTimeIndex = (mFrameTimeIndex + 1) % 15;
    if (mFrameTimeIndex != 0 || now - mLastFPSTime <= 1000)
        return;
    // Fifteen stamps span fourteen frame intervals.
    const uint32_t span = now - mFrameTime[0];
    WriteDbg("fps: %f", span ? 14000.0 / span : 0.0);
    mLastFPSTime = now;
}
