#pragma once
// A scene's own string table and the lookups the scene and its scripts make in it. The scene
// fills the table when it loads; texts come back with their line breaks made real.
//   tSceneStrings strings;
//   strings.Table().LoadStringTable("strings.xml");
//   str line = strings.localisestring("gardener_hello");   // the key itself when missing

#include "core/strings/string_table.h"
#include "core/text/str.h"

class tSceneStrings
{
public:
    static constexpr unsigned kMaxParams = 5;

    TStringTable& Table() { return mTable; }

    // The text for key (no parameters); "#####" when the table has none.
    str grabstring(const str& key);
    // grabstring, or key itself (with a log line) when the table has no text for it.
    str localisestring(const str& key);
    // The text for key with count parameters (at most kMaxParams) inserted.
    str grabformattedstring(const str& key, unsigned count, const str* params);
    // A spoken line "speaker:line" split at its first colon; a line with no speaker (or one
    // that starts with the colon) is all line. A missing key gives two empty texts.
    void grabspeechline(const str& key, str* speaker, str* line);

private:
    TStringTable mTable;
};
