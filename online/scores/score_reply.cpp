#include "online/scores/score_reply.h"

#include "core/debug/debug_log.h"
#include "core/files/get_char.h"

namespace {

// Takes in whatever it is handed, keeps nothing.
class TSink : public TXmlNode
{
public:
    TXmlNode* OnOpenTag(const str&) override { return this; }
    void OnContent(const str&, int) override {}
    void OnAttribute(const str&, const str&, bool) override {}
};

struct TReadState
{
    TGetChar* source = nullptr;
    int maxRows = 0;
    int rows = 0;
    bool capped = false;
    TSink sink;
};

class TScoresList : public TXmlNode
{
public:
    explicit TScoresList(TReadState& state) : TXmlNode("scores"), mState(state) {}
    TXmlNode* OnOpenTag(const str& name) override
    {
        if (name != str("score"))
            return &mState.sink;
        if (mState.rows >= mState.maxRows) {
            mState.capped = true;
            mState.source->mEndOfInput = 1;
            return nullptr;
        }
        ++mState.rows;
        return CreateChild("score");
    }

private:
    TReadState& mState;
};

class THiscoreElement : public TXmlNode
{
public:
    explicit THiscoreElement(TReadState& state) : TXmlNode("hiscore"), mScores(state), mState(state) {}
    // Only the first of each child the protocol reads is kept.
    TXmlNode* OnOpenTag(const str& name) override
    {
        if (name == str("scores")) {
            if (mHasScores)
                return &mState.sink;
            mHasScores = true;
            return &mScores;
        }
        for (const char* kept : {"message", "protocolError", "tables", "score", "medals"})
            if (name == str(kept))
                return GetChild(kept) ? &mState.sink : CreateChild(kept);
        return &mState.sink;
    }
    TXmlNode* Scores() { return mHasScores ? &mScores : nullptr; }

private:
    TScoresList mScores;
    bool mHasScores = false;
    TReadState& mState;
};

class TDocument : public TXmlNode
{
public:
    explicit TDocument(TReadState& state) : mRoot(state), mState(state) {}
    TXmlNode* OnOpenTag(const str& name) override
    {
        if (name != str("hiscore") || mHasRoot)
            return &mState.sink;
        mHasRoot = true;
        return &mRoot;
    }
    THiscoreElement* Root() { return mHasRoot ? &mRoot : nullptr; }
    void Lose() { mHasRoot = false; }

private:
    THiscoreElement mRoot;
    bool mHasRoot = false;
    TReadState& mState;
};

}  // namespace

struct TScoreReply::TReader
{
    TReadState state;
    TDocument document{state};
};

TScoreReply::TScoreReply(const char* reply, int maxRows) : mReader(std::make_unique<TReader>())
{
    if (!reply)
        return;
    TGetCharString source(reply);
    mReader->state.source = &source;
    mReader->state.maxRows = maxRows;
    mReader->document.Parse(&source);
    mReader->state.source = nullptr;
    if (source.mTooDeep) {
        WriteDbg("HiScores: the reply's elements nest deeper than %d levels; not read", TXmlNode::kMaxDepth);
        mReader->document.Lose();
    }
}

TScoreReply::~TScoreReply() = default;

TXmlNode* TScoreReply::Root() const
{
    return mReader->document.Root();
}

TXmlNode* TScoreReply::Scores() const
{
    THiscoreElement* root = mReader->document.Root();
    return root ? root->Scores() : nullptr;
}

bool TScoreReply::Capped() const
{
    return mReader->state.capped;
}
