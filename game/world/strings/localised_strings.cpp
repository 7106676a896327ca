#include "game/world/strings/localised_strings.h"

#include "core/platform/platform.h"
#include "core/strings/string_table.h"

#include <string>

str fix_crs(const str& text)
{
    const char* s = text.c_str();
    const unsigned n = text.length();
    std::string out;
    out.reserve(n);
    for (unsigned i = 0; i < n; ++i) {
        if (s[i] == '\\' && i + 1 < n && s[i + 1] == 'n') {
            out += '\n';
            ++i;
        } else {
            out += s[i];
        }
    }
    return str(out.data(), out.size());
}

str GrabString(TStringTable* table, const str& key)
{
    if (!table)
        return str(TStringTable::kMissing);
    return fix_crs(table->GetString(key, 0, nullptr));
}

namespace {

TStringTable* gGlobalTable = nullptr;

}  // namespace

void SetGlobalStringTable(TStringTable* table)
{
    gGlobalTable = table;
}

TStringTable* GetGlobalStringTable()
{
    if (gGlobalTable)
        return gGlobalTable;
    TPlatform* platform = TPlatform::GetInstance();
    return platform ? platform->GetStringTable() : nullptr;
}

str GlocalisedString(const str& key)
{
    return GrabString(GetGlobalStringTable(), key);
}

bool HasGlocalisedString(const str& key)
{
    TStringTable* table = GetGlobalStringTable();
    if (!table)
        return false;
    const bool quiet = table->IsQuiet();
    table->SetQuiet(true);
    const str text = GrabString(table, key);
    table->SetQuiet(quiet);
    return !IsMissingString(text);
}

bool IsMissingString(const str& text)
{
    return text.empty() || text == str(TStringTable::kMissing);
}
