// The record store: files byte for byte, look-up and registration results,
// conversion of old files, refused names.
#include "othmac/record_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "support/message_recorder.h"
#include "support/temp_install.h"

namespace quillet::othmac {
namespace {

using testing::ReadFile;
using testing::WriteFile;
using Ids = std::vector<std::string>;

std::string Pad(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}
std::string IndexLine(const std::string& number, const std::string& machine,
                      const std::string& list) {
    return "[QM700]" + number + Pad(machine, 50) + Pad(list, 100) + "\n";
}
std::string ListLine(const std::string& material, const std::string& templateName) {
    return "[QM700]" + Pad(material, 50) + Pad(templateName, 100) + "\n";
}

class RecordStoreTest : public ::testing::Test {
protected:
    static LookupResult Locate(int create, const std::string& machine, const std::string& material,
                               int type = 130, int show = 1) {
        return LocateConditionFile(LookupRequest{create, show, type, machine, material, "", 0, 0});
    }
    static int Status(int create, const std::string& machine, const std::string& material,
                      int type = 130, int show = 1) {
        return Locate(create, machine, material, type, show).status;
    }
    std::filesystem::path Data(const std::string& name) const {
        return install.DataFolder() / name;
    }
    bool FolderEmpty() const { return std::filesystem::is_empty(install.DataFolder()); }

    testing::TempInstallation install;
    testing::MessageRecorder messages;
};

TEST_F(RecordStoreTest, RegistrationWritesExactRecordsFoundAgainWithoutCase) {
    const LookupResult found = Locate(1, "MC01", "SPCC1.6");
    ASSERT_EQ(found.status, 0);
    EXPECT_EQ(found.path, Data("MC01-SPCC1.6.CUT").string());
    EXPECT_FALSE(std::filesystem::exists(found.path));
    EXPECT_TRUE(messages.Ids().empty());
    // Look-up only needs the template file as well.
    EXPECT_EQ(Status(0, "MC01", "SPCC1.6"), 100);
    EXPECT_EQ(messages.Ids(), Ids{"202"});
    WriteFile(found.path, "###NCSTART\n");
    EXPECT_EQ(Locate(0, "MC01", "SPCC1.6").path, found.path);
    // The records keep their own case and name the file.
    EXPECT_EQ(Locate(1, "mc01", "spcc1.6").path, found.path);
    // A second type number shares the material list.
    EXPECT_EQ(Locate(1, "MC01", "SPCC1.6", 131).path, found.path);
    EXPECT_EQ(ReadFile(Data("Othmcn.dat")),
              IndexLine("130", "MC01", "MC01.__1") + IndexLine("131", "MC01", "MC01.__1"));
    EXPECT_EQ(ReadFile(Data("MC01.__1")), ListLine("SPCC1.6", "MC01-SPCC1.6.CUT"));
}

TEST_F(RecordStoreTest, LookUpOnlyReportsWhatIsMissingAndWritesNothing) {
    EXPECT_EQ(Status(0, "MC01", "SPCC", 130, 0), 100);
    EXPECT_TRUE(messages.Ids().empty());
    EXPECT_TRUE(FolderEmpty());
    ASSERT_EQ(Status(1, "MC01", "SPCC"), 0);
    const std::string index = ReadFile(Data("Othmcn.dat"));
    const std::string list = ReadFile(Data("MC01.__1"));
    messages.Clear();
    // Unknown machine, unknown type number, unknown material.
    EXPECT_EQ(Status(0, "MC02", "SPCC"), 100);
    EXPECT_EQ(Status(0, "MC01", "SPCC", 131), 100);
    EXPECT_EQ(Status(0, "MC01", "SS400"), 100);
    EXPECT_EQ(messages.Ids(), (Ids{"202", "202", "202"}));
    EXPECT_EQ(ReadFile(Data("Othmcn.dat")), index);
    EXPECT_EQ(ReadFile(Data("MC01.__1")), list);
    // A machine record whose list file is gone.
    std::filesystem::remove(Data("MC01.__1"));
    EXPECT_EQ(Status(0, "MC01", "SPCC"), 100);
}

TEST_F(RecordStoreTest, MissingDataRootOrUnwritableIndexIsSystemError) {
    // A folder where the index should be: it can be neither read nor created.
    std::filesystem::create_directory(Data("Othmcn.dat"));
    EXPECT_EQ(Status(1, "MC01", "SPCC"), 999);
    EXPECT_EQ(Status(0, "MC01", "SPCC", 130, 0), 100);
    EXPECT_FALSE(std::filesystem::exists(Data("MC01.__1")));
    std::filesystem::remove(Data("Othmcn.dat"));
    messages.Clear();
    install.WriteRegistry("");
    EXPECT_EQ(Status(1, "MC01", "SPCC", 130, 1), 999);
    EXPECT_EQ(Status(1, "MC01", "SPCC", 130, 0), 999);
    EXPECT_EQ(messages.Ids(), Ids{"201"});
    EXPECT_TRUE(FolderEmpty());
}

TEST_F(RecordStoreTest, MachineNameLengthLimit) {
    const std::string fifty(50, 'A');
    const std::string fiftyOne(51, 'B');
    EXPECT_EQ(Status(1, fiftyOne, "SPCC"), 101);
    EXPECT_EQ(Status(0, fiftyOne, "SPCC"), 100);
    EXPECT_EQ(messages.Ids(), (Ids{"203", "202"}));
    EXPECT_TRUE(FolderEmpty());
    ASSERT_EQ(Status(1, fifty, "SPCC"), 0);
    // With an index present the 51-byte name is still refused, nothing added.
    EXPECT_EQ(Status(1, fiftyOne, "SPCC"), 101);
    EXPECT_EQ(ReadFile(Data("Othmcn.dat")), IndexLine("130", fifty, fifty + ".__1"));
    WriteFile(Data(fifty + "-SPCC.CUT"), "");
    EXPECT_EQ(Status(0, fifty, "SPCC"), 0);
}

TEST_F(RecordStoreTest, NamesThatCannotNameTheirFilesOrLeaveTheFolderAreRefused) {
    struct Row {
        std::string machine, material;
        int lookup;  // registration always gives 999
    };
    const Row rows[] = {
        {"", "SPCC", 100},
        {"MC01", "", 100},
        {std::string(50, 'A'), std::string(46, 'M'), 100},  // template name over 100
        {"../MC01", "SPCC", 999},
        {"MC\\01", "SPCC", 999},
        {"MC01", "a/b", 999},
        {"MC01", "..\\x", 999},
        {"MC\n01", "SPCC", 999},
        {"MC01", "SP\rCC", 999},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.machine + "|" + row.material);
        messages.Clear();
        EXPECT_EQ(Status(1, row.machine, row.material), 999);
        EXPECT_EQ(Status(0, row.machine, row.material), row.lookup);
        if (row.lookup == 999) {
            EXPECT_TRUE(messages.Ids().empty());
        }
        EXPECT_TRUE(FolderEmpty());
    }
    // The widest template name that reads back whole is accepted.
    EXPECT_EQ(Status(1, std::string(50, 'A'), std::string(45, 'M')), 0);
}

TEST_F(RecordStoreTest, NameWithASpaceIsRegisteredAgainOnEveryCall) {
    // Written in full, read back cut at the space: never found again.
    EXPECT_EQ(Status(1, "MC 01", "SPCC"), 0);
    EXPECT_EQ(Status(1, "MC 01", "SPCC"), 0);
    EXPECT_EQ(Status(0, "MC 01", "SPCC"), 100);
    EXPECT_EQ(ReadFile(Data("Othmcn.dat")),
              IndexLine("130", "MC 01", "MC 01.__1") + IndexLine("130", "MC 01", "MC 01.__1"));
    // A material name wider than its field shifts the rest of its line.
    EXPECT_EQ(Status(1, "MC02", std::string(51, 'M')), 0);
    EXPECT_EQ(ReadFile(Data("MC02.__1")),
              ListLine(std::string(51, 'M'), "MC02-" + std::string(51, 'M') + ".CUT"));
}

TEST_F(RecordStoreTest, ShiftJisTrailByteIsNoSeparator) {
    const char* previous = std::getenv("LC_ALL");
    const std::optional<std::string> saved =
        previous ? std::optional<std::string>(previous) : std::nullopt;
    ::setenv("LC_ALL", "ja_JP.UTF-8", 1);
    // 0x95 0x5C is one Shift-JIS character; a lone 0x5C still separates.
    const std::string japanese = "MC\x95\x5C";
    const int accepted = Status(1, japanese, "SPCC");
    const int refused = Status(1, "MC\\", "SPCC");
    saved ? ::setenv("LC_ALL", saved->c_str(), 1) : ::unsetenv("LC_ALL");
    EXPECT_EQ(accepted, 0);
    EXPECT_EQ(refused, 999);
    EXPECT_TRUE(std::filesystem::exists(Data(japanese + ".__1")));
}

TEST_F(RecordStoreTest, ReadsRecordsByColumnAndWindowsLineEnds) {
    std::string line = IndexLine("130", "MC01", "OTHER.LST");
    line.insert(line.size() - 1, "\r");
    WriteFile(Data("Othmcn.dat"), line);
    WriteFile(Data("OTHER.LST"), ListLine("SPCC", "X.CUT"));
    WriteFile(Data("X.CUT"), "");
    EXPECT_EQ(Locate(0, "MC01", "SPCC").path, Data("X.CUT").string());
}

TEST_F(RecordStoreTest, UpgradesOldFilesAndLeavesCurrentAndMissingOnesAlone) {
    WriteFile(Data("Othmcn.dat"),
              "130MC01    MC01.__1    \n131MC02    MC02.__1\n"
              "132        NAMELESS.__1\n133MC04    MC04.__1    \n");
    WriteFile(Data("MC01.__1"),
              "SPCC      1.6MC01SPCC.CUT\n                   X.CUT\nSUS304   10.0MC01SUS.CUT \n");
    WriteFile(Data("MC01SPCC.CUT"), "");
    const LookupResult found = Locate(0, "MC01", "SPCC1.6");
    EXPECT_EQ(found.status, 0);
    EXPECT_EQ(found.path, Data("MC01SPCC.CUT").string());
    // The old table ended at its first record without a machine name.
    EXPECT_EQ(ReadFile(Data("Othmcn.dat")),
              IndexLine("130", "MC01", "MC01.__1") + IndexLine("131", "MC02", "MC02.__1"));
    // Materials without a name are skipped; the number joins the name.
    EXPECT_EQ(ReadFile(Data("MC01.__1")),
              ListLine("SPCC1.6  ", "MC01SPCC.CUT") + ListLine("SUS30410.0", "MC01SUS.CUT"));

    // Only the first line decides.
    const std::string mixed = IndexLine("130", "MC01", "MC01.__1") + "131MC02    MC02.__1    \n";
    WriteFile(Data("Othmcn.dat"), mixed);
    UpgradeMachineIndex(Data("Othmcn.dat"));
    EXPECT_EQ(ReadFile(Data("Othmcn.dat")), mixed);
    // A current file whose first line was blanked keeps its records.
    const std::string damaged = "\n" + IndexLine("130", "MC01", "MC01.__1");
    WriteFile(Data("Othmcn.dat"), damaged);
    UpgradeMachineIndex(Data("Othmcn.dat"));
    EXPECT_EQ(ReadFile(Data("Othmcn.dat")), damaged);
    WriteFile(Data("empty.__1"), "");
    UpgradeMaterialList(Data("empty.__1"));
    EXPECT_EQ(ReadFile(Data("empty.__1")), "");
    UpgradeMaterialList(Data("missing.__1"));
    EXPECT_FALSE(std::filesystem::exists(Data("missing.__1")));
}

}  // namespace
}  // namespace quillet::othmac
