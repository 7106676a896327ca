// Typed text in the two Unicode modes.

#include "platform_fakes.h"

namespace {

class UnicodeInput : public PlatformFixture
{
protected:
    std::vector<TEvent> Type(TPlatformData& data, std::vector<uint16_t> units)
    {
        host->events.push_back(Text(std::move(units)));
        TEvent first;
        data.GetEvent(&first);  // the text event itself is an idle record
        EXPECT_EQ(first.type, TEvent::kIdle);
        return Drain(data);
    }
    static std::vector<std::pair<int32_t, int32_t>> Pairs(const std::vector<TEvent>& events)
    {
        std::vector<std::pair<int32_t, int32_t>> out;
        for (auto& e : events)
            out.emplace_back(e.type, e.code);
        return out;
    }
    using P = std::vector<std::pair<int32_t, int32_t>>;
};

TEST_F(UnicodeInput, Utf8ModeGivesKeyDownThenCharacterForAscii)
{
    auto data = MakeData();
    gbZvUnicode = true;
    data->InstallUnicodeHandler(true);
    EXPECT_EQ(Pairs(Type(*data, {'a'})), (P{{TEvent::kKeyDown, 'A'}, {TEvent::kUnicodeChar, 'a'}}));
    EXPECT_EQ(Pairs(Type(*data, {13})), (P{{TEvent::kKeyDown, 13}, {TEvent::kUnicodeChar, 13}}));
    // Beyond ASCII: the character alone.
    EXPECT_EQ(Pairs(Type(*data, {0xE9})), (P{{TEvent::kUnicodeChar, 233}}));
}

TEST_F(UnicodeInput, SurrogatePairsCombineWithinAndAcrossEvents)
{
    auto data = MakeData();
    gbZvUnicode = true;
    data->InstallUnicodeHandler(true);
    // U+1F600 split over two events.
    EXPECT_TRUE(Type(*data, {0xD83D}).empty());
    EXPECT_EQ(Pairs(Type(*data, {0xDE00})), (P{{TEvent::kUnicodeChar, 0x1F600}}));
    // In one event, followed by more text: nothing of it is lost and the order holds.
    EXPECT_EQ(Pairs(Type(*data, {0xD83D, 0xDE00, 'b'})),
              (P{{TEvent::kUnicodeChar, 0x1F600}, {TEvent::kKeyDown, 'B'}, {TEvent::kUnicodeChar, 'b'}}));
    // A held lead is kept across other units.
    EXPECT_TRUE(Type(*data, {0xD800}).empty());
    EXPECT_EQ(Pairs(Type(*data, {'x'})), (P{{TEvent::kKeyDown, 'X'}, {TEvent::kUnicodeChar, 'x'}}));
    EXPECT_EQ(Pairs(Type(*data, {0xDC01})), (P{{TEvent::kUnicodeChar, 0x10001}}));
    // A lone low surrogate is passed on unchanged.
    EXPECT_EQ(Pairs(Type(*data, {0xDC05})), (P{{TEvent::kUnicodeChar, 0xDC05}}));
}

TEST_F(UnicodeInput, EightBitModeReplacesWideUnitsWithQuestionMarks)
{
    auto data = MakeData();
    gbQuenmarrUnicode = true;
    data->InstallUnicodeHandler(true);
    EXPECT_EQ(Pairs(Type(*data, {0x263A})), (P{{TEvent::kKeyDown, '?'}, {TEvent::kChar, '?'}}));
    // The character is an unsigned byte, the key a signed one.
    EXPECT_EQ(Pairs(Type(*data, {0xE9})), (P{{TEvent::kKeyDown, -23}, {TEvent::kChar, 233}}));
    EXPECT_EQ(Pairs(Type(*data, {'q'})), (P{{TEvent::kKeyDown, 'Q'}, {TEvent::kChar, 'q'}}));
}

TEST_F(UnicodeInput, WithoutTheHandlerTextIsIgnored)
{
    auto data = MakeData();
    EXPECT_TRUE(Type(*data, {'a'}).empty());
}

TEST_F(UnicodeInput, TextRecordsComeAfterRecordsAlreadyQueued)
{
    auto data = MakeData();
    gbZvUnicode = true;
    data->InstallUnicodeHandler(true);
    host->events.push_back(Text({'a', 'b'}));
    TEvent e;
    data->GetEvent(&e);
    std::vector<TEvent> rest = Drain(*data);
    ASSERT_EQ(rest.size(), 4u);
    EXPECT_EQ(rest[0].code, 'A');
    EXPECT_EQ(rest[1].code, 'a');
    EXPECT_EQ(rest[2].code, 'B');
    EXPECT_EQ(rest[3].code, 'b');
}

}  // namespace
