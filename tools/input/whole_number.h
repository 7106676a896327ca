#pragma once
// Whole numbers from the command line or a description, all or nothing: "12abc", "", " 3"
// and values out of range are refused instead of being cut or wrapped.

#include <string>

bool ParseWholeNumber(const std::string& text, long low, long high, long* out);
