#include "score_test_env.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "core/config/config.h"
#include "core/crypto/encrypt.h"
#include "core/files/file.h"
#include "online/http/simple_http.h"
#include "online/scores/guid_source.h"

namespace {
int gGuidCounter = 0;

void Checksum(const std::string& bytes, size_t n, unsigned char sum[4])
{
    sum[0] = sum[1] = sum[2] = sum[3] = 0;
    for (size_t i = 0; i < n; ++i)
        sum[i % 4] ^= static_cast<unsigned char>(bytes[i]);
}

std::string Crypt(bool encrypt, const void* data, unsigned n)
{
    TEncrypt cipher{str(ScoreTestEnv::kKey)};
    unsigned need =
        encrypt ? cipher.EncryptBinary(data, n, nullptr, 0, false) : cipher.DecryptBinary(data, n, nullptr, 0, false);
    std::vector<char> out(need);
    unsigned r = encrypt ? cipher.EncryptBinary(data, n, out.data(), need, false)
                         : cipher.DecryptBinary(data, n, out.data(), need, false);
    if (need == 0 || r != 0)
        return {};
    return std::string(out.data(), cipher.GetLastSize());
}
}  // namespace

str CountingGuid()
{
    char text[16];
    std::snprintf(text, sizeof text, "guid%04d", ++gGuidCounter);
    return str(text);
}

void ResetCountingGuid()
{
    gGuidCounter = 0;
}

ScoreTestEnv::ScoreTestEnv()
{
    char tmpl[] = "/tmp/tv_scores_XXXXXX";
    mDir = mkdtemp(tmpl);
    mkdir((mDir + "/user").c_str(), 0755);
    mOldCwd = std::filesystem::current_path().string();
    std::filesystem::current_path(mDir);
    setenv("XDG_DATA_HOME", mDir.c_str(), 1);

    TFile::TFolders folders;
    folders.user = str((mDir + "/user").c_str());
    folders.common = str((mDir + "/common").c_str());
    folders.desktop = str((mDir + "/desktop").c_str());
    TFile::SetFolders(folders);
    TFile::mResourceDir = str(mDir.c_str());

    TConfig::Clear();
    TConfig::SetConfig(TConfig::kEncryptionKey, kKey);
    TConfig::SetConfig(TConfig::kZvGameHandle, "demo");
    TConfig::SetConfig(TConfig::kGameVersion, "1.2");
    TSimpleHttp::SetDefaultTimeout(5000);
    ResetCountingGuid();
    SetGuidSource(&CountingGuid);
}

ScoreTestEnv::~ScoreTestEnv()
{
    SetGuidSource(nullptr);
    TFile::ShutDownFileSystem();
    std::filesystem::current_path(mOldCwd);
    std::error_code ec;
    std::filesystem::remove_all(mDir, ec);
}

void ScoreTestEnv::WriteServerFile(const std::string& line) const
{
    std::ofstream(mDir + "/hiscoreserver.txt", std::ios::binary) << line;
}

void ScoreTestEnv::WriteSettings(const std::string& xml) const
{
    std::ofstream(mDir + "/hiscore.xml", std::ios::binary) << xml;
}

std::string ScoreTestEnv::ReadScoreFileBytes() const
{
    std::ifstream in(ScoreFilePath(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void ScoreTestEnv::WriteScoreFileBytes(const std::string& bytes) const
{
    std::ofstream(ScoreFilePath(), std::ios::binary) << bytes;
}

std::string ScoreTestEnv::DecryptScoreFile() const
{
    std::string bytes = ReadScoreFileBytes();
    if (bytes.size() < 9)
        return {};
    size_t body = bytes.size() - 8;
    unsigned char sum[4];
    Checksum(bytes, body, sum);
    std::string trailer = Crypt(false, bytes.data() + body, 8);
    if (trailer.size() != 4 || std::memcmp(trailer.data(), sum, 4) != 0)
        return {};
    std::string plain = Crypt(false, bytes.data(), static_cast<unsigned>(body));
    if (plain.empty() || plain.back() != 0)
        return {};
    plain.pop_back();
    return plain;
}

void ScoreTestEnv::WriteScoreFileXml(const std::string& xml) const
{
    std::string body = Crypt(true, xml.c_str(), static_cast<unsigned>(xml.size() + 1));
    unsigned char sum[4];
    Checksum(body, body.size(), sum);
    WriteScoreFileBytes(body + Crypt(true, sum, 4));
}

std::string ScoreTestEnv::DecryptPayload(const std::string& base64)
{
    TEncrypt cipher{str(ScoreTestEnv::kKey)};
    return cipher.DecryptStr(str(base64.c_str())).c_str();
}
