#include "platform_fakes.h"

#include "core/config/config.h"
#include "core/files/file.h"
#include "core/time/time_source.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

TPlatformHost::EWait TFakeHost::WaitEvent(TSystemEvent* out, unsigned)
{
    if (failWait)
        return EWait::kFailed;
    if (events.empty())
        return EWait::kTimedOut;
    *out = events.front();
    events.pop_front();
    return EWait::kReceived;
}

void TFakeHost::Sleep(unsigned ms)
{
    sleeps.push_back(ms);
    if (clock)
        *clock += ms;
}

TPlatformHost::EGraphicsStep TFakeHost::CreateMainWindow(unsigned width, unsigned height, const str&, str* error)
{
    calls.push_back("create " + std::to_string(width) + "x" + std::to_string(height));
    if (failStep != EGraphicsStep::kNone) {
        *error = "no pixel format";
        return failStep;
    }
    window = true;
    return EGraphicsStep::kNone;
}

void TFakeHost::SetWindowMode(unsigned width, unsigned height, bool fullscreen)
{
    calls.push_back("mode " + std::to_string(width) + "x" + std::to_string(height) + (fullscreen ? " full" : " win"));
    captured = fullscreen && !refuseFullscreen;
}

void TFakeHost::SetCursorVisible(bool visible)
{
    cursorVisible = visible;
    calls.push_back(visible ? "cursor on" : "cursor off");
}

bool TFakeHost::Called(const std::string& what) const
{
    return std::find(calls.begin(), calls.end(), what) != calls.end();
}

TWindowManager* FakeWindowManager()
{
    static char tag;
    return reinterpret_cast<TWindowManager*>(&tag);
}

TSoundManager* FakeSoundManager()
{
    static char tag;
    return reinterpret_cast<TSoundManager*>(&tag);
}

TWindowManager* TRecordingWindowLink::CreateWindowManager()
{
    calls.push_back("create");
    return created ? FakeWindowManager() : nullptr;
}

void TRecordingWindowLink::EnableStringTable(TWindowManager*, bool enable)
{
    calls.push_back(enable ? "strings on" : "strings off");
}

void TRecordingWindowLink::EnsureScreen(TWindowManager*, unsigned w, unsigned h)
{
    calls.push_back("screen " + std::to_string(w) + "x" + std::to_string(h));
}

int TRecordingWindowLink::Count(const std::string& what) const
{
    return int(std::count(calls.begin(), calls.end(), what));
}

TSoundManager* TRecordingSoundLink::CreateManager()
{
    calls.push_back("create");
    return FakeSoundManager();
}

void TRecordingRenderLink::SetDisplay(unsigned w, unsigned h, bool fs)
{
    calls.push_back("display " + std::to_string(w) + "x" + std::to_string(h) + (fs ? " full" : " win"));
}

void TRecordingRenderLink::ClearFrame(unsigned w, unsigned h)
{
    calls.push_back("clear " + std::to_string(w) + "x" + std::to_string(h));
}

void TRecordingRenderLink::ResetClipping(unsigned w, unsigned h, bool push)
{
    calls.push_back(std::string(push ? "push " : "set ") + std::to_string(w) + "x" + std::to_string(h));
}

void TRecordingRenderLink::InstallCursor(const char* name, TPoint hotspot)
{
    calls.push_back(std::string("cursor ") + name + " " + std::to_string(hotspot.x) + "," + std::to_string(hotspot.y));
}

int TRecordingRenderLink::Count(const std::string& what) const
{
    return int(std::count(calls.begin(), calls.end(), what));
}

void PlatformFixture::SetUp()
{
    char pattern[] = "/tmp/tv_platform_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    mTemp = pattern;
    const std::string data = std::string(TV_TEST_SOURCE_DIR) + "/tests/core/platform/data";
    setenv("XDG_DATA_HOME", (mTemp + "/share").c_str(), 1);
    setenv("XDG_DESKTOP_DIR", (mTemp + "/Desktop").c_str(), 1);
    setenv("HOME", mTemp.c_str(), 1);
    setenv("TESSIVANDER_RESOURCES", (data + "/resources").c_str(), 1);
    unsetenv("GANTRIMOLE_SHOWFPS");

    TConfig::Clear();
    TFile::ShutDownFileSystem();
    TFile::mUserDir = TFile::mCommonDir = TFile::mDesktopDir = "";
    gbFlashPlaying = gbZvUnicode = gbQuenmarrUnicode = false;
    SetTimeSource([this] { return now; });
    SetWindowSystemLink(&windows);
    SetSoundLink(&sound);
    SetRenderLink(&render);
}

void PlatformFixture::TearDown()
{
    SetWindowSystemLink(nullptr);
    SetSoundLink(nullptr);
    SetRenderLink(nullptr);
    SetTimeSource(nullptr);
    TConfig::Clear();
    TFile::ShutDownFileSystem();
    gbFlashPlaying = gbZvUnicode = gbQuenmarrUnicode = false;
    std::error_code ec;
    std::filesystem::remove_all(mTemp, ec);
}

std::unique_ptr<TPlatformData> PlatformFixture::MakeData()
{
    auto fake = std::make_unique<TFakeHost>();
    fake->accountHome = accountHome;
    host = fake.get();
    return std::make_unique<TPlatformData>(0, nullptr, false, std::move(fake));
}

TSystemEvent PlatformFixture::Key(uint32_t kind, uint8_t ch, uint32_t keyCode)
{
    TSystemEvent ev;
    ev.eventClass = sysev::kKeyboard;
    ev.kind = kind;
    ev.charCode = ch;
    ev.keyCode = keyCode;
    return ev;
}

TSystemEvent PlatformFixture::Mouse(uint32_t kind, int32_t button, int32_t x, int32_t y)
{
    TSystemEvent ev;
    ev.eventClass = sysev::kMouse;
    ev.kind = kind;
    ev.button = button;
    ev.x = x;
    ev.y = y;
    return ev;
}

TSystemEvent PlatformFixture::Text(std::vector<uint16_t> units)
{
    TSystemEvent ev;
    ev.eventClass = sysev::kTextInput;
    ev.kind = sysev::kUnicodeForKeyEvent;
    ev.text = std::move(units);
    return ev;
}

TSystemEvent PlatformFixture::Simple(uint32_t eventClass, uint32_t kind)
{
    TSystemEvent ev;
    ev.eventClass = eventClass;
    ev.kind = kind;
    return ev;
}

std::vector<TEvent> PlatformFixture::Drain(TPlatformData& data)
{
    std::vector<TEvent> out;
    while (!data.Queue().empty()) {
        TEvent e;
        data.GetEvent(&e);
        out.push_back(e);
    }
    return out;
}
