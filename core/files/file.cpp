#include "core/files/file.h"

#include "core/files/disk_file_data.h"
#include "core/files/flat_file.h"
#include "core/files/make_folders.h"
#include "core/files/memory_file.h"
#include "core/files/path_util.h"

TFile::~TFile() = default;

bool TFile::Open(const str& name, eFileMode mode)
{
    Close();
    if (mode < kFileRead || mode > kFileAppendText)
        mode = kFileRead;
    const bool writing = mode >= kFileWrite;

    TResourceRef ref = Resolve(name, !writing);
    if (ref.value.empty())
        return false;

    std::unique_ptr<TFileData> data;
    str path = ref.value;
    switch (ref.kind) {
    case eResourceKind::kArchive: data = std::make_unique<TFlatFile>(); break;
    case eResourceKind::kMemory: data = std::make_unique<TMemoryFile>(); break;
    case eResourceKind::kDisk:
        path = ToDiskPath(path);
        if (writing)
            MakeFoldersFor(path);
        data = std::make_unique<TDiskFileData>();
        break;
    }
    if (!data->Open(path, mode))
        return false;
    mData = std::move(data);
    return true;
}

void TFile::Close()
{
    mData.reset();
}

unsigned long TFile::Read(void* buffer, unsigned long count)
{
    return mData ? mData->Read(buffer, count) : 0;
}

unsigned long TFile::Write(const void* buffer, unsigned long count)
{
    return mData ? mData->Write(buffer, count) : 0;
}

void TFile::Seek(long offset, eFileSeek whence)
{
    if (mData)
        mData->Seek(offset, whence);
}

long TFile::Tell()
{
    return mData ? mData->Tell() : -1;
}

long TFile::Size()
{
    return mData ? mData->Size() : 0;
}

bool TFile::AtEOF()
{
    return mData ? mData->AtEOF() : true;
}

void TFile::Unget()
{
    if (mData)
        mData->Unget();
}
