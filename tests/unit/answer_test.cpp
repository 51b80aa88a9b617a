#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "../../src/commands/answer.h"
#include "harness.h"

namespace {

struct Buffer {
    std::vector<char> bytes = std::vector<char>(2 * HOST_BUFFER + 64, static_cast<char>(POISON));
    // Nothing past the answer's bytes, 1024 unless a Unicode host says it holds 2048.
    bool GuardIntact(size_t allowed = HOST_BUFFER) const
    {
        for (size_t i = allowed; i < bytes.size(); ++i)
            if (static_cast<unsigned char>(bytes[i]) != POISON)
                return false;
        return true;
    }
    HostText Text(int wideMax = 0) { return {bytes.data(), wideMax}; }
    std::u16string Units() const
    {
        std::u16string units;
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
            char16_t u = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                               static_cast<unsigned char>(bytes[i + 1]) << 8);
            if (u == 0)
                break;
            units += u;
        }
        return units;
    }
};

TEST(Answer, TextIsCutAt1023CharactersAndTerminated)
{
    for (size_t length : {0u, 1u, 1022u, 1023u, 1024u, 1025u, 5000u}) {
        Buffer out;
        std::string text(length, 'q');
        AnswerText(out.Text(), text.c_str());
        size_t kept = length < 1023 ? length : 1023;
        EXPECT_EQ(text.substr(0, kept), std::string(out.bytes.data())) << length;
        EXPECT_EQ('\0', out.bytes[kept]) << length;
        EXPECT_TRUE(out.GuardIntact()) << length;
    }
}

// A cut ends on a whole character: in code page 932 表 is 0x95 0x5C, whose lead byte must not end the
// answer; in UTF-8 no sequence is split. Where the text fits, nothing is cut.
TEST(Answer, ACutEndsOnAWholeCharacter)
{
    struct Case {
        unsigned codePage;
        std::string text;
        size_t kept;
    };
    const std::string hyo = "\x95\x5C", ascii1022(1022, 'a'), ascii1021(1021, 'a');
    const std::string lodz = "\xC5\x81"; // Ł in UTF-8
    const Case cases[] = {
        {932, ascii1022 + hyo, 1022},          // the pair would end at 1024: it goes whole
        {932, ascii1021 + hyo + "b", 1023},    // it ends at 1023: it stays
        {932, ascii1021 + hyo, 1023},
        {932, std::string(1022, '\x5C') + hyo, 1022},
        {932, hyo + std::string(1100, 'c'), 1023},
        {65001, ascii1022 + lodz, 1022},
        {65001, ascii1021 + lodz + "x", 1023},
        {65001, ascii1022 + "\xE6\x97\xA5", 1022},
        {1252, ascii1022 + "\x95\x5C", 1023}, // one byte a character
    };
    for (const Case& k : cases) {
        StandinReset();
        StandinSetCodePage(k.codePage);
        Buffer out;
        AnswerText(out.Text(), k.text.c_str());
        EXPECT_EQ(k.text.substr(0, k.kept), std::string(out.bytes.data())) << k.codePage << " " << k.text.size();
        EXPECT_TRUE(out.GuardIntact());
    }
    StandinReset();
}

TEST(Answer, FormatCharactersInTextAreAnsweredLiterally)
{
    Buffer out;
    AnswerText(out.Text(), "100% %s %n %i %");
    EXPECT_STREQ("100% %s %n %i %", out.bytes.data());
    AnswerLengthAndNumber(out.Text(), 7, "%s%n");
    EXPECT_STREQ("7 %s%n", out.bytes.data());
}

TEST(Answer, LengthAndNumberStayWithinTheLimit)
{
    struct Case {
        int length;
        size_t numberLength;
    };
    for (Case k : {Case{245, 3}, Case{-2147483647 - 1, 1011}, Case{-2147483647 - 1, 1012}, Case{0, 5000}}) {
        Buffer out;
        std::string number(k.numberLength, '9');
        AnswerLengthAndNumber(out.Text(), k.length, number.c_str());
        std::string expected = (std::to_string(k.length) + " " + number).substr(0, 1023);
        EXPECT_EQ(expected, std::string(out.bytes.data())) << k.length << " " << k.numberLength;
        EXPECT_TRUE(out.GuardIntact());
    }
}

TEST(Answer, RefusalCarriesTheStatus)
{
    Buffer out;
    for (int status : {1, 2, 3}) {
        AnswerRefusal(out.Text(), status);
        EXPECT_EQ("ERR " + std::to_string(status), std::string(out.bytes.data()));
    }
}

// A Unicode host's answers: 511 units and the zero in 1024 bytes, or 1023 when the host holds 2048;
// a cut that would fall inside a surrogate pair falls before it.
TEST(Answer, UnicodeAnswersAreCutWithinTheHostsBytesAndNeverSplitAPair)
{
    const std::u16string pair = u"\U0001F3B5"; // 🎵
    struct Case {
        int wideMax;
        std::u16string text;
        size_t kept;
    };
    const Case cases[] = {
        {511, std::u16string(600, u'\u6771'), 511},
        {511, std::u16string(510, u'a') + pair, 510},
        {511, std::u16string(509, u'a') + pair, 511},
        {1023, std::u16string(1022, u'\u0416') + pair + u"x", 1022},
        {1023, std::u16string(1000, u'\u0416'), 1000},
    };
    for (const Case& k : cases) {
        Buffer out;
        AnswerText(out.Text(k.wideMax), k.text.c_str());
        EXPECT_EQ(k.text.substr(0, k.kept), out.Units()) << k.wideMax << " " << k.text.size();
        EXPECT_TRUE(out.GuardIntact(2 * (static_cast<size_t>(k.wideMax) + 1))) << k.wideMax;
    }
    Buffer out;
    AnswerRefusal(out.Text(511), 3);
    EXPECT_EQ(u"ERR 3", out.Units());
    AnswerLengthAndNumber(out.Text(511), -245, u"\u6771\u4eac");
    EXPECT_EQ(u"-245 \u6771\u4eac", out.Units());
    AnswerLengthAndNumber(out.Text(511), -2147483647 - 1, std::u16string(600, u'9').c_str());
    EXPECT_EQ(u"-2147483648 " + std::u16string(499, u'9'), out.Units());
    AnswerText(out.Text(511), "caf\xE9\n"); // a .m3u line, in the ANSI code page
    EXPECT_EQ(u"caf\u00E9\n", out.Units());
}

} // namespace
