#pragma once
// One reading of a score server's reply: the "hiscore" element with the first of each child
// the protocol reads, its "scores" list holding at most the rows a table keeps. Reading stops
// at the first row past them, so a long table costs no more than the rows it can show; what
// the protocol does not read is passed over and not kept.

#include <memory>

#include "core/xml/xml_node.h"

class TScoreReply
{
public:
    explicit TScoreReply(const char* reply, int maxRows);
    ~TScoreReply();
    TScoreReply(const TScoreReply&) = delete;
    TScoreReply& operator=(const TScoreReply&) = delete;

    // The "hiscore" element; null when the reply has none or does not read.
    TXmlNode* Root() const;
    // Its first "scores" list, holding only "score" rows; null when there is none.
    TXmlNode* Scores() const;
    // The list held more rows than were read.
    bool Capped() const;

private:
    struct TReader;
    std::unique_ptr<TReader> mReader;
};
