// Byte texts shown as UTF-8 or code page 932 and written back byte for byte.
#include <gtest/gtest.h>

#include "platform/code_page.h"

namespace quillet::platform {
namespace {

TEST(CodePageTest, ShowsUtf8AsItIsAndAnythingElseAsCp932AndWritesItBack) {
    const struct {
        std::string bytes;
        TextEncoding encoding;
        std::string shown;
    } rows[] = {
        {"", TextEncoding::Utf8, ""},
        {"MC01", TextEncoding::Utf8, "MC01"},
        {"O1000 (切断)", TextEncoding::Utf8, "O1000 (切断)"},
        {"O1000 (\x90\xd8\x92\x66)", TextEncoding::Cp932, "O1000 (切断)"},
        {"SJ\x82\xa0X", TextEncoding::Cp932, "SJあX"},
        {"\xb6\xc3\xde", TextEncoding::Cp932, "ｶﾃﾞ"},       // half-width katakana
        {"\x87\x90\x81\xe0", TextEncoding::Cp932, "≒≒"},    // NEC row 13 and JIS
        {"\xc0\xaf", TextEncoding::Cp932, "ﾀｯ"},            // overlong UTF-8
        {"\xed\xa0\x80", TextEncoding::Cp932, "恝\uF780"},  // a UTF-8 surrogate
        {"A\x80\xa0\xfd", TextEncoding::Cp932, "A\uF780\uF7A0\uF7FD"},
        {"A\x90", TextEncoding::Cp932, "A\uF790"},  // lead byte at the end
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shown);
        EXPECT_EQ(DetectEncoding(row.bytes), row.encoding);
        EXPECT_EQ(DisplayText(row.bytes), row.shown);
        EXPECT_EQ(ShownText(row.bytes).BytesFor(row.shown), row.bytes);
        // Characters CP932 encodes two ways go back as they were (above).
        if (row.bytes != "\x87\x90\x81\xe0" && row.bytes != "\xed\xa0\x80") {
            EXPECT_EQ(EncodeText(row.shown, row.encoding), row.bytes);
        }
    }
    const ShownText sjis("\x82\xa0");
    EXPECT_EQ(sjis.BytesFor("あい"), "\x82\xa0\x82\xa2");
    EXPECT_EQ(sjis.BytesFor("あ😀"), "\x82\xa0?");  // CP932 cannot hold it
    EXPECT_EQ(ShownText("a").BytesFor("a😀"), "a😀");
    EXPECT_TRUE(CanEncode("あ", TextEncoding::Cp932));
    EXPECT_TRUE(CanEncode("\uF7A0", TextEncoding::Cp932));
    EXPECT_FALSE(CanEncode("😀", TextEncoding::Cp932));
    EXPECT_TRUE(CanEncode("😀", TextEncoding::Utf8));
}

}  // namespace
}  // namespace quillet::platform
