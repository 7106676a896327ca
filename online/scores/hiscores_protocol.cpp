// The exchange with the online score server: requests, submissions and reply parsing.

#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/debug/debug_log.h"
#include "core/xml/xml_node.h"
#include "online/scores/hiscores_data.h"
#include "online/scores/score_reply.h"
#include "online/scores/text_out.h"
#include "online/scores/zv_hiscores.h"

namespace {
const char* kProtocolVersion = "1.0";
const char* kNoConnection = "Unable to connect to server. Please try again later.";
const char* kNoServer = "No score server is set up for this game.";
const char* kXmlDeclaration = "<?xml version=\"1.0\"?>\n";

// A name with a byte from 0xC0 up, or a zero byte inside it, is refused.
bool ValidUserName(const char* name, unsigned length)
{
    if (!name)
        return true;
    if (std::strlen(name) != length)
        return false;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p; ++p)
        if (*p > 0xBF)
            return false;
    return true;
}

bool CheckUserName(const char* name, unsigned length)
{
    if (ValidUserName(name, length))
        return true;
    WriteDbg("ERROR -------- ERROR -------- Invalid User name %s", name);
    return false;
}

// Puts raw text just before the last closing tag of the serialised element.
void InsertBeforeClosingTag(str& xml, const char* closingTag, const str& raw)
{
    if (raw.empty())
        return;
    std::string text = xml.c_str();
    size_t at = text.rfind(closingTag);
    if (at == std::string::npos)
        return;
    text.insert(at, raw.c_str());
    xml = str(text.data(), text.size());
}

str EncryptPayload(TEncrypt& cipher, const str& xml)
{
    unsigned need = cipher.EncryptBinary(xml.c_str(), xml.length(), nullptr, 0, true);
    std::vector<char> out(need + 1, 0);
    if (need == 0 || cipher.EncryptBinary(xml.c_str(), xml.length(), out.data(), need, true) != 0)
        return str();
    return str(out.data());
}

// The reply's "message" or "protocolError", when it holds one, fails it; so does a reply that
// is not a score document.
bool CheckReturn(TZvHiscoresData& d, const TScoreReply& reply)
{
    d.serverMessage = str();
    TXmlNode* root = reply.Root();
    if (!root) {
        WriteDbg("HiScore XML parsing error!");
        return false;
    }
    if (TXmlNode* message = root->GetChild("message")) {
        d.serverMessage = message->GetContent();
        WriteDbg("HiScore User Message: %s", d.serverMessage.c_str());
        return false;
    }
    if (TXmlNode* error = root->GetChild("protocolError")) {
        WriteDbg("HiScore Protocol Error: %s", error->GetContent().c_str());
        return false;
    }
    return true;
}
}  // namespace

void TZvHiscores::StartRequest()
{
    TZvHiscoresData& d = *mData;
    d.client.Init(d.serverUrl.c_str(), true, nullptr);
    d.client.AddArg("lang", d.language.c_str());
    d.client.AddArg("ver", kProtocolVersion);
}

void TZvHiscores::SendRequest()
{
    TZvHiscoresData& d = *mData;
    d.unsent = !HasServer();
    if (d.unsent) {
        WriteDbg("HiScores: no score server configured (hiscoreserver.txt); nothing was sent.");
        return;
    }
    d.client.DoRequest(0);
}

void TZvHiscores::RequestCategoryInformation()
{
    TZvHiscoresData& d = *mData;
    StartRequest();
    d.client.AddArg("action", "tables");
    d.client.AddArg("game", d.gameHandle.c_str());
    SendRequest();
    d.requestKind = TZvHiscoresData::kCategories;
}

void TZvHiscores::RequestScores(int category)
{
    TZvHiscoresData& d = *mData;
    StartRequest();
    d.client.AddArg("action", "get");
    d.client.AddArg("game", d.gameHandle.c_str());
    d.client.AddArg("type", d.gameMode.c_str());
    if (category >= 0 && static_cast<size_t>(category) < d.categories.size())
        d.client.AddArg("table", d.categories[static_cast<size_t>(category)].first.c_str());
    d.client.AddArg("numScores", TZvHiscoreTable::kMaxRows);
    if (!d.requestUser.empty())
        d.client.AddArg("username", d.requestUser.c_str());
    SendRequest();
    d.requestKind = TZvHiscoresData::kScoreTable;
}

void TZvHiscores::Remember(const char* userName, const char* password, bool remember)
{
    TZvHiscoresData& d = *mData;
    if (!remember) {
        d.rememberedUsers.erase(d.playerName);
        return;
    }
    TZvRememberedUser& user = d.rememberedUsers[d.playerName];
    user.player = d.playerName;
    user.name = userName ? userName : "";
    user.pass = password ? password : "";
}

bool TZvHiscores::SubmitData(const str& userName, const str& password, bool remember, ESubmitMode mode)
{
    if (!CheckUserName(userName.c_str(), userName.length()))
        return false;
    if (mode & kSubmitScore)
        return SubmitDataToServer(userName.c_str(), password.c_str(), remember, (mode & kSubmitMedals) != 0);
    auto list = mData->medals.find(mData->MedalKey());
    if ((mode & kSubmitMedals) && GetNumMedalsToSubmit() != 0 && list != mData->medals.end())
        return SendMedals(list->second->GenerateServerString(true), userName.c_str(), password.c_str(), remember);
    return false;
}

bool TZvHiscores::SendMedals(const str& medalXml, const char* userName, const char* password, bool remember)
{
    TZvHiscoresData& d = *mData;
    if (!SubmitMedalsToServer(medalXml.c_str(), userName, password, remember))
        return false;
    // Only the medals that went out are marked when the server accepts them.
    d.submitMedalsPlayer = d.MedalKey();
    d.submitMedalsCount = d.medals[d.MedalKey()]->Count();
    return true;
}

bool TZvHiscores::SubmitDataToServer(const char* userName, const char* password, bool remember, bool withMedals)
{
    TZvHiscoresData& d = *mData;
    d.submitMedalsCount = 0;
    d.submitHasScore = false;

    auto tableIt = d.localTables.find(d.gameMode);
    TZvHiscoreTable* table = tableIt == d.localTables.end() ? nullptr : tableIt->second.get();
    int rowIndex = table ? table->FindUnsubmitted(d.playerName) : -1;
    auto medalsIt = d.medals.find(d.MedalKey());
    TZvMedalsTable* medals = medalsIt == d.medals.end() ? nullptr : medalsIt->second.get();

    if (rowIndex < 0) {
        if (withMedals && medals && GetNumMedalsToSubmit() != 0)
            return SendMedals(medals->GenerateServerString(true), userName, password, remember);
        return false;
    }
    const TZvHiscoreRow& row = table->rows[static_cast<size_t>(rowIndex)];
    str name = userName ? userName : "";
    str pass = password ? password : "";

    TXmlNode score("score");
    score.SetAttribute("guid", row.guid.c_str());
    if (!name.empty())
        score.SetAttribute("name", name.c_str());
    if (!pass.empty())
        score.SetAttribute("password", pass.c_str());
    score.SetAttribute("type", d.gameMode.c_str());
    if (!d.gameHandle.empty())
        score.SetAttribute("game", d.gameHandle.c_str());
    score.SetAttribute("score", row.score);
    if (!row.gameData.empty())
        score.SetAttribute("data", row.gameData.c_str());
    if (!row.version.empty())
        score.SetAttribute("ver", row.version.c_str());
    str xml = str(kXmlDeclaration) + score.AsString();

    bool anonymous = pass.empty();
    d.requestUser = anonymous ? str() : name;

    // The game's own server text goes in as it is, then the medals.
    InsertBeforeClosingTag(xml, "</score>", row.serverData);
    if (withMedals && !anonymous && medals) {
        str medalXml = medals->GenerateServerString(false);
        if (!medalXml.empty()) {
            InsertBeforeClosingTag(xml, "</score>", medalXml);
            d.submitMedalsPlayer = d.MedalKey();
            d.submitMedalsCount = medals->Count();
        }
    }

    StartRequest();
    d.client.AddArg("game", d.gameHandle.c_str());
    d.client.AddArg("action", "submit");
    d.client.AddArg("score", EncryptPayload(d.cipher, xml).c_str());
    SendRequest();
    d.requestKind = TZvHiscoresData::kSubmission;

    // The rows of the player that this submission stands for; later rows are not touched.
    d.submitHasScore = true;
    d.submitMode = d.gameMode;
    d.submitGuids.clear();
    for (const TZvHiscoreRow& r : table->rows)
        if (r.name == d.playerName)
            d.submitGuids.insert(r.guid);

    Remember(userName, password, remember);
    return true;
}

bool TZvHiscores::SubmitMedalsToServer(const char* medalXml, const char* userName, const char* password, bool remember)
{
    TZvHiscoresData& d = *mData;
    if (userName && !CheckUserName(userName, static_cast<unsigned>(std::strlen(userName))))
        return false;
    if (!medalXml || !userName || !password)
        return false;
    d.submitHasScore = false;
    d.submitMedalsCount = 0;

    TXmlNode medals("medals");
    medals.SetAttribute("name", userName);
    medals.SetAttribute("password", password);
    if (!d.gameHandle.empty())
        medals.SetAttribute("game", d.gameHandle.c_str());
    str xml = str(kXmlDeclaration) + medals.AsString();
    InsertBeforeClosingTag(xml, "</medals>", medalXml);

    StartRequest();
    d.client.AddArg("game", d.gameHandle.c_str());
    d.client.AddArg("action", "medals");
    d.client.AddArg("medals", EncryptPayload(d.cipher, xml).c_str());
    SendRequest();
    d.requestUser = userName;
    d.requestKind = TZvHiscoresData::kSubmission;
    Remember(userName, password, remember);
    return true;
}

int TZvHiscores::GetServerRequestStatus(char* message, unsigned len, bool* scoreListed)
{
    TZvHiscoresData& d = *mData;
    if (d.unsent) {
        CopyText(message, len, str(kNoServer));
        return kRequestFailed;
    }
    int status = d.client.GetStatus();
    if (status == TSimpleHttp::kRunning)
        return kRequestRunning;
    if (status != TSimpleHttp::kFinished) {
        CopyText(message, len, d.defaultError.empty() ? str(kNoConnection) : d.defaultError);
        return kRequestFailed;
    }
    const char* contents = d.client.GetContents();
    d.reply = contents ? contents : "";
    // A refusal may come with an error status; only a body that is no score reply fails for it.
    const long code = d.client.GetResponseCode();
    if (code / 100 != 2 && !TScoreReply(d.reply.c_str(), 0).Root()) {
        WriteDbg("HiScores: the server answered with status %ld and no score reply", code);
        CopyText(message, len, d.defaultError.empty() ? str(kNoConnection) : d.defaultError);
        return kRequestFailed;
    }

    switch (d.requestKind) {
    case TZvHiscoresData::kScoreTable:
        if (ParseScoreData(d.reply.c_str()))
            return kRequestDone;
        if (d.reply.find("Missing required parameter: type") != str::npos)
            d.serverMessage = "Score request failed because game mode is not valid";
        else if (d.categories.empty())
            d.serverMessage = "Score request failed because no category information has been received yet";
        FillInErrorMessage(message, static_cast<int>(len), d.defaultError, d.serverMessage);
        return kRequestFailed;

    case TZvHiscoresData::kCategories:
        if (ParseCategoryData(d.reply.c_str()))
            return kRequestDone;
        FillInErrorMessage(message, static_cast<int>(len), d.defaultError, d.serverMessage);
        return kRequestFailed;

    default: break;
    }

    // A submission. A reply that is not a score document is a failure, not an acceptance.
    const TScoreReply reply(d.reply.c_str(), TZvHiscoreTable::kMaxRows);
    if (!CheckReturn(d, reply)) {
        FillInErrorMessage(message, static_cast<int>(len), d.defaultError, d.serverMessage);
        if (d.reply.find("hiscore.error.invalidUsernameOrPassword") != str::npos)
            d.rememberedUsers.erase(d.playerName);
        return kRequestFailed;
    }
    TXmlNode* root = reply.Root();
    bool listed = false;
    if (root && !root->GetChild("medals")) {
        if (d.submitHasScore) {
            auto it = d.localTables.find(d.submitMode);
            if (it != d.localTables.end())
                for (TZvHiscoreRow& row : it->second->rows)
                    if (d.submitGuids.count(row.guid))
                        row.submitted = true;
            d.submitHasScore = false;
            SavePreferences();
        }
        listed = root->GetChild("score") != nullptr;
    }
    if (scoreListed)
        *scoreListed = listed;
    if (d.submitMedalsCount > 0) {
        auto it = d.medals.find(d.submitMedalsPlayer);
        if (it != d.medals.end())
            it->second->MarkAsSubmitted(d.submitMedalsCount);
        d.submitMedalsCount = 0;
    }
    return kRequestDone;
}

int TZvHiscores::GetCategoryCount()
{
    return static_cast<int>(mData->categories.size());
}

bool TZvHiscores::GetCategoryName(int index, char* buffer, unsigned len)
{
    const auto& categories = mData->categories;
    if (!buffer || categories.empty() || index < 0 || static_cast<size_t>(index) >= categories.size())
        return false;
    CopyText(buffer, len, categories[static_cast<size_t>(index)].second);
    return true;
}

bool TZvHiscores::ParseReturnForErrors(const char* reply)
{
    return CheckReturn(*mData, TScoreReply(reply, TZvHiscoreTable::kMaxRows));
}

bool TZvHiscores::ParseCategoryData(const char* reply)
{
    TZvHiscoresData& d = *mData;
    d.categories.clear();
    const TScoreReply parsed(reply, TZvHiscoreTable::kMaxRows);
    if (!CheckReturn(d, parsed))
        return false;
    TXmlNode* tables = parsed.Root()->GetChild("tables");
    if (!tables)
        return false;
    str name;
    TXmlNode* child = nullptr;
    tables->ResetChildren();
    while (tables->GetNextChild(&name, &child))
        if (name == "table")
            d.categories.emplace_back(child->GetAttribute("table"), child->GetAttribute("name"));
    return true;
}

bool TZvHiscores::ParseScoreData(const char* reply)
{
    TZvHiscoresData& d = *mData;
    d.globalTable.Clear();
    d.ownGlobalIndex = -1;
    const TScoreReply parsed(reply, TZvHiscoreTable::kMaxRows);
    if (!CheckReturn(d, parsed))
        return false;
    TXmlNode* scores = parsed.Scores();
    if (!scores) {
        WriteDbg("HiScores parsed incorrectly");
        return false;
    }
    // The list holds its "score" rows only.
    TXmlNode* child = nullptr;
    scores->ResetChildren();
    while (scores->GetNextChild(nullptr, &child)) {
        TZvHiscoreRow row;
        row.name = child->GetAttribute("name");
        row.gameData = child->GetAttribute("data");
        row.serverData = child->GetAttribute("serverData");
        row.version = child->GetAttribute("ver");
        row.guid = child->GetAttribute("guid");
        row.anonymous = child->GetAttribute("anonymous") == "true";
        row.score = std::atoi(child->GetAttribute("score").c_str());
        row.rank = std::atoi(child->GetAttribute("rank").c_str());
        row.submitted = false;
        if (d.ownGlobalIndex < 0 && child->GetAttribute("account") == "true")
            d.ownGlobalIndex = static_cast<int>(d.globalTable.rows.size());
        d.globalTable.rows.push_back(row);
    }
    if (parsed.Capped())
        WriteDbg("HiScores: server sent more than %d scores; the rest are dropped", TZvHiscoreTable::kMaxRows);
    d.globalTable.count = static_cast<int>(d.globalTable.rows.size());
    return true;
}

void TZvHiscores::FillInErrorMessage(char* buffer, int len, const str& defaultText, const str& message)
{
    if (len <= 0)
        return;
    str text = !message.empty() ? message : !defaultText.empty() ? defaultText : str(kNoConnection);
    CopyText(buffer, static_cast<unsigned>(len), text);
}
