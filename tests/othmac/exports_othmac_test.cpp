// The three exports through the shared module, headless: argument checks,
// null texts, the lookup path and the cutting-condition answer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "quillet/quillet.h"
#include "support/temp_install.h"

namespace {

using quillet::testing::ReadFile;
using quillet::testing::WriteFile;

class OthmacExportsTest : public ::testing::Test {
protected:
    OthmacExportsTest() { ::setenv("QUILLET_MESSAGE_LOG", log_.c_str(), 1); }
    ~OthmacExportsTest() override { ::setenv("QUILLET_MESSAGE_LOG", "", 1); }
    std::string Log() const {
        return std::filesystem::exists(log_) ? ReadFile(log_) : std::string();
    }
    bool DataFolderEmpty() const { return std::filesystem::is_empty(install.DataFolder()); }

    quillet::testing::TempInstallation install;
    std::filesystem::path log_ = install.Base() / "messages.log";
};

TEST_F(OthmacExportsTest, OutOfRangeArgumentsAreRefusedWithMessage) {
    const struct {
        int create, show, type;
        const char* message;
    } rows[] = {{2, 0, 130, "system error：1[2]\n"},
                {0, 7, 130, "system error：2[7]\n"},
                {0, 0, 129, "system error：3[129]\n"},
                {1, 0, 140, "system error：3[140]\n"},
                {0, 0, -2147483647 - 1, "system error：3[-2147483648]\n"}};
    for (const auto& row : rows) {
        std::filesystem::remove(log_);
        char path[500] = "stale";
        char buffer[500] = "stale";
        EXPECT_EQ(
            SddGetOthMacCondPath(row.create, row.show, row.type, "MC01", "SPCC", "", 0, 0, path),
            999);
        EXPECT_EQ(
            SddOthMacCondDLG(row.create, row.show, row.type, "MC01", "SPCC", "", 0, 0, buffer),
            999);
        EXPECT_EQ(path[0], '\0');
        EXPECT_EQ(buffer[0], '\0');
        EXPECT_EQ(Log(), std::string(row.message) + row.message);
    }
    EXPECT_TRUE(DataFolderEmpty());
}

TEST_F(OthmacExportsTest, MissingOrOverlongTextsAndNoGuiAreRefusedSilently) {
    char path[500] = "stale";
    const std::string m51(51, 'M');
    EXPECT_EQ(SddGetOthMacCondPath(1, 1, 130, nullptr, "SPCC", "", 0, 0, path), 999);
    EXPECT_EQ(SddGetOthMacCondPath(1, 1, 130, "MC01", nullptr, "", 0, 0, path), 999);
    EXPECT_EQ(SddGetOthMacCondPath(1, 1, 130, "MC01", "SPCC", nullptr, 0, 0, path), 999);
    EXPECT_EQ(SddGetOthMacCondPath(1, 1, 130, "MC01", "SPCC", "", 0, 0, nullptr), 999);
    EXPECT_EQ(SddOthMacCondDLG(1, 1, 130, nullptr, "SPCC", "", 0, 0, path), 999);
    EXPECT_EQ(SddOthMacCondDLG(1, 1, 130, m51.c_str(), "SPCC", "", 0, 0, path), 999);
    EXPECT_EQ(SddOthMacCondDLG(1, 1, 130, "MC01", m51.c_str(), "", 0, 0, path), 999);
    EXPECT_EQ(SddOthMacCondDLG(1, 1, 130, "MC01", "SPCC", std::string(56, 'R').c_str(), 0, 0, path),
              999);
    EXPECT_EQ(SddGetOthCutInf(nullptr), 999);
    // Valid arguments but no display: the dialog shows nothing.
    std::strcpy(path, "stale");
    EXPECT_EQ(
        SddOthMacCondDLG(1, 1, 130, std::string(50, 'M').c_str(), "SPCC", "reserved", 7, 8, path),
        999);
    EXPECT_EQ(path[0], '\0');
    EXPECT_EQ(Log(), "");
    EXPECT_TRUE(DataFolderEmpty());
}

TEST_F(OthmacExportsTest, LookupAndCuttingConditionAnswer) {
    char path[500] = "stale";
    EXPECT_EQ(SddGetOthMacCondPath(0, 0, 130, "MC01", "SPCC", "", 0, 0, path), 100);
    EXPECT_EQ(path[0], '\0');
    ASSERT_EQ(SddGetOthMacCondPath(1, 0, 130, "MC01", "SPCC", "any", -1, 99, path), 0);
    EXPECT_EQ(std::string(path), (install.DataFolder() / "MC01-SPCC.CUT").string());
    EXPECT_EQ(SddGetOthCutInf(path), 999);
    EXPECT_EQ(SddGetOthCutInf(""), 999);
    WriteFile(path, "###CUTCOND-K\n###END\n###CUTCOND-H\nM100(CUT-H)\n###END\n");
    EXPECT_EQ(SddGetOthCutInf(path), 1);
    WriteFile(path, "###CUTCOND-K\n###END\n");
    EXPECT_EQ(SddGetOthCutInf(path), 0);
    char again[500];
    EXPECT_EQ(SddGetOthMacCondPath(0, 1, 130, "mc01", "spcc", "", 0, 0, again), 0);
    EXPECT_STREQ(again, path);
    EXPECT_EQ(Log(), "");
}

}  // namespace
