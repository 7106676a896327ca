#pragma once
// Helpers of the movie host tests: a web view that loads pages and reports their location,
// a display handler that counts frames and notes fills, and a fixture with a window manager,
// a temporary folder and a registered movie file.

#include "core/math/color.h"
#include "core/math/rect.h"
#include "online/web/web_view.h"
#include "render/gl/gl_texture_data.h"
#include "render/renderer/display_handler.h"
#include "ui/window/window_manager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// The page's location is "about:blank" after a page is loaded from text; FinishMovie does
// what the loader does at the end of a movie: it goes to the page's end address.
class TTestWebView : public TWebView
{
public:
    bool Open() override
    {
        ++opens;
        return available;
    }
    void Show() override { ++shows; }
    void Hide() override { ++hides; }
    void LoadHTML(const str& html) override
    {
        pages.push_back(html.c_str());
        location = "about:blank";
    }
    str EvalScript(const str& script) override
    {
        scripts.push_back(script.c_str());
        return std::string(script.c_str()) == "location.href" ? str(location.c_str()) : str();
    }
    str TextPageScheme() const override { return str("about:"); }

    void FinishMovie();

    bool available = true;
    int opens = 0, shows = 0, hides = 0;
    std::vector<std::string> pages;
    std::vector<std::string> scripts;
    std::string location;
};

// The value of one of the loader's variables in the page's "flashvars" parameter.
std::string PageVariable(const std::string& page, const std::string& name);
// A "file://" address back to its path.
std::string PathFromFileUrl(const std::string& url);
std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);

struct TFill
{
    TRect rect;
    TColor color;
};

class TCountingDisplayHandler : public TDisplayHandler
{
public:
    // Surfaces are real GL textures, made without a GL handler to answer to.
    std::unique_ptr<TTextureData> NewTextureData() override { return std::make_unique<TGLTextureData>(nullptr); }
    bool BeginDraw(bool) override
    {
        ++beginDraws;
        return true;
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
        fills.push_back(TFill{TRect(left, top, right, bottom), color});
    }
    void SetTexture(std::shared_ptr<TTexture>) override {}
    void SetBlendMode(TRenderStates::EBlendMode) override {}
    void SetCullMode(TRenderStates::ECullMode) override {}
    bool GetTextureSquareFlag() override { return false; }
    void PushViewport(int, int, int, int) override {}
    void PopViewport() override {}
    void GetViewport(int* left, int* top, int* right, int* bottom) override
    {
        *left = 0;
        *top = 0;
        *right = 800;
        *bottom = 600;
    }
    void SetClipRectangle(const TURect&) override {}
    void SetOption(const str&, const str&) override {}
    str GetOption(const str&) override { return str(); }

    int beginDraws = 0;
    int endDraws = 0;
    std::vector<TFill> fills;
};

class MovieHostTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    TCountingDisplayHandler& Display();
    // Offers the window manager a frame; true when it drew one.
    bool DrawsAFrame();
    // Names of the files now in the temporary folder.
    std::vector<std::string> TempFiles() const;

    static constexpr const char* kMovie = "movies/scene one+two.swf";
    std::unique_ptr<TWindowManager> wm;
    std::shared_ptr<TTestWebView> view = std::make_shared<TTestWebView>();
    std::string tempFolder;
    uint32_t now = 1000;
};
