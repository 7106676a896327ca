#include "core/system/identifiers.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

class Identifiers : public testing::Test
{
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/tv_ident_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        mRoot = tmpl;
        SetNetworkInterfaceFolder(mRoot.c_str());
    }
    void TearDown() override
    {
        SetNetworkInterfaceFolder("");
        SetHardwareAddressSource(nullptr);
        fs::remove_all(mRoot);
    }
    void AddInterface(const std::string& name, const std::string& address, bool device)
    {
        fs::create_directories(mRoot / name);
        std::ofstream(mRoot / name / "address") << address << "\n";
        if (device)
            fs::create_directories(mRoot / name / "device");
    }
    fs::path mRoot;
};

bool IsHex(const str& s)
{
    for (unsigned i = 0; i < s.length(); ++i)
        if (!std::isxdigit(static_cast<unsigned char>(s[i])) || std::isupper(static_cast<unsigned char>(s[i])))
            return false;
    return true;
}

TEST_F(Identifiers, FingerprintFromTheFirstDeviceInterface)
{
    AddInterface("lo", "00:00:00:00:00:00", false);
    AddInterface("br0", "aa:aa:aa:aa:aa:aa", false);  // virtual: comes after real hardware
    AddInterface("eth1", "02:00:00:00:00:02", true);
    AddInterface("eth0", "01:23:45:67:89:ab", true);
    uint64_t fp = 0;
    EXPECT_TRUE(GetHardwareFingerprint(fp));
    EXPECT_EQ(fp, 0x0000ab8967452301ull);
}

TEST_F(Identifiers, VirtualInterfaceWhenNoDeviceHasAnAddress)
{
    AddInterface("eth0", "00:00:00:00:00:00", true);
    AddInterface("wlan0", "garbage", true);
    // An address that is a pipe is passed over, never waited on.
    AddInterface("eth1", "", true);
    fs::remove(mRoot / "eth1" / "address");
    ASSERT_EQ(mkfifo((mRoot / "eth1" / "address").c_str(), 0644), 0);
    AddInterface("veth9", "10:20:30:40:50:60", false);
    uint64_t fp = 0;
    GetHardwareFingerprint(fp);
    EXPECT_EQ(fp, 0x0000605040302010ull);
}

TEST_F(Identifiers, NoInterfaceGivesTheFixedFingerprint)
{
    AddInterface("lo", "00:00:00:00:00:00", false);
    testing::internal::CaptureStdout();
    uint64_t fp = 0;
    EXPECT_TRUE(GetHardwareFingerprint(fp));
    EXPECT_EQ(fp, 0xDEADBEEFDEADBEEFull);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("FindEthernetInterfaces returned 0x"), std::string::npos);

    SetNetworkInterfaceFolder((mRoot / "missing").c_str());
    testing::internal::CaptureStdout();
    GetHardwareFingerprint(fp);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(fp, 0xDEADBEEFDEADBEEFull);

    testing::internal::CaptureStdout();
    str id = zvGetComputerId();
    testing::internal::GetCapturedStdout();
    // Bytes EF BE AD DE EF BE AD DE with bytes 6 and 7 replaced by bytes 3 and 4.
    EXPECT_STREQ(id.c_str(), "QDSCSGQFQH@JQI@I");
}

TEST_F(Identifiers, GuidText)
{
    AddInterface("eth0", "01:23:45:67:89:ab", true);
    uint32_t g[4];
    zvGenerateGUID(g);
    EXPECT_EQ(g[0], 0x67452301u);
    EXPECT_EQ(g[1], 0x0000ab89u);
    str a = zvGenerateGUIDStr();
    str b = zvGenerateGUIDStr();
    EXPECT_EQ(a.length(), 32u);
    EXPECT_TRUE(IsHex(a)) << a.c_str();
    EXPECT_STREQ(a.substr(0, 16).c_str(), "674523010000ab89");
    EXPECT_STREQ(a.substr(0, 16).c_str(), b.substr(0, 16).c_str());
}

TEST_F(Identifiers, ComputerIdForAZeroFingerprint)
{
    SetHardwareAddressSource([](uint8_t(&mac)[6]) {
        for (auto& b : mac)
            b = 0;
        return true;
    });
    EXPECT_STREQ(zvGetComputerId().c_str(), "@B@C@D@E@F@G@H@I");
}

TEST_F(Identifiers, ComputerIdIsStableAndUsesBothHalvesOfEachByte)
{
    SetHardwareAddressSource([](uint8_t(&mac)[6]) {
        const uint8_t v[6] = {0xFF, 0x00, 0x21, 0x00, 0x00, 0x00};
        for (int i = 0; i < 6; ++i)
            mac[i] = v[i];
        return true;
    });
    str id = zvGetComputerId();
    EXPECT_EQ(id.length(), 16u);
    EXPECT_EQ(id, zvGetComputerId());
    // FF^00: low bits 31 -> '_', high bits 7 -> 'B' + 7; 00^21: 1 -> 'A', 1 -> 'C' + 1.
    EXPECT_EQ(id.substr(0, 4), str("_IAD"));
}

TEST_F(Identifiers, TheRealMachineGivesAStableId)
{
    SetNetworkInterfaceFolder("");
    testing::internal::CaptureStdout();
    str a = zvGetComputerId();
    str b = zvGetComputerId();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(a.length(), 16u);
    EXPECT_EQ(a, b);
}

}  // namespace
