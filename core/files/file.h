#pragma once
// File access by logical name. Names are resolved through one process-wide resource map:
//   images/door.png        a name relative to the asset folder
//   assets/images/door.png the same ("assets\" is accepted too)
//   user:, common:, desktop: the user's, all users' and desktop folders
//   ::some/path            a raw path, relative to the resources folder
// Keys are lower case; values keep the real case of the files on disk, so assets with
// capitals in their names open on a case-sensitive file system.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>

#include "core/text/str.h"

enum eFileMode : int32_t
{
    kFileRead = 0,
    kFileReadText = 1,  // archive and memory sources drop every carriage return
    kFileWrite = 2,
    kFileWriteText = 3,
    kFileAppend = 4,
    kFileAppendText = 5,
};

enum eFileSeek : int32_t
{
    kSeekCurrent = 0,
    kSeekStart = 1,
    kSeekEnd = 2,
};

// Where a resource-map value points. Kept apart from the text so that a disk path that
// happens to start with "@" or "&" is never taken for an archive entry or a memory block.
enum class eResourceKind : uint8_t
{
    kDisk,     // value: a disk path
    kArchive,  // value: "@<archive index>:<offset>,<length>"
    kMemory,   // value: "&<block id>,<size>"
};

struct TResourceRef
{
    eResourceKind kind = eResourceKind::kDisk;
    str value;
};

using TResourceMap = std::map<str, TResourceRef>;

// One source of bytes behind a TFile.
class TFileData
{
public:
    virtual ~TFileData() = default;
    virtual bool Open(const str& path, eFileMode mode) = 0;
    virtual void Close() = 0;
    virtual void Unget() = 0;
    virtual void Seek(long offset, eFileSeek whence) = 0;
    virtual long Size() = 0;
    virtual long Tell() = 0;
    virtual unsigned long Read(void* buffer, unsigned long count) = 0;
    virtual unsigned long Write(const void* buffer, unsigned long count) = 0;
    virtual bool AtEOF() = 0;
};

class TFile
{
public:
    TFile() = default;
    ~TFile();
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;

    bool Open(const str& name, eFileMode mode = kFileRead);
    void Close();
    bool IsValid() const { return mData != nullptr; }

    unsigned long Read(void* buffer, unsigned long count);
    unsigned long Write(const void* buffer, unsigned long count);
    void Seek(long offset, eFileSeek whence);
    long Tell();
    long Size();
    // True once the position reaches the end, before any read comes back short, for loose
    // files, archive entries and memory files alike; true when no file is open.
    bool AtEOF();
    void Unget();

    // --- the resource map ---

    // Asset list, then the asset folder, then (unless "activex" is "1") the user and
    // common folders. May run again; the map is added to, not cleared.
    static void ScanForResources();
    static void ScanFolderForResources(const str& folder, const str& prefix);
    // Parses an asset list ("final.txt") into the ignore list; true when "-*" occurred.
    static bool InternalAddFileMask(const char* text, bool add);
    // Logical name to the text the open step needs; empty when there is none.
    static str TranslateResource(const str& name, bool forReading);
    // As TranslateResource, with the kind of source.
    static TResourceRef Resolve(const str& name, bool forReading);
    static bool Exists(const str& name);
    // Walks the map's names under `folder` in key order; *name carries the position.
    static bool GetNextFile(const str& folder, str* name, bool includeSubfolders);
    // Serves `size` bytes at `data` under `name`; null data removes the name.
    static void AddMemoryFile(const str& name, const void* data, unsigned int size);
    // Empties the resource map (not the ignore list or the archive list).
    static void ShutDownFileSystem();

    // --- folders ---

    struct TFolders
    {
        str user;     // $XDG_DATA_HOME/<game>
        str common;   // $XDG_DATA_HOME/vantorell/<game>
        str desktop;  // $XDG_DESKTOP_DIR, else ~/Desktop
    };
    // The folders for a game name from the environment; `accountHome` (gives the home folder of
    // the user's account, asked only then: it may wait on the account service) stands for HOME
    // when that is not set. Empty folders where there is no home; nothing is created.
    static TFolders DefaultFolders(const str& gameName, const std::function<str()>& accountHome = {});
    static void SetFolders(const TFolders& folders);
    // The folder that holds "assets/": $TESSIVANDER_RESOURCES, else the program's folder or
    // one of its parents, else <prefix>/share/tessivander beside the program, else the working
    // folder when it holds assets/; empty when none.
    static str LocateResourceDir();
    // A raw path ("assets/x", "final.txt", a "::" path) as a disk path: relative paths are
    // taken from mResourceDir when it is set, else from the working directory.
    static str ToDiskPath(const str& path);

    static TResourceMap mResourceMap;
    static std::set<str> mIgnoredFiles;
    static str mUserDir;  // no trailing "/"; empty until set
    static str mCommonDir;
    static str mDesktopDir;
    static str mResourceDir;  // empty: the working directory

    // Set by the platform object: registers its built-in memory files at the start of a scan.
    static void (*mRegisterFiles)();

private:
    std::unique_ptr<TFileData> mData;
};

// --- stdio-like layer over a heap-allocated TFile ---

TFile* zv_open(const char* name, eFileMode mode);
void zv_close(TFile* file);
unsigned long zv_read(TFile* file, void* buffer, unsigned long count);
unsigned long zv_write(TFile* file, const void* buffer, unsigned long count);
void zv_seek(TFile* file, long offset, eFileSeek whence);
long zv_tell(TFile* file);
bool zv_eof(TFile* file);
void zv_ungetc(TFile* file);
int zv_error(TFile* file);
// The next byte as 0..255, or -1 at the end.
int zv_getc(TFile* file);
// Reads one line (up to size-1 bytes, the line end kept). Returns the address of the
// terminating zero byte, or null when nothing was read.
char* zv_gets(TFile* file, char* buffer, int size);

// --- decoder stream callbacks (the Ogg Vorbis file decoder's callback set) ---

size_t zv_read_func(void* buffer, size_t size, size_t count, void* source);
int zv_seek_func(void* source, int64_t offset, int whence);
int zv_close_func(void* source);
long zv_tell_func(void* source);
