#pragma once
// Reads a whole input file, refusing it as soon as it passes a size limit: a device that never
// ends (/dev/zero) or a huge file ends in a message, not in an exhausted memory.

#include <cstddef>
#include <string>
#include <vector>

// False with a message naming the file in *error when it cannot be read or holds more than
// `limit` bytes.
bool ReadBoundedFile(const std::string& path, size_t limit, std::vector<char>* bytes, std::string* error);
