#include "core/platform/platform.h"

#include "core/debug/debug_log.h"
#include "core/files/asset.h"
#include "core/files/file.h"
#include "core/platform/browser.h"
#include "core/platform/platform_data.h"
#include "core/platform/render_link.h"
#include "core/platform/sound_link.h"
#include "core/platform/system_cursor.h"
#include "core/platform/window_system_link.h"
#include "core/strings/string_table.h"
#include "core/system/identifiers.h"
#include "core/xml/xml_node.h"

#include <cstdlib>

TPlatform* TPlatform::mPlatform = nullptr;

namespace {

// The text after "-url=" up to the next space or the end.
void ReadCommandLineSettings(const str& commandLine)
{
    const unsigned at = commandLine.find(str("-url="));
    if (at != str::npos) {
        const unsigned start = at + 5;
        const unsigned space = commandLine.find(' ', 0, start);
        const int length = space == str::npos ? -1 : int(space - start);
        TConfig::SetConfig(TConfig::kDownloadURL, commandLine.substr(start, length));
    }
    if (commandLine.find(str("--stringtest")) != str::npos)
        TConfig::SetConfig("stringtest", "1");
}

void ReadSettingsFile()
{
    const char* path = "::assets/settings.xml";
    if (!TFile::Exists(path))
        return;
    TXmlNode root;
    TXmlNode* settings = root.ParseFile(path) ? root.GetChild("settings") : nullptr;
    if (!settings) {
        WriteDbg("Settings file '%s' ignored: it holds no <settings> element", path + 2);
        return;
    }
    settings->ResetChildren();
    str name;
    TXmlNode* child = nullptr;
    while (settings->GetNextChild(&name, &child))
        TConfig::SetConfig(child->GetName(), child->GetContent());
}

// Extra string tables in a folder: files whose names begin with "string" and hold ".xml".
void MergeStringTables(TStringTable& table, const char* folder)
{
    const unsigned prefixLength = str(folder).length();
    str name;
    while (TFile::GetNextFile(folder, &name, false)) {
        const str file = name.substr(prefixLength);
        if (file.find(str("string")) == 0 && file.find(str(".xml")) != str::npos)
            table.MergeStringTable(name);
    }
}

}  // namespace

TPlatform::TPlatform(TPlatformData* data)
{
    mPlatform = this;

    TConfig::SetConfig("memorymax", "100000000");
    TConfig::SetConfig("texturememorymax", "100000000");

    ReadCommandLineSettings(data->CommandLine());
    TConfig::SetConfig("utf8modeinit", TConfig::GetConfig(TConfig::kUTF8Mode, ""));

    mData = data;

    uint32_t seeds[4];
    for (uint32_t& seed : seeds) {
        const uint32_t a = uint32_t(std::rand()), b = uint32_t(std::rand()), c = uint32_t(std::rand());
        seed = a * b * 8u + (c >> 3);
    }
    mData->Random().SeedArray(seeds, 4);

    if (TWindowManager* wm = mData->WindowManager())
        GetWindowSystemLink().AttachWindowScript(wm);

    TConfig::SetConfig(TConfig::kComputerId, zvGetComputerId());

    ReadSettingsFile();

    TFile::SetFolders(TFile::TFolders{mData->UserFolder(), mData->CommonFolder(), mData->DesktopFolder()});
    TFile::mRegisterFiles = &TPlatform::RegisterFiles;
    TFile::ScanForResources();

    TStringTable* strings = mData->StringTable();
    if (strings->LoadStringTable("strings.xml")) {
        if (TWindowManager* wm = mData->WindowManager())
            GetWindowSystemLink().EnableStringTable(wm, true);
    }
    MergeStringTables(*strings, "user:");
    MergeStringTables(*strings, "common:");

    const str product = TPlatformData::GetProductName();
    const str version = TPlatformData::GetVersion();
    WriteDbg("%s, version %s.", product.c_str(), version.c_str());
    TConfig::SetConfig(TConfig::kGameName, product);
    TConfig::SetConfig(TConfig::kGameVersion, version);

    GetSoundLink().RegisterDataSources();
}

TPlatform::~TPlatform()
{
    mData->DestroyWindowManager();
    mData->TaskList().DestroyAll();
    mData->DestroySoundManager();
    GetRenderLink().DestroyVectorDraw();
    GetRenderLink().ShutDownRenderer();
    mPlatform = nullptr;
    GetWindowSystemLink().DestroyGameState();
    mData->DestroyStringTable();
    mData->DestroyAssetManager();
    delete mData;
    mData = nullptr;
    TConfig::Clear();
    TFile::ShutDownFileSystem();
    if (TFile::mRegisterFiles == &TPlatform::RegisterFiles)
        TFile::mRegisterFiles = nullptr;
}

TWindowManager* TPlatform::GetWindowManager() const
{
    return mData->WindowManager();
}
TAssetManager* TPlatform::GetAssetManager() const
{
    return mData->AssetManager();
}
TStringTable* TPlatform::GetStringTable() const
{
    return mData->StringTable();
}
TSoundManager* TPlatform::GetSoundManager() const
{
    return mData->SoundManager();
}
TTaskList* TPlatform::GetTaskList() const
{
    return &mData->TaskList();
}

void TPlatform::AdoptTask(TTask* task)
{
    mData->TaskList().AdoptTask(task);
}
bool TPlatform::OrphanTask(TTask* task)
{
    return mData->TaskList().OrphanTask(task);
}
void TPlatform::AdoptTextureRefreshListener(TTask* task)
{
    mTextureRefreshListeners.AdoptTask(task);
}
bool TPlatform::OrphanTextureRefreshListener(TTask* task)
{
    return mTextureRefreshListeners.OrphanTask(task);
}

void TPlatform::RunTextureRefresh()
{
    if (!mTextureRefreshPending)
        return;
    mTextureRefreshPending = false;
    mTextureRefreshListeners.DoAll(TTask::kIdleContext);
}

void TPlatform::GetEvent(TEvent* e)
{
    mData->GetEvent(e);
}
unsigned TPlatform::Timer() const
{
    return mData->Timer();
}
unsigned TPlatform::Rand()
{
    return mData->Random().Rand32();
}
void TPlatform::GenerateGUID(uint32_t* out)
{
    zvGenerateGUID(out);
}

void TPlatform::SetDisplay(unsigned width, unsigned height, bool fullscreen)
{
    if (TWindowManager* wm = mData->WindowManager())
        GetWindowSystemLink().EnsureScreen(wm, width, height);
    mData->SetDisplay(width, height, fullscreen);
    GetRenderLink().ResetClipping(width, height, true);
}

void TPlatform::GetDisplay(unsigned* width, unsigned* height, bool* fullscreen)
{
    mData->GetDisplay(width, height, fullscreen);
}
bool TPlatform::SetFullscreen(bool on)
{
    return mData->SetFullscreen(on);
}
bool TPlatform::IsFullscreen() const
{
    return mData->IsFullscreen();
}
bool TPlatform::FolderTakenByAnother(const str& lockPath)
{
    return mData->Host().FolderTakenByAnother(lockPath);
}

void TPlatform::ShowMessageBox(const str& title, const str& text)
{
    mData->Host().ShowMessageBox(title, text);
}

bool TPlatform::IsForeground() const
{
    return mData->IsForeground();
}
int TPlatform::GetCursorMode() const
{
    return mData->GetCursorMode();
}
void TPlatform::SetCursor(std::shared_ptr<TTexture> texture, TPoint hotspot, bool flag)
{
    mData->SetCursor(std::move(texture), hotspot, flag);
}
void TPlatform::ShowCursor(bool show)
{
    mData->ShowCursor(show);
}
void TPlatform::SetWindowTitle(const str& title)
{
    mData->SetWindowTitle(title.c_str());
}
void TPlatform::CreateApplicationWindow()
{
    mData->CreateApplicationWindow();
}

bool TPlatform::OpenBrowser(const char* url)
{
    return LaunchBrowser(url);
}
bool TPlatform::StringToClipboard(const str& text)
{
    return mData->StringToClipboard(text);
}
str TPlatform::StringFromClipboard()
{
    return mData->StringFromClipboard();
}
void TPlatform::Exit(int code)
{
    mData->Exit(code);
}

bool TPlatform::InitSound()
{
    TSoundLink& sound = GetSoundLink();
    if (!mData->SoundManager())
        mData->SetSoundManager(sound.CreateManager());
    TSoundManager* manager = mData->SoundManager();
    return manager ? sound.Init(manager) : false;
}

void TPlatform::RegisterFiles()
{
    if (!TFile::Exists("__systemcursor__.png"))
        TFile::AddMemoryFile("__systemcursor__.png", gCursor, static_cast<unsigned>(gCursorSize));
}
