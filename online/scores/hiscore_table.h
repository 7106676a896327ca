#pragma once
// A table of scores, best first, with shared ranks for equal scores.

#include <cstddef>
#include <vector>

#include "core/text/str.h"

struct TZvHiscoreRow
{
    int rank = 0;
    int score = 0;
    str name;        // player name (local rows) or account name (global rows)
    str gameData;    // the game's own text shown with the score
    str serverData;  // XML text sent inside the score element on submission
    str version;
    bool anonymous = true;
    bool submitted = false;
    str guid;  // links a local row to its copy on the server
};

struct TZvHiscoreTable
{
    // A local table never holds more rows than this.
    static constexpr int kMaxRows = 500;

    str name;
    // Number of rows; -1 marks a server table that could not be read.
    int count = 0;
    std::vector<TZvHiscoreRow> rows;

    // Puts row below every row with an equal or better score and ranks the table again.
    // A full table drops its last row; a row that would land past the end is not added.
    // Answers whether the row went in.
    bool Insert(const TZvHiscoreRow& row);
    void Remove(int index);
    // Ranks by position; a row with the same score as the one above shares its rank.
    void Rerank();
    // Empties the table; count becomes 0.
    void Clear();
    // Index of the first row of that player, -1 when none.
    int FindByName(const str& name) const;
    // Index of the first row of that player not yet accepted by the server, -1 when none.
    int FindUnsubmitted(const str& name) const;
};
