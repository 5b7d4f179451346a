// The NC template file both ways and the cutting-condition answer.
#include "othmac/nc_template.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/temp_install.h"

namespace quillet::othmac {
namespace {

using testing::ReadFile;
using testing::TempFolder;
using testing::WriteFile;

// The expected file: every tag in file order, its content lines and ###END.
std::string FileWith(const std::string& tag, const std::vector<std::string>& lines) {
    std::istringstream tags(
        "NCSTART NCSTARTG92 NCEND CUTSTART-K CUTEND-K CUTSTART-K-S CUTEND-K-S CUTSTART-L CUTEND-L "
        "CUTSTART-L-S CUTEND-L-S CUTSTART-M CUTEND-M CUTSTART-M-S CUTEND-M-S CUTSTART-H CUTEND-H "
        "CUTSTART-H-S CUTEND-H-S CUTCOND-K CUTCOND-L CUTCOND-M CUTCOND-H MAC-STOP CUTMODAL "
        "CUTCOND-POS OFFSET-POS");
    std::string out;
    for (std::string t; tags >> t;) {
        t = "###" + t;
        out += t + "\n";
        if (t == tag) {
            for (const std::string& line : lines) out += line + "\n";
        }
        out += "###END\n";
    }
    return out;
}

TEST(NcTemplateWriteTest, SectionsCarryTheirMarkerOnTheFirstLine) {
    struct Row {
        NcText which;
        std::string text;
        std::string tag;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {NcText::CutStartK, "M103\r\nG04P1", "###CUTSTART-K", {"M103(ON)", "G04P1"}},
        {NcText::CutEndK, "M05\r\nG04", "###CUTEND-K", {"M05(OFF)", "G04"}},
        {NcText::CutCondH, "M100\r\n", "###CUTCOND-H", {"M100(CUT-H)"}},
        {NcText::MacStop, "M00", "###MAC-STOP", {"M00(M-STOP)"}},
        {NcText::OffsetPos, "\r\nG92X0", "###OFFSET-POS", {"", "G92X0(OFFSET)"}},
        {NcText::NcStart, "%\r\nO0001\r\n\r\nG90", "###NCSTART", {"%", "O0001", "", "G90"}},
        // A lone CR or LF stays inside its line.
        {NcText::NcEnd, "A\rB\nC\r\nD", "###NCEND", {"A\rB\nC", "D"}},
        {NcText::CutStartL, " \r\n\r\n  ", "###CUTSTART-L", {}},
        {NcText::CutEndM, "", "###CUTEND-M", {}},  // all empty: tags and ends only
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.tag);
        NcTemplateTexts texts;
        texts[row.which] = row.text;
        EXPECT_EQ(FormatNcTemplate(texts), FileWith(row.tag, row.lines));
    }
}

TEST(NcTemplateFileTest, WritesWholeFileReadsBackAndRefusesOverlongText) {
    TempFolder folder;
    const auto path = folder.Path() / "t.CUT";
    WriteFile(path, "old contents\n");
    NcTemplateTexts texts;
    for (std::size_t i = 0; i < kNcTextCount; ++i) {
        texts.texts[i] = "G0" + std::to_string(i) + "\r\nX" + std::to_string(i);
    }
    texts[NcText::OffsetPos] = "\r\nG92";
    ASSERT_TRUE(WriteNcTemplate(texts, path));
    const std::string written = ReadFile(path);
    EXPECT_EQ(written, FormatNcTemplate(texts));
    const std::optional<NcTemplateTexts> read = ReadNcTemplate(path);
    ASSERT_TRUE(read);
    for (std::size_t i = 0; i < kNcTextCount; ++i) {
        EXPECT_EQ(read->texts[i], texts.texts[i] + "\r\n") << i;
    }

    // The limit counts what is written: not the CR LF that reading adds, so
    // a text of 499 bytes (here with its marker) saves again after reading.
    NcTemplateTexts tooLong;
    tooLong[NcText::MacStop] = std::string(500, 'X');
    EXPECT_EQ(FirstOverlongText(tooLong), static_cast<std::size_t>(NcText::MacStop));
    EXPECT_FALSE(WriteNcTemplate(tooLong, path));
    EXPECT_EQ(ReadFile(path), written);
    EXPECT_EQ(WrittenLength(std::string(600, ' ') + "\r\n"), 0u);  // blank: nothing written
    for (const std::string& text : {std::string(499, 'X'), std::string(496, 'X') + "\r\nY"}) {
        tooLong[NcText::MacStop] = text;
        ASSERT_TRUE(WriteNcTemplate(tooLong, path));
        const std::optional<NcTemplateTexts> again = ReadNcTemplate(path);
        ASSERT_TRUE(again);
        EXPECT_EQ((*again)[NcText::MacStop], text + "\r\n");
        EXPECT_TRUE(WriteNcTemplate(*again, path));
    }
    EXPECT_FALSE(WriteNcTemplate(texts, folder.Path() / "missing" / "x.CUT"));
}

TEST(NcTemplateReadTest, ReadingRules) {
    TempFolder folder;
    const auto path = folder.Path() / "r.CUT";
    for (const auto& row : testing::FixtureRows(QUILLET_OTHMAC_DATA "/nc_template_reads.txt")) {
        SCOPED_TRACE(row[0]);
        WriteFile(path, row[1]);
        const std::optional<NcTemplateTexts> read = ReadNcTemplate(path);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->texts[std::stoul(row[2])], row[3]);
    }
    EXPECT_FALSE(ReadNcTemplate(folder.Path() / "missing.CUT"));
    EXPECT_FALSE(ReadNcTemplate(folder.Path()));
}

TEST(CuttingConditionTest, AnswersFromTheConditionSections) {
    struct Row {
        const char* what;
        std::string file;
        bool expected;
    };
    const Row rows[] = {
        {"written template with empty conditions", FormatNcTemplate(NcTemplateTexts{}), false},
        {"one line in CUTCOND-H", FileWith("###CUTCOND-H", {"M100(CUT-H)"}), true},
        {"empty line after the tag counts", "###CUTCOND-K\n\n###END\n", true},
        {"tag at end of file", "###CUTCOND-M\n", false},
        {"tag followed by a tag line", "###CUTCOND-L\n###END\n", false},
        {"# in the third column", "###CUTCOND-L\nAB#\n", false},
        {"# after the third column", "###CUTCOND-L\nABC#\n", true},
        {"other sections do not count", FileWith("###CUTSTART-K", {"M103(ON)"}), false},
        {"next line holding the next tag", "###CUTCOND-K\n###CUTCOND-L\nM1\n", true},
    };
    TempFolder folder;
    const auto path = folder.Path() / "c.CUT";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        WriteFile(path, row.file);
        EXPECT_EQ(TemplateDefinesCuttingConditions(path.string()), row.expected);
    }
    for (const std::string& unreadable :
         {std::string(), (folder.Path() / "missing.CUT").string(), folder.Path().string()}) {
        EXPECT_EQ(TemplateDefinesCuttingConditions(unreadable), std::nullopt);
    }
}

}  // namespace
}  // namespace quillet::othmac
