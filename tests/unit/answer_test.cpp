#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "../../src/commands/answer.h"
#include "harness.h"

namespace {

struct Buffer {
    std::vector<char> bytes = std::vector<char>(HOST_BUFFER + 64, static_cast<char>(POISON));
    bool GuardIntact() const
    {
        for (size_t i = HOST_BUFFER; i < bytes.size(); ++i)
            if (static_cast<unsigned char>(bytes[i]) != POISON)
                return false;
        return true;
    }
};

TEST(Answer, TextIsCutAt1023CharactersAndTerminated)
{
    for (size_t length : {0u, 1u, 1022u, 1023u, 1024u, 1025u, 5000u}) {
        Buffer out;
        std::string text(length, 'q');
        AnswerText(out.bytes.data(), text.c_str());
        size_t kept = length < 1023 ? length : 1023;
        EXPECT_EQ(text.substr(0, kept), std::string(out.bytes.data())) << length;
        EXPECT_EQ('\0', out.bytes[kept]) << length;
        EXPECT_TRUE(out.GuardIntact()) << length;
    }
}

TEST(Answer, FormatCharactersInTextAreAnsweredLiterally)
{
    Buffer out;
    AnswerText(out.bytes.data(), "100% %s %n %i %");
    EXPECT_STREQ("100% %s %n %i %", out.bytes.data());
    AnswerLengthAndNumber(out.bytes.data(), 7, "%s%n");
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
        AnswerLengthAndNumber(out.bytes.data(), k.length, number.c_str());
        std::string expected = (std::to_string(k.length) + " " + number).substr(0, 1023);
        EXPECT_EQ(expected, std::string(out.bytes.data())) << k.length << " " << k.numberLength;
        EXPECT_TRUE(out.GuardIntact());
    }
}

TEST(Answer, RefusalCarriesTheStatus)
{
    Buffer out;
    for (int status : {1, 2, 3}) {
        AnswerRefusal(out.bytes.data(), status);
        EXPECT_EQ("ERR " + std::to_string(status), std::string(out.bytes.data()));
    }
}

} // namespace
