#include "tools/description/description_reader.h"

#include "tools/input/bounded_read.h"
#include "tools/input/printable_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>

TDescriptionReader::TDescriptionReader(std::string sourceName, std::string text)
    : mSource(std::move(sourceName)), mText(std::move(text))
{
}

bool TDescriptionReader::Next(std::vector<std::string>* words)
{
    words->clear();
    while (mPosition < mText.size()) {
        size_t end = mText.find('\n', mPosition);
        if (end == std::string::npos)
            end = mText.size();
        std::string line = mText.substr(mPosition, end - mPosition);
        mPosition = end + 1;
        ++mLine;
        std::istringstream split(line);
        std::string word;
        while (split >> word) {
            // "#" alone, or opening a line, starts a comment; "#ff8800" later on is a colour.
            if (word[0] == '#' && (word.size() == 1 || words->empty()))
                break;
            words->push_back(word);
        }
        if (!words->empty())
            return true;
    }
    return false;
}

bool TDescriptionReader::Fail(const std::string& message)
{
    return FailAt(mLine, message);
}

bool TDescriptionReader::FailAt(int line, const std::string& message)
{
    if (mError.empty())
        mError = mSource + ":" + std::to_string(line) + ": " + PrintableText(message);
    return false;
}

bool TDescriptionReader::Number(const std::string& word, double* out, const char* what)
{
    double value = 0;
    const char* first = word.data();
    const char* last = first + word.size();
    if (first != last && *first == '+')
        ++first;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || first == last || !std::isfinite(value))
        return Fail(std::string("bad ") + what + " '" + word + "'");
    *out = value;
    return true;
}

bool TDescriptionReader::NumberIn(const std::string& word, double low, double high, double* out, const char* what)
{
    double value = 0;
    if (!Number(word, &value, what))
        return false;
    if (value < low || value > high) {
        char range[96];
        std::snprintf(range, sizeof range, " out of range (%g to %g)", low, high);
        return Fail(std::string(what) + " '" + word + "'" + range);
    }
    *out = value;
    return true;
}

bool ReadTextFile(const std::string& path, std::string* text, std::string* error)
{
    std::vector<char> bytes;
    if (!ReadBoundedFile(path, kMaxDescriptionSize, &bytes, error))
        return false;
    text->assign(bytes.begin(), bytes.end());
    return true;
}
