#include "online/scores/hiscore_table.h"

bool TZvHiscoreTable::Insert(const TZvHiscoreRow& row)
{
    std::size_t pos = 0;
    while (pos < rows.size() && rows[pos].score >= row.score)
        ++pos;
    if (pos >= static_cast<std::size_t>(kMaxRows))
        return false;
    rows.insert(rows.begin() + static_cast<long>(pos), row);
    if (rows.size() > static_cast<std::size_t>(kMaxRows))
        rows.resize(kMaxRows);
    count = static_cast<int>(rows.size());
    Rerank();
    return true;
}

void TZvHiscoreTable::Remove(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= rows.size())
        return;
    rows.erase(rows.begin() + index);
    count = static_cast<int>(rows.size());
}

void TZvHiscoreTable::Rerank()
{
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0 && rows[i].score == rows[i - 1].score)
            rows[i].rank = rows[i - 1].rank;
        else
            rows[i].rank = static_cast<int>(i) + 1;
    }
}

void TZvHiscoreTable::Clear()
{
    rows.clear();
    count = 0;
}

int TZvHiscoreTable::FindByName(const str& player) const
{
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].name == player)
            return static_cast<int>(i);
    return -1;
}

int TZvHiscoreTable::FindUnsubmitted(const str& player) const
{
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].name == player && !rows[i].submitted)
            return static_cast<int>(i);
    return -1;
}
