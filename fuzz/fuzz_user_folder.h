#pragma once
// A private temporary "user:" folder (and resource folder) for targets whose loaders read
// and write player files, with a fixed encryption key in the configuration and its cipher.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Made and registered with the file layer on the first call; the same folder afterwards.
const std::string& FuzzUserFolder();
// The bytes enciphered (or deciphered) with the folder's key, as the player files store them;
// empty when they do not decipher.
std::vector<unsigned char> UserCipher(bool encrypt, const void* data, size_t size);
// Replaces the file of that name in the folder by the bytes, and removes its set-aside copies.
void WriteUserFile(const char* name, const void* data, size_t size);
