// Feeds arbitrary bytes to the Ogg Vorbis and Speex decoders as a sound file, reading it
// whole, at scattered offsets, and through the in-memory copy. The decoders log every
// damaged file: run with -close_fd_mask=2, and LSAN_OPTIONS=suppressions=fuzz/sound.lsan.supp.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/files/file.h"
#include "sound/sources/mem_data_source.h"
#include "sound/sources/ogg_data_source.h"
#include "sound/sources/speex_data_source.h"

namespace {

void Drain(TSoundDataSource& source, uint32_t seed)
{
    std::vector<unsigned char> buffer(8192);
    unsigned offset = 0;
    // Bounded: a damaged length must not keep the fuzzer here.
    for (int i = 0; i < 64; ++i) {
        unsigned got = source.Read(buffer.data(), offset, static_cast<unsigned>(buffer.size()));
        offset += got;
        if (got < buffer.size())
            break;
    }
    source.Read(buffer.data(), seed % (offset + 1), 1000);
    source.Read(buffer.data(), 0, 100);
    source.GetSeconds();
    source.GetRawLength();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    std::vector<uint8_t> copy(data, data + size);
    TFile::AddMemoryFile("fuzz/input.ogg", copy.data(), static_cast<unsigned>(copy.size()));
    TFile::AddMemoryFile("fuzz/input.spx", copy.data(), static_cast<unsigned>(copy.size()));
    const uint32_t seed = size > 4 ? data[size / 2] * 977u + data[size - 1] : 1u;

    for (bool direct : {false, true}) {
        auto ogg = std::make_shared<TOggDataSource>();
        if (ogg->InitFromFile("fuzz/input.ogg", direct)) {
            Drain(*ogg, seed);
            if (ogg->GetRawLength() < (1u << 22)) {
                TMemDataSource mem(ogg);
                Drain(mem, seed);
            }
        }
    }
    auto speex = std::make_shared<TSpeexDataSource>();
    if (speex->InitFromFile("fuzz/input.spx")) {
        Drain(*speex, seed);
        TMemDataSource mem(speex);
        Drain(mem, seed);
    }
    TFile::AddMemoryFile("fuzz/input.ogg", nullptr, 0);
    TFile::AddMemoryFile("fuzz/input.spx", nullptr, 0);
    return 0;
}
