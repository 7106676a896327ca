#include "core/strings/string_table.h"

#include "core/config/config.h"
#include "core/debug/debug_log.h"
#include "core/files/file_bytes.h"
#include "core/xml/xml_escape.h"
#include "core/xml/zxml_block.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace {

// Text of the cell starting at `cell` ("<Data..."): from the first ">" to the next "<".
str CellText(std::string_view row, size_t cell)
{
    const size_t open = row.find('>', cell);
    if (open == std::string_view::npos)
        return str("");
    size_t close = row.find('<', open + 1);
    if (close == std::string_view::npos)
        close = row.size();
    std::string_view raw = row.substr(open + 1, close - open - 1);
    str text(raw.data(), raw.size());
    int length = int(text.length());
    removeXMLEscapeChars(text, length, nullptr);
    return text;
}

bool AllDigits(const std::string& s)
{
    if (s.empty())
        return false;
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

}  // namespace

TStringTable::TStringTable() = default;

bool TStringTable::LoadStringTable(const str& path)
{
    mEntries.clear();
    return MergeStringTable(path);
}

bool TStringTable::MergeStringTable(const str& path)
{
    std::vector<char> bytes;
    if (!ReadFileBytes(path, kFileRead, bytes))
        return false;
    bool cutOff = false;
    // Only a file that does not open is a failure: damaged text merges nothing and is logged.
    if (!MergeStringData(bytes.data(), bytes.size(), &cutOff)) {
        WriteDbg("String table '%s' not loaded", path.c_str());
        return true;
    }
    if (cutOff)
        WriteDbg("String table '%s' is cut off: only the rows before the cut are loaded", path.c_str());
    return true;
}

bool TStringTable::MergeStringData(const char* data, size_t size, bool* cutOff)
{
    std::vector<char> inflated;
    std::string_view text(data, size);
    if (IsZxmlBlock(data, size)) {
        if (!ZxmlInflate(data, size, inflated))
            return false;
        text = std::string_view(inflated.data(), inflated.size());
    }
    // The text stops at a zero byte, as any text would.
    text = text.substr(0, std::min(text.size(), text.find('\0')));

    // A whole export closes its table after the last row.
    if (cutOff) {
        const size_t last = text.rfind("<Row");
        *cutOff = last != std::string_view::npos && text.find("</Table>", last) == std::string_view::npos;
    }
    size_t rows = 0;
    size_t row = text.find("<Row");
    while (row != std::string_view::npos) {
        const size_t next = text.find("<Row", row + 4);
        const std::string_view body = text.substr(row, next == std::string_view::npos ? text.size() - row : next - row);
        row = next;

        const size_t labelCell = body.find("<Data");
        if (labelCell == std::string_view::npos)
            continue;
        const str label = CellText(body, labelCell);
        const size_t textCell = body.find("<Data", labelCell + 5);
        mEntries[label] = textCell == std::string_view::npos ? str("") : CellText(body, textCell);
        ++rows;
    }
    // Text without a single labelled row is not a string table.
    return rows > 0;
}

str TStringTable::Missing(const str& label) const
{
    if (!mQuiet)
        WriteDbg(" ##### : Missing string for label '%s'", label.c_str());
    return str(kMissing);
}

bool TStringTable::Fill(const str& label, const str& text, unsigned count, const str* arguments, std::string& out) const
{
    const char* t = text.c_str();
    for (size_t i = 0; t[i]; ++i) {
        if (t[i] != '%') {
            out += t[i];
            continue;
        }
        const char* close = strchr(t + i + 1, '%');
        if (!close) {
            WriteDbg("Non-matched percent (%%) escape found in string %s, '%s'", label.c_str(), t);
            out += t + i;  // the rest as it stands
            return true;
        }
        const std::string name(t + i + 1, close);
        i = size_t(close - t);
        if (name.empty()) {
            out += '%';
            continue;
        }
        if (AllDigits(name)) {
            const unsigned long n = name.size() > 9 ? 0 : std::stoul(name);
            if (n < 1 || n > count || !arguments)
                return false;
            const str& arg = arguments[n - 1];
            if (arg[0] != '%')
                out += arg.c_str();
            else if (arg == str("%%"))
                out += '%';
            else if (arg.length() >= 3 && arg[arg.length() - 1] == '%') {
                auto it = mEntries.find(arg.substr(1, int(arg.length()) - 2));
                if (it == mEntries.end())
                    return false;
                out += it->second.c_str();
            } else
                return false;
            continue;
        }
        auto it = mEntries.find(str(name.c_str()));
        if (it == mEntries.end())
            return false;
        out += it->second.c_str();
    }
    return true;
}

str TStringTable::GetString(const str& label, unsigned count, const str* arguments)
{
    auto it = mEntries.find(label);
    if (it == mEntries.end())
        return Missing(label);
    std::string out;
    if (!Fill(label, it->second, count, arguments, out))
        return Missing(label);
    if (TConfig::IsEnabled("stringtest"))
        for (char& c : out)
            if (c != ' ')
                c = 'x';
    return str(out.data(), out.size());
}

str TStringTable::GetString(const str& label, const str& a1, const str& a2, const str& a3, const str& a4, const str& a5)
{
    const str arguments[5] = {a1, a2, a3, a4, a5};
    return GetString(label, 5, arguments);
}

void TStringTable::GetFlashStrings(std::vector<str>& out) const
{
    bool found = false;
    for (const auto& entry : mEntries)
        if (strncmp(entry.first.c_str(), "FLASH_", 6) == 0) {
            out.push_back(entry.first);
            found = true;
        }
    if (found)
        return;
    for (const auto& entry : mEntries) {
        int a = 0, b = 0;
        if (sscanf(entry.first.c_str(), "flash%2d_%2d", &a, &b) >= 1)
            out.push_back(entry.first);
    }
}
