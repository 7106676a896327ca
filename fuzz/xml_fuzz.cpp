// Parses the input as XML text and as a compressed ("ZXML") block, from memory and through
// the file layer; the tree written back out is read again. A text must give the same tree
// packed as plain.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/files/file.h"
#include "core/xml/xml_node.h"
#include "core/xml/zxml_block.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    const long length = static_cast<long>(size);

    TXmlNode plain;
    plain.ParseString(bytes, length);
    const str written = plain.AsString();

    TXmlNode reread;
    reread.ParseString(written.c_str());
    reread.AsString();

    if (!IsZxmlBlock(data, size)) {
        std::vector<uint8_t> packed = ZxmlDeflate(data, size);
        TXmlNode unpacked;
        if (size > 0 &&
            unpacked.ParseString(reinterpret_cast<const char*>(packed.data()), static_cast<long>(packed.size())) &&
            !(unpacked.AsString() == written))
            __builtin_trap();
    }

    TFile::AddMemoryFile("fuzz/input.xml", data, static_cast<unsigned>(size));
    TXmlNode fromFile;
    fromFile.ParseFile("fuzz/input.xml");
    TFile::AddMemoryFile("fuzz/input.xml", nullptr, 0);
    return 0;
}
