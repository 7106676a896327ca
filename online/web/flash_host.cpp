#include "online/web/flash_host.h"

#include "core/debug/debug_log.h"
#include "core/files/file.h"
#include "core/math/color.h"
#include "core/platform/platform.h"
#include "online/web/flash_host_data.h"
#include "online/web/movie_page.h"
#include "online/web/web_view.h"
#include "render/renderer/renderer.h"
#include "ui/window/window_manager.h"

#include <climits>
#include <cstdlib>

namespace {

constexpr unsigned kDefaultWidth = 800;
constexpr unsigned kDefaultHeight = 600;

void ShowCursor(bool show)
{
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->ShowCursor(show);
}

void SuspendDrawing(bool on)
{
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->SetDrawingSuspended(on);
}

str AssetsFolder()
{
    const str assets = TFile::ToDiskPath("assets");
    char resolved[PATH_MAX];
    if (!realpath(assets.c_str(), resolved))
        return str();
    return str(resolved) + "/";
}

// Both display buffers black, so nothing of the game shows while the view goes away.
void BlankDisplay()
{
    TRenderer* renderer = TRenderer::GetInstance();
    if (!renderer)
        return;
    for (int i = 0; i < 2; ++i) {
        if (!renderer->BeginDraw(false))
            continue;
        if (renderer->Begin2d()) {
            renderer->FillRect(TURect(0, 0, kDefaultWidth, kDefaultHeight), TColor(0, 0, 0, 1));
            renderer->End2d();
        }
        renderer->EndDraw(true);
    }
}

}  // namespace

TFlashHost::TFlashHost(str moviePath) : TFlashHost(moviePath, TFlashHostEnvironment{}) {}

TFlashHost::TFlashHost(str moviePath, const TFlashHostEnvironment& environment)
    : mMoviePath(moviePath), mData(std::make_unique<TFlashHostData>())
{
    TFlashHostData& d = *mData;
    d.env = environment;
    if (!d.env.view)
        d.env.view = GetProgramWebView();
    if (!TFile::Exists(mMoviePath)) {
        WriteDbg("Movie not found: %s", mMoviePath.c_str());
        return;
    }
    if (!d.env.view->Open())
        return;
    d.started = true;
    ShowCursor(true);
    d.env.view->Show();
    const str assets = d.env.assetsFolder.empty() ? AssetsFolder() : d.env.assetsFolder;
    d.movieUrl = AsFileURL(assets + mMoviePath);
}

TFlashHost::~TFlashHost()
{
    TFlashHostData& d = *mData;
    if (!d.started)
        return;
    SuspendDrawing(false);
    ShowCursor(false);
    d.env.view->Hide();
    BlankDisplay();
    d.env.view->LoadHTML(kBlankMoviePage);
    d.DeleteTempFiles();
}

bool TFlashHost::IsStarted() const
{
    return mData->started;
}

bool TFlashHost::Start(bool loop, bool translate, bool /*allowInput*/)
{
    TFlashHostData& d = *mData;
    if (!d.started)
        return false;
    d.loop = loop;
    d.useStrings = translate;
    // A second start replaces the files of the first.
    d.DeleteTempFiles();
    if (!d.CreateTempFiles(mMoviePath)) {
        WriteDbg("Movie %s not started: its temporary files could not be written", mMoviePath.c_str());
        return false;
    }

    unsigned width = d.env.displayWidth, height = d.env.displayHeight;
    if (width == 0 || height == 0) {
        width = kDefaultWidth;
        height = kDefaultHeight;
        if (TPlatform* platform = TPlatform::GetInstance()) {
            bool fullscreen = false;
            platform->GetDisplay(&width, &height, &fullscreen);
        }
    }
    SuspendDrawing(true);

    TMoviePageParts parts;
    parts.loaderUrl = AsFileURL(d.swfPath);
    parts.width = width;
    parts.height = height;
    parts.loop = loop;
    parts.stringsUrl = AsFileURL(d.stringsPath);
    parts.movieUrl = d.movieUrl;
    parts.blankUrl = AsFileURL(d.htmlPath);
    d.env.view->LoadHTML(BuildMoviePage(parts));
    d.env.view->EvalScript("location.href");
    return true;
}

bool TFlashHost::IsPlaying()
{
    TFlashHostData& d = *mData;
    if (!d.started || d.htmlPath.empty())
        return false;
    const str location = d.env.view->EvalScript("location.href");
    const str scheme = d.env.view->TextPageScheme();
    const bool atEndPage = location.find(d.htmlPath) != str::npos;
    const bool fromText = !scheme.empty() && location.find(scheme) != str::npos;
    if (atEndPage && !fromText)
        return false;
    ShowCursor(true);
    return true;
}

void TFlashHost::Stop()
{
    if (mData->started)
        SuspendDrawing(false);
}
