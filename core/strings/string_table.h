#pragma once
// Labels to the player-visible texts of the current language. Tables are spreadsheet
// exports in XML (one row per label: label cell, text cell), optionally in the compressed
// "ZXML" form; a base table is loaded and further tables are merged over it.
//
// Templates fill placeholders between percent signs: "%%" is one percent sign, "%2%" the
// second argument, "%other_label%" the stored text of another label. A missing label, or a
// placeholder that cannot be filled, gives "#####".

#include "core/text/str.h"

#include <map>
#include <string>
#include <vector>

class TStringTable
{
public:
    static constexpr const char* kMissing = "#####";

    TStringTable();

    // Clears the table, then merges the file.
    bool LoadStringTable(const str& path);
    // Adds the file's rows; labels already present take the new text. False when the file
    // does not open, holds no labelled row or is a damaged compressed block (the table is
    // then unchanged).
    bool MergeStringTable(const str& path);
    // The same from text in memory (plain or a compressed block of the given size); false
    // when it holds no labelled row. `cutOff` (may be null) tells whether the text ends
    // before its table's end.
    bool MergeStringData(const char* data, size_t size, bool* cutOff = nullptr);

    str GetString(const str& label, unsigned count, const str* arguments);
    str GetString(const str& label, const str& a1 = str(), const str& a2 = str(), const str& a3 = str(),
                  const str& a4 = str(), const str& a5 = str());

    // Appends the labels meant for the web-content window, in label order.
    void GetFlashStrings(std::vector<str>& out) const;

    // When set, missing labels are not logged.
    void SetQuiet(bool quiet) { mQuiet = quiet; }
    bool IsQuiet() const { return mQuiet; }
    size_t GetCount() const { return mEntries.size(); }

private:
    bool Fill(const str& label, const str& text, unsigned count, const str* arguments, std::string& out) const;
    str Missing(const str& label) const;

    std::map<str, str> mEntries;
    bool mQuiet = false;
};
