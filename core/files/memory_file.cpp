#include "core/files/memory_file.h"

#include <cstring>
#include <vector>

#include "core/files/path_util.h"

using namespace tv_files;

namespace {

struct TBlock
{
    const void* data;
    unsigned int size;
};

// Registered blocks; a reference names a block by its position here plus one, so that
// addresses never have to fit a number in the text.
std::vector<TBlock>& Blocks()
{
    static std::vector<TBlock> blocks;
    return blocks;
}

}  // namespace

void TMemoryFile::AddFile(TResourceMap& resourceMap, const str& name, const void* data, unsigned int size)
{
    if (!data) {
        resourceMap.erase(name);
        resourceMap.erase(Lower(name));
        return;
    }
    std::vector<TBlock>& blocks = Blocks();
    size_t id = 0;
    for (size_t i = 0; i < blocks.size(); ++i) {
        if (blocks[i].data == data) {
            blocks[i].size = size;
            id = i + 1;
            break;
        }
    }
    if (id == 0) {
        blocks.push_back(TBlock{data, size});
        id = blocks.size();
    }
    resourceMap[Lower(name)] = TResourceRef{eResourceKind::kMemory, str::getFormatted("&%zu,%u", id, size)};
}

bool TMemoryFile::Open(const str& reference, eFileMode mode)
{
    Close();
    mMode = mode;
    if (mode != kFileRead && mode != kFileReadText)
        return false;
    const char* text = reference.c_str();
    uint64_t id = 0;
    if (text[0] == 0 || !ParseNumber(text + 1, &id) || id == 0 || id > Blocks().size())
        return false;
    const char* comma = std::strchr(text, ',');
    uint64_t size = 0;
    if (!comma || !ParseNumber(comma + 1, &size)) {
        Close();
        return false;
    }
    const TBlock& block = Blocks()[id - 1];
    mBlock = static_cast<const unsigned char*>(block.data);
    mSize = static_cast<uint32_t>(size < block.size ? size : block.size);
    mPosition = 0;
    return true;
}

void TMemoryFile::Close()
{
    mBlock = nullptr;
    mPosition = 0;
    mSize = 0;
}

unsigned long TMemoryFile::Read(void* buffer, unsigned long count)
{
    if (!mBlock || !buffer)
        return 0;
    const unsigned long remaining = mSize - mPosition;
    if (count > remaining)
        count = remaining;
    unsigned char* out = static_cast<unsigned char*>(buffer);
    if (mMode == kFileReadText) {
        unsigned long kept = 0;
        while (kept < count && mPosition < mSize) {
            unsigned char c = mBlock[mPosition++];
            if (c != 13)
                out[kept++] = c;
        }
        return kept;
    }
    std::memcpy(out, mBlock + mPosition, count);
    mPosition += static_cast<uint32_t>(count);
    return count;
}

void TMemoryFile::Seek(long offset, eFileSeek whence)
{
    bool inside = false;
    mPosition = SeekTarget(mPosition, mSize, offset, whence, &inside);
}

void TMemoryFile::Unget()
{
    if (mPosition > 0)
        --mPosition;
}
