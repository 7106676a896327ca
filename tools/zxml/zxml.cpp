// Packs an XML file into the compressed "ZXML" form the engine reads.
//
//   zxml IN.xml OUT.xml     only well-formed XML is packed; the output is checked by unpacking
//                           it again before it is kept

#include "core/files/replace_file.h"
#include "core/xml/zxml_block.h"
#include "tools/input/bounded_read.h"
#include "tools/zxml/xml_check.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: zxml IN.xml OUT.xml\n");
        return 2;
    }
    std::vector<char> text;
    std::string error;
    if (!ReadBoundedFile(argv[1], kZxmlMaxUncompressed, &text, &error)) {
        std::fprintf(stderr, "zxml: %s\n", error.c_str());
        return 1;
    }
    if (IsZxmlBlock(text.data(), text.size())) {
        std::fprintf(stderr, "zxml: %s is packed already\n", argv[1]);
        return 1;
    }
    if (!CheckXml(std::string_view(text.data(), text.size()), &error)) {
        std::fprintf(stderr, "zxml: %s is not well-formed XML: %s\n", argv[1], error.c_str());
        return 1;
    }
    const std::vector<uint8_t> block = ZxmlDeflate(text.data(), text.size());
    std::vector<char> check;
    if (!ZxmlInflate(block.data(), block.size(), check) || check != text) {
        std::fprintf(stderr, "zxml: packed block does not unpack to the input\n");
        return 1;
    }
    if (!ReplaceDiskFile(argv[2], block.data(), block.size())) {
        std::fprintf(stderr, "zxml: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
