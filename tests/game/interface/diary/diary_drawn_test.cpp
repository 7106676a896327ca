// The demo's diary drawn into a real GL frame (offscreen driver): the selected entry's picture
// sits in the middle of the entry view, clear of the text above it and the buttons below, and an
// entry without one shows the page beneath.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/files/asset.h"
#include "diary_fixture.h"
#include "render/gl/gl_display_handler.h"
#include "render/renderer/renderer.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

bool Near(uint32_t a, uint32_t b)
{
    for (int shift = 0; shift < 32; shift += 8) {
        const int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        if (std::abs(d) > 3)
            return false;
    }
    return true;
}

class DiaryDrawnTest : public DiaryTest
{
protected:
    void SetUp() override
    {
        DiaryTest::SetUp();
        ASSERT_TRUE(EnsureGLContext(kWidth, kHeight)) << "no OpenGL context";
        TRenderer::SetDisplayHandlerFactory(&TGLDisplayHandler::Create);
        ASSERT_NO_FATAL_FAILURE(StartWhiteGLFrame(&assets, kWidth, kHeight));
        screen->SetWindowSize(kWidth, kHeight);
    }
    void TearDown() override
    {
        Lua("PopModal()");
        now += 20;
        Send(TEvent::kIdle);
        DiaryTest::TearDown();
        EndGLFrame();
    }
    TAssetManager assets;
};

TEST_F(DiaryDrawnTest, EntryPictureSitsInTheMiddleOfTheEntryView)
{
    Write("note");
    Write("sketch");
    OpenScreen("diary/primary.lua");
    TRect view;
    Find("entry_window")->GetWindowRect(&view);
    const TPoint middle((view.left + view.right) / 2, (view.top + view.bottom) / 2);
    struct Probe
    {
        int dx, dy;
        uint32_t sketch;  // the sketch book's entry, 200 × 160 around the middle
        uint32_t clues;   // the note, with no picture
    };
    const uint32_t page = 0xFFF4E9CEu;
    const Probe probes[] = {
        {-94, -74, 0xFFFBF3DCu, page},  // the sketch's paper
        {-10, 30, 0xFFE8D8A8u, page},   // the lantern's second shutter
        {11, -12, 0xFF4A4036u, page},   // a star on its third
        {-110, 0, page, page},          // beside the picture
    };
    for (const char* book : {"sketches", "clues"}) {
        Lua(std::string("SendDiaryMessage('") + book + "')");
        now += 20;
        wm->InvalidateScreen();
        Send(TEvent::kIdle);
        TRenderer::GetInstance()->Flush();
        for (const Probe& p : probes) {
            const uint32_t expected = book[0] == 's' ? p.sketch : p.clues;
            const uint32_t seen = ReadFramePixel(middle.x + p.dx, middle.y + p.dy, kHeight);
            EXPECT_TRUE(Near(seen, expected)) << book << " " << p.dx << "," << p.dy << ": " << std::hex << seen;
        }
    }
    // The picture lies below the entry's text, hints and all, and above the buttons under it.
    TRect body, hint;
    Find("item_body")->GetWindowRect(&body);
    Find("hintbutton")->GetWindowRect(&hint);
    EXPECT_LE(body.bottom, middle.y - 80);
    EXPECT_LE(middle.y + 80, hint.top);
}

}  // namespace
