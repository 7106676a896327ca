#pragma once
// The engine's single entry to the operating system and to the engine-wide services:
// configuration, events, display, clock, idle tasks, window manager, assets, string table,
// sound, random numbers, GUIDs, browser and clipboard.
//   TPlatform* p = TPlatform::GetInstance();
//   TEvent e; p->GetEvent(&e);
//   if (TPlatform::IsEnabled(TPlatform::kVerboseDebug)) ...

#include "core/config/config.h"
#include "core/math/rect.h"
#include "core/platform/event.h"
#include "core/text/str.h"
#include "core/time/task.h"

#include <cstdint>
#include <memory>

class TAssetManager;
class TPlatformData;
class TSoundManager;
class TStringTable;
class TTexture;
class TWindowManager;

class TPlatform
{
public:
    using ExtendedMouseEvents = EExtendedMouseEvent;
    using enum EExtendedMouseEvent;

    // Takes ownership of data and becomes the instance.
    explicit TPlatform(TPlatformData* data);
    ~TPlatform();
    TPlatform(const TPlatform&) = delete;
    TPlatform& operator=(const TPlatform&) = delete;

    static TPlatform* GetInstance() { return mPlatform; }

    // --- configuration (the table exists before the platform) ---
    static str GetConfig(const str& key, const str& def) { return TConfig::GetConfig(key, def); }
    static void SetConfig(const str& key, const str& value) { TConfig::SetConfig(key, value); }
    static bool IsEnabled(const str& key) { return TConfig::IsEnabled(key); }

    static inline const char* const& kGameName = TConfig::kGameName;
    static inline const char* const& kGameVersion = TConfig::kGameVersion;
    static inline const char* const& kUTF8Mode = TConfig::kUTF8Mode;
    static inline const char* const& kEncryptionKey = TConfig::kEncryptionKey;
    static inline const char* const& kZvGameHandle = TConfig::kZvGameHandle;
    static inline const char* const& kZvGameModeName = TConfig::kZvGameModeName;
    static inline const char* const& kZvGameMedalName = TConfig::kZvGameMedalName;
    static inline const char* const& kComputerId = TConfig::kComputerId;
    static inline const char* const& kCheatMode = TConfig::kCheatMode;
    static inline const char* const& kOrlanvue = TConfig::kOrlanvue;
    static inline const char* const& kInstallKey = TConfig::kInstallKey;
    static inline const char* const& kDownloadURL = TConfig::kDownloadURL;
    static inline const char* const& kVerboseDebug = TConfig::kVerboseDebug;
    static inline const char* const& kOverlayWindowMouseEvents = TConfig::kOverlayWindowMouseEvents;
    static inline const char* const& kAutoMergeMask = TConfig::kAutoMergeMask;
    static inline const char* const& kTextGraphicSpriteRender = TConfig::kTextGraphicSpriteRender;
    static inline const char* const& kAdjustAnimatedParticles = TConfig::kAdjustAnimatedParticles;
    static inline const char* const& kSpriteAlwaysTestChildren = TConfig::kSpriteAlwaysTestChildren;
    static inline const char* const& kHiscoreAnonymous = TConfig::kHiscoreAnonymous;
    static inline const char* const& kHiscoreLocalOnly = TConfig::kHiscoreLocalOnly;
    static inline const char* const& kKeepOGGUncompressed = TConfig::kKeepOGGUncompressed;

    // --- services ---
    TWindowManager* GetWindowManager() const;
    TAssetManager* GetAssetManager() const;
    TStringTable* GetStringTable() const;
    // Null until InitSound.
    TSoundManager* GetSoundManager() const;
    TTaskList* GetTaskList() const;
    TPlatformData* GetData() const { return mData; }

    void AdoptTask(TTask* task);
    bool OrphanTask(TTask* task);
    // Listeners run, once, at the start of the first frame after a refresh was requested (the
    // display was set up again and textures must be rebuilt).
    void AdoptTextureRefreshListener(TTask* task);
    bool OrphanTextureRefreshListener(TTask* task);
    TTaskList& TextureRefreshListeners() { return mTextureRefreshListeners; }
    void RequestTextureRefresh() { mTextureRefreshPending = true; }
    // Runs the listeners when a refresh is pending; the renderer's platform side calls it as
    // each frame begins.
    void RunTextureRefresh();

    void GetEvent(TEvent* e);
    unsigned Timer() const;
    unsigned Rand();
    void GenerateGUID(uint32_t* out);

    // --- display, window, cursor ---
    void SetDisplay(unsigned width, unsigned height, bool fullscreen);
    void GetDisplay(unsigned* width, unsigned* height, bool* fullscreen);
    bool SetFullscreen(bool on);
    bool IsFullscreen() const;
    bool IsForeground() const;
    // True when another copy of the program holds the lock file `lockPath` (a disk path);
    // otherwise this one holds it until it ends.
    bool FolderTakenByAnother(const str& lockPath);
    // The system's own box, for words the game's window cannot show; waits until it is closed.
    void ShowMessageBox(const str& title, const str& text);
    bool GetDisplayReady() const { return true; }
    int GetCursorMode() const;
    void SetCursor(std::shared_ptr<TTexture> texture, TPoint hotspot, bool flag);
    void ShowCursor(bool show);
    void SetWindowTitle(const str& title);
    void CreateApplicationWindow();

    // --- the rest of the system ---
    // Opens an http or https address in the user's browser; anything else is refused.
    bool OpenBrowser(const char* url);
    // The system clipboard is not reached: a copy is refused and the clipboard reads as empty.
    bool StringToClipboard(const str& text);
    str StringFromClipboard();
    // Asks for the quit: the next GetEvent reports it. The code is not used.
    void Exit(int code);
    bool InitSound();
    // Registers the built-in files (the system cursor picture); run at every resource scan.
    static void RegisterFiles();

private:
    static TPlatform* mPlatform;

    TPlatformData* mData = nullptr;
    TTaskList mTextureRefreshListeners;
    bool mTextureRefreshPending = false;
};
