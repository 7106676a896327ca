#pragma once
// Identifiers made from one hardware fingerprint (the address of the computer's first network
// interface): a 128-bit GUID and a 16-character computer id.
//   uint32_t guid[4]; zvGenerateGUID(guid);
//   str text = zvGenerateGUIDStr();   // 32 lower-case hex digits, the first 16 fixed per computer
//   str id = zvGetComputerId();       // 16 characters, fixed per computer

#include "core/text/str.h"

#include <cstdint>
#include <functional>

// Fills out with the 6 address bytes in bytes 0-5 (least significant first) and zeros in bytes
// 6-7; 0xDEADBEEF in both halves when no address can be read. Always true.
bool GetHardwareFingerprint(uint64_t& out);
// Fingerprint low half, high half, the time in seconds, a rand() value.
void zvGenerateGUID(uint32_t* out);
str zvGenerateGUIDStr();
str zvGetComputerId();

// The folder listing the network interfaces (one sub-folder per interface holding "address");
// empty restores "/sys/class/net". For tests.
void SetNetworkInterfaceFolder(const str& folder);
// Replaces the address lookup: the source fills 6 bytes and returns true, or returns false
// for "no address". Null restores the interface folder. For tests.
using HardwareAddressSource = std::function<bool(uint8_t (&mac)[6])>;
void SetHardwareAddressSource(HardwareAddressSource source);
