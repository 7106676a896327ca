#pragma once
// Base64 with the standard alphabet and "=" padding, as raw buffers with no terminating zero.
//   std::vector<char> text(Base64EncodeGetLength(n));
//   text.resize(Base64Encode(text.data(), bytes, n));
//   std::vector<unsigned char> out(Base64DecodeGetLength(text.size()));
//   out.resize(Base64Decode(out.data(), text.data(), text.size()));

// 4 * ceil(n / 3): the characters needed for n bytes.
unsigned long Base64EncodeGetLength(unsigned long n);
// Writes the characters for n bytes to out and returns how many; 0 for n = 0.
unsigned long Base64Encode(void* out, const void* in, unsigned long n);
// 3 * ceil(n / 4): room enough for decoding n characters.
unsigned long Base64DecodeGetLength(unsigned long n);
// Decodes n characters (a short last group counts as padded with "="); returns the bytes
// written. Characters outside the alphabet are not rejected: they count as zero bits.
unsigned long Base64Decode(void* out, const void* in, unsigned long n);
