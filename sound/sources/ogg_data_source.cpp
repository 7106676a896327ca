#include "sound/sources/ogg_data_source.h"

#include <climits>
#include <cstring>
#include <new>

#include <vorbis/vorbisfile.h>

#include "core/config/config.h"
#include "core/debug/debug_log.h"
#include "core/files/file.h"
#include "sound/sources/mem_data_source.h"
#include "sound/sources/ogg_mem_callbacks.h"
#include "sound/sources/sound_data_source_factory.h"
#include "sound/sources/sound_lock_mutex.h"

namespace {

TOggDataSourceBuilder sOggBuilder;

// Reads the whole open file into a record for the in-memory callbacks; null on failure.
TOggMemRecord* ReadWholeFile(TFile& file)
{
    file.Seek(0, kSeekEnd);
    long size = file.Tell();
    file.Seek(0, kSeekStart);
    if (size < 0 || size > INT32_MAX)
        return nullptr;
    auto* record = new TOggMemRecord;
    record->data = new (std::nothrow) unsigned char[size > 0 ? size : 1];
    if (!record->data) {
        delete record;
        return nullptr;
    }
    // A file that turns out shorter than it claimed is used as far as it goes.
    record->size = static_cast<int32_t>(file.Read(record->data, static_cast<unsigned long>(size)));
    return record;
}

}  // namespace

TOggDataSource::~TOggDataSource()
{
    if (mVorbis) {
        ov_clear(mVorbis);
        delete mVorbis;
    }
}

void TOggDataSource::Register()
{
    TSoundDataSourceFactory::Register("ogg", &sOggBuilder);
}

bool TOggDataSource::InitFromFile(const str& name, bool direct)
{
    if (mVorbis)
        return false;
    auto file = std::make_unique<TFile>();
    if (!file->Open(name, kFileRead) && !file->Open(name + ".ogg", kFileRead))
        return false;

    auto* vorbis = new OggVorbis_File;
    std::memset(vorbis, 0, sizeof *vorbis);
    int result;
    void* reader;
    if (!direct) {
        TOggMemRecord* record = ReadWholeFile(*file);
        file.reset();
        if (!record) {
            WriteDbg("OGG file could not be opened");
            delete vorbis;
            return false;
        }
        reader = record;
        ov_callbacks cb = {TOggMem::ogg_mem_read, TOggMem::ogg_mem_seek, TOggMem::ogg_mem_close, TOggMem::ogg_mem_tell};
        result = ov_open_callbacks(record, vorbis, nullptr, 0, cb);
    } else {
        // The file belongs to vorbisfile from here on; zv_close_func deletes it.
        reader = file.release();
        ov_callbacks cb = {zv_read_func, zv_seek_func, zv_close_func, zv_tell_func};
        result = ov_open_callbacks(reader, vorbis, nullptr, 0, cb);
    }
    if (result < 0) {
        // A failed open leaves the reader with us.
        WriteDbg("OGG file could not be opened");
        if (direct)
            zv_close_func(reader);
        else
            TOggMem::ogg_mem_close(reader);
        delete vorbis;
        return false;
    }
    mVorbis = vorbis;

    vorbis_info* info = ov_info(mVorbis, -1);
    ogg_int64_t frames = ov_pcm_total(mVorbis, -1);
    // Streams play one or two channels; anything else would be played as noise.
    if (!info || info->channels < 1 || info->channels > 2 || info->rate <= 0 || info->rate > 384000 || frames < 0) {
        WriteDbg("OGG file %s has an unsupported format (%d channels, %ld Hz)", name.c_str(), info ? info->channels : 0,
                 info ? info->rate : 0L);
        ov_clear(mVorbis);
        delete mVorbis;
        mVorbis = nullptr;
        return false;
    }
    mRate = static_cast<int>(info->rate);
    mChannels = info->channels;
    mSeconds = ov_time_total(mVorbis, -1);
    mRawLength = static_cast<uint64_t>(frames) * static_cast<uint64_t>(mChannels) * 2u;
    ov_pcm_seek(mVorbis, 0);
    mPosition = 0;
    return true;
}

unsigned int TOggDataSource::Read(void* dst, unsigned int offset, unsigned int length)
{
    TMutexLock hold(TLockSoundMutex::mMutex);
    if (!mVorbis)
        return 0;
    const unsigned frameBytes = 2u * static_cast<unsigned>(mChannels);
    if (offset != mPosition) {
        // Two streams playing one source read at different offsets and so seek each time.
        mPosition = offset;
        ov_pcm_seek(mVorbis, offset / frameBytes);
    }
    if (length == 0)
        return 0;
    char* out = static_cast<char*>(dst);
    unsigned int written = 0;
    while (written < length) {
        int section = 0;
        unsigned int want = length - written;
        long got =
            ov_read(mVorbis, out + written, want > INT_MAX ? INT_MAX : static_cast<int>(want), 0, 2, 1, &section);
        if (got <= 0)
            break;
        // A chained link with another layout would turn into noise here: end the sound.
        vorbis_info* info = ov_info(mVorbis, section);
        if (!info || info->channels != mChannels)
            break;
        written += static_cast<unsigned int>(got);
    }
    mPosition += written;
    return written;
}

std::shared_ptr<TSoundDataSource> TOggDataSourceBuilder::Create(const str& name, bool direct)
{
    auto source = std::make_shared<TOggDataSource>();
    if (!source->InitFromFile(name, direct))
        return nullptr;
    if (direct)
        return source;
    if (source->GetSeconds() >= kSoundMemoryDecodeLimit &&
        TConfig::GetConfig(TConfig::kKeepOGGUncompressed, "").to_int() == 0)
        return source;
    return std::make_shared<TMemDataSource>(source);
}
