#include "web_test_support.h"

#include "core/files/file.h"
#include "render/gl/gl_display_handler.h"
#include "render/renderer/renderer.h"
#include "ui/window/modal_window.h"

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TCountingDisplayHandler* gDisplay = nullptr;
const char kMovieBytes[] = "movie bytes";

TDisplayHandler* MakeDisplay()
{
    gDisplay = new TCountingDisplayHandler;
    return gDisplay;
}

}  // namespace

void TTestWebView::FinishMovie()
{
    location = PageVariable(pages.back(), "endurl");
}

std::string PageVariable(const std::string& page, const std::string& name)
{
    const std::string marker = "VALUE=\"";
    const size_t start = page.find(marker);
    if (start == std::string::npos)
        return std::string();
    const size_t end = page.find('"', start + marker.size());
    const std::string value = page.substr(start + marker.size(), end - start - marker.size());
    std::stringstream pairs(value);
    std::string pair;
    while (std::getline(pairs, pair, '&'))
        if (pair.compare(0, name.size() + 1, name + "=") == 0)
            return pair.substr(name.size() + 1);
    return std::string();
}

std::string PathFromFileUrl(const std::string& url)
{
    if (url.compare(0, 7, "file://") != 0)
        return std::string();
    std::string path;
    for (size_t i = 7; i < url.size(); ++i) {
        if (url[i] == '%' && i + 2 < url.size()) {
            path += char(std::stoi(url.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            path += url[i];
        }
    }
    return path;
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool FileExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

void MovieHostTest::SetUp()
{
    TRenderer::ShutDown();
    TRenderer::SetDisplayHandlerFactory(&MakeDisplay);
    TRenderer::GetInstance()->PushClippingRectangle(TURect(0, 0, 800, 600));
    wm = std::make_unique<TWindowManager>();
    wm->SetClock([this] { return now += 100; });
    wm->SetForegroundQuery([] { return true; });
    wm->SetExitHandler([](int) {});
    wm->SetScreen(new TModalWindow);

    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/tvwebtestXXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    tempFolder = pattern;
    TFile::AddMemoryFile(kMovie, kMovieBytes, sizeof kMovieBytes);
}

void MovieHostTest::TearDown()
{
    TFile::AddMemoryFile(kMovie, nullptr, 0);
    for (const std::string& name : TempFiles())
        unlink((tempFolder + "/" + name).c_str());
    rmdir(tempFolder.c_str());
    wm.reset();
    TRenderer::ShutDown();
    TRenderer::SetDisplayHandlerFactory(&TGLDisplayHandler::Create);
    gDisplay = nullptr;
}

TCountingDisplayHandler& MovieHostTest::Display()
{
    return *gDisplay;
}

bool MovieHostTest::DrawsAFrame()
{
    const int before = Display().beginDraws;
    wm->InvalidateScreen();
    wm->DrawStack();
    return Display().beginDraws > before;
}

std::vector<std::string> MovieHostTest::TempFiles() const
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(tempFolder.c_str())) {
        while (dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.')
                names.push_back(entry->d_name);
        closedir(dir);
    }
    return names;
}
