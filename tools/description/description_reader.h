#pragma once
// Reads the generators' text descriptions: one command per line, words split at blanks;
// a line opening with "#", or a lone "#" word, starts a comment. Errors name file and line.
//   TDescriptionReader reader("click.snd", text);
//   std::vector<std::string> words;
//   while (reader.Next(&words)) { double f; if (!reader.Number(words[1], &f)) return reader.Error(); }

#include <cstddef>
#include <string>
#include <vector>

class TDescriptionReader
{
public:
    TDescriptionReader(std::string sourceName, std::string text);

    // The words of the next line that holds any; false at the end.
    bool Next(std::vector<std::string>* words);
    int Line() const { return mLine; }

    // Records "<source>:<line>: <message>" unless an error is already recorded (bytes that are
    // not printable shown as "\xNN"); returns false
    // so that callers can write `return reader.Fail("...")`.
    bool Fail(const std::string& message);
    // As Fail, for a fault found after reading, on an earlier line.
    bool FailAt(int line, const std::string& message);
    const std::string& Error() const { return mError; }

    // A whole word as a finite decimal number; records an error naming `what` otherwise.
    bool Number(const std::string& word, double* out, const char* what);
    // As Number, and within [low, high].
    bool NumberIn(const std::string& word, double low, double high, double* out, const char* what);

private:
    std::string mSource;
    std::string mText;
    size_t mPosition = 0;
    int mLine = 0;
    std::string mError;
};

// Descriptions are short texts; anything larger is the wrong file.
constexpr size_t kMaxDescriptionSize = 1 << 20;

// Reads a whole description; false with a message in *error when it cannot be read or is
// larger than kMaxDescriptionSize.
bool ReadTextFile(const std::string& path, std::string* text, std::string* error);
