// Packs an XML file into the compressed "ZXML" form the engine reads.
//
//   zxml IN.xml OUT.xml     the output is checked by unpacking it again before it is kept

#include "core/files/replace_file.h"
#include "core/xml/zxml_block.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool ReadWhole(const char* path, std::vector<char>& bytes)
{
    FILE* f = std::fopen(path, "rb");
    if (!f)
        return false;
    char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}


} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: zxml IN.xml OUT.xml\n");
        return 2;
    }
    std::vector<char> text;
    if (!ReadWhole(argv[1], text))
    {
        std::fprintf(stderr, "zxml: cannot read %s\n", argv[1]);
        return 1;
    }
    if (IsZxmlBlock(text.data(), text.size()))
    {
        std::fprintf(stderr, "zxml: %s is packed already\n", argv[1]);
        return 1;
    }
    if (text.empty() || text.size() > kZxmlMaxUncompressed)
    {
        std::fprintf(stderr, "zxml: %s: %zu bytes cannot be packed\n", argv[1], text.size());
        return 1;
    }
    const std::vector<uint8_t> block = ZxmlDeflate(text.data(), text.size());
    std::vector<char> check;
    if (!ZxmlInflate(block.data(), block.size(), check) || check != text)
    {
        std::fprintf(stderr, "zxml: packed block does not unpack to the input\n");
        return 1;
    }
    if (!ReplaceDiskFile(argv[2], block.data(), block.size()))
    {
        std::fprintf(stderr, "zxml: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
