#pragma once
// Input text as it may appear in a message: bytes outside printable ASCII become "\xNN", so
// a binary file given by mistake cannot put control codes on the terminal.

#include <string>

std::string PrintableText(const std::string& text);
