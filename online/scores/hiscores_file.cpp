// The settings file "hiscore.xml" and the encrypted score file "user:hiscore.dat".

#include <cstdio>
#include <cstdlib>

#include <vector>

#include "core/debug/debug_log.h"
#include "core/files/file.h"
#include "core/files/file_bytes.h"
#include "core/files/replace_file.h"
#include "core/xml/xml_node.h"
#include "online/scores/hiscores_data.h"
#include "online/scores/zv_hiscores.h"

namespace {
const char* kScoreFile = "user:hiscore.dat";
constexpr unsigned kTrailerSize = 8;

void Checksum(const unsigned char* bytes, size_t n, unsigned char sum[4])
{
    sum[0] = sum[1] = sum[2] = sum[3] = 0;
    for (size_t i = 0; i < n; ++i)
        sum[i % 4] ^= bytes[i];
}

std::vector<unsigned char> Encrypt(TEncrypt& cipher, const void* data, unsigned n)
{
    unsigned need = cipher.EncryptBinary(data, n, nullptr, 0, false);
    std::vector<unsigned char> out(need);
    if (need == 0 || cipher.EncryptBinary(data, n, out.data(), need, false) != 0)
        return {};
    out.resize(cipher.GetLastSize());
    return out;
}

std::vector<char> Decrypt(TEncrypt& cipher, const void* data, unsigned n)
{
    unsigned need = cipher.DecryptBinary(data, n, nullptr, 0, false);
    std::vector<char> out(need);
    if (need == 0 || cipher.DecryptBinary(data, n, out.data(), need, false) != 0)
        return {};
    out.resize(cipher.GetLastSize());
    return out;
}

// A rejected score file is copied aside rather than silently replaced by the next save.
void SetAsideDamaged()
{
    KeepDamagedCopy(kScoreFile, nullptr);
}

str Attr(TXmlNode* node, const char* name)
{
    return node->GetAttribute(name);
}

void ReadUser(TZvHiscoresData& d, TXmlNode* node)
{
    TZvRememberedUser user;
    user.player = Attr(node, "player");
    user.name = Attr(node, "name");
    user.pass = Attr(node, "pass");
    d.rememberedUsers[user.player] = user;
}

void ReadTable(TZvHiscoresData& d, TXmlNode* node)
{
    auto table = std::make_unique<TZvHiscoreTable>();
    table->name = Attr(node, "name");
    str childName;
    TXmlNode* child = nullptr;
    bool capped = false;
    node->ResetChildren();
    while (node->GetNextChild(&childName, &child)) {
        if (childName != "row")
            continue;
        if (table->rows.size() >= static_cast<size_t>(TZvHiscoreTable::kMaxRows)) {
            capped = true;
            continue;
        }
        TZvHiscoreRow row;
        row.rank = std::atoi(Attr(child, "rank").c_str());
        row.score = std::atoi(Attr(child, "score").c_str());
        row.submitted = std::atoi(Attr(child, "submit").c_str()) >= 1;
        row.guid = Attr(child, "guid");
        row.name = Attr(child, "name");
        row.gameData = Attr(child, "gameData");
        row.serverData = Attr(child, "serverData");
        row.version = Attr(child, "version");
        row.anonymous = true;
        table->rows.push_back(row);
    }
    if (capped)
        WriteDbg("HiScores: table %s holds more than %d rows; the rest are dropped", table->name.c_str(),
                 TZvHiscoreTable::kMaxRows);
    if (table->rows.empty())
        return;
    table->count = static_cast<int>(table->rows.size());
    d.localTables[table->name] = std::move(table);
}

void ReadMedals(TZvHiscoresData& d, TXmlNode* node)
{
    // An empty name is a player like any other: medals are recorded under it too.
    str user = Attr(node, "user");
    auto list = std::make_unique<TZvMedalsTable>();
    str childName;
    TXmlNode* child = nullptr;
    node->ResetChildren();
    while (node->GetNextChild(&childName, &child)) {
        if (childName != "medal")
            continue;
        TZvMedal m;
        m.medalName = Attr(child, "medalname");
        m.type = Attr(child, "type");
        m.mode = Attr(child, "mode");
        m.gameData = Attr(child, "gameData");
        m.submitted = std::atoi(Attr(child, "submit").c_str()) >= 1;
        list->Append(m);
    }
    d.medals[user] = std::move(list);
}

void SetIfNotEmpty(TXmlNode* node, const char* name, const str& value)
{
    if (!value.empty())
        node->SetAttribute(name, value.c_str());
}
}  // namespace

void TZvHiscores::LoadSettings()
{
    TZvHiscoresData& d = *mData;
    d.languageLocked = false;
    d.defaultError = str();
    TXmlNode doc;
    if (!TFile::Exists("::hiscore.xml") || !doc.ParseFile("::hiscore.xml"))
        return;
    TXmlNode* root = doc.GetChild("hiscore");
    if (!root)
        return;
    if (TXmlNode* language = root->GetChild("language")) {
        d.language = language->GetContent();
        d.languageLocked = true;
    }
    if (TXmlNode* error = root->GetChild("defaulterror"))
        d.defaultError = error->GetContent();
}

void TZvHiscores::LoadPreferences()
{
    TZvHiscoresData& d = *mData;
    if (d.saveEnabled)
        RemoveUnfinishedSaves(TFile::TranslateResource(kScoreFile, false));
    if (!TFile::Exists(kScoreFile))
        return;
    std::vector<char> bytes;
    if (!ReadFileBytes(kScoreFile, kFileRead, bytes)) {
        WriteDbg("HiScores: cannot read %s; starting without saved scores", kScoreFile);
        if (d.saveEnabled)
            SetAsideDamaged();
        return;
    }
    if (bytes.size() < kTrailerSize + 1) {
        WriteDbg("HiScores: %s is too short; ignoring saved score data.", kScoreFile);
        if (d.saveEnabled)
            SetAsideDamaged();
        return;
    }
    const unsigned bodySize = static_cast<unsigned>(bytes.size() - kTrailerSize);
    unsigned char sum[4];
    Checksum(reinterpret_cast<const unsigned char*>(bytes.data()), bodySize, sum);
    std::vector<char> plain = Decrypt(d.cipher, bytes.data(), bodySize);
    std::vector<char> trailer = Decrypt(d.cipher, bytes.data() + bodySize, kTrailerSize);
    if (trailer.size() < 4 || static_cast<unsigned char>(trailer[0]) != sum[0] ||
        static_cast<unsigned char>(trailer[1]) != sum[1] || static_cast<unsigned char>(trailer[2]) != sum[2] ||
        static_cast<unsigned char>(trailer[3]) != sum[3] || plain.empty()) {
        WriteDbg("HiScores: Checksum did not match! Ignoring saved score data.");
        if (d.saveEnabled)
            SetAsideDamaged();
        return;
    }
    plain.push_back(0);

    TXmlNode doc;
    if (!doc.ParseString(plain.data())) {
        WriteDbg("HiScores: %s does not read as a score document; ignoring saved score data.", kScoreFile);
        if (d.saveEnabled)
            SetAsideDamaged();
        return;
    }
    str name;
    TXmlNode* node = nullptr;
    // Three passes, as the kinds depend on nothing but keep the order users, scores, medals.
    for (int pass = 0; pass < 3; ++pass) {
        doc.ResetChildren();
        while (doc.GetNextChild(&name, &node)) {
            if (pass == 0 && name == "user")
                ReadUser(d, node);
            else if (pass == 1 && name == "score")
                ReadTable(d, node);
            else if (pass == 2 && name == "medals")
                ReadMedals(d, node);
        }
    }
}

void TZvHiscores::SavePreferences()
{
    TZvHiscoresData& d = *mData;
    if (!d.saveEnabled)
        return;

    std::string text = "<?xml version=\"1.0\"?>\n";
    for (const auto& [player, user] : d.rememberedUsers) {
        TXmlNode node("user");
        node.SetAttribute("player", user.player.c_str());
        node.SetAttribute("name", user.name.c_str());
        node.SetAttribute("pass", user.pass.c_str());
        text += node.AsString().c_str();
    }
    for (const auto& [mode, table] : d.localTables) {
        TXmlNode node("score");
        node.SetAttribute("name", mode.c_str());
        for (const TZvHiscoreRow& row : table->rows) {
            TXmlNode* r = node.CreateChild("row");
            r->SetAttribute("rank", row.rank);
            r->SetAttribute("score", row.score);
            r->SetAttribute("submit", row.submitted ? 1 : 0);
            SetIfNotEmpty(r, "guid", row.guid);
            SetIfNotEmpty(r, "name", row.name);
            SetIfNotEmpty(r, "gameData", row.gameData);
            SetIfNotEmpty(r, "serverData", row.serverData);
            SetIfNotEmpty(r, "version", row.version);
        }
        text += node.AsString().c_str();
    }
    for (const auto& [player, list] : d.medals) {
        TXmlNode node("medals");
        node.SetAttribute("user", player.c_str());
        for (const TZvMedal& m : list->Medals()) {
            TXmlNode* e = node.CreateChild("medal");
            e->SetAttribute("medalname", m.medalName.c_str());
            e->SetAttribute("type", m.type.c_str());
            e->SetAttribute("mode", m.mode.c_str());
            e->SetAttribute("gameData", m.gameData.c_str());
            e->SetAttribute("submit", m.submitted ? 1 : 0);
        }
        text += node.AsString().c_str();
    }

    std::vector<unsigned char> body = Encrypt(d.cipher, text.c_str(), static_cast<unsigned>(text.size() + 1));
    if (body.empty()) {
        WriteDbg("HiScores: cannot encrypt the score data; not saved");
        return;
    }
    unsigned char sum[4];
    Checksum(body.data(), body.size(), sum);
    std::vector<unsigned char> trailer = Encrypt(d.cipher, sum, 4);
    if (trailer.size() != kTrailerSize) {
        WriteDbg("HiScores: cannot encrypt the score checksum; not saved");
        return;
    }
    body.insert(body.end(), trailer.begin(), trailer.end());

    // A failure is logged and told to the save report there, once per file when there is no folder.
    ReplaceFileContents(kScoreFile, body.data(), body.size());
}
