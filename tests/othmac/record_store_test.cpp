// The record store: files byte for byte, look-up and registration results,
// conversion of old files, refused names and the export's argument checks.
#include "othmac/record_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "support/message_recorder.h"
#include "support/temp_install.h"

namespace quillet::othmac {
namespace {

using testing::MessageRecorder;
using testing::ReadFile;
using testing::TempInstallation;
using testing::WriteFile;

std::string Pad(const std::string& text, std::size_t width) {
    return text + std::string(width - text.size(), ' ');
}

// The golden record lines, spelled out column by column.
std::string IndexLine(const std::string& number, const std::string& machine,
                      const std::string& list) {
    return "[QM700]" + number + Pad(machine, 50) + Pad(list, 100) + "\n";
}
std::string ListLine(const std::string& material, const std::string& templateName) {
    return "[QM700]" + Pad(material, 50) + Pad(templateName, 100) + "\n";
}

LookupRequest Request(int create, const std::string& machine, const std::string& material,
                      int type = 130, int show = 1) {
    LookupRequest r;
    r.create = create;
    r.showMessages = show;
    r.machineTypeNo = type;
    r.machineName = machine;
    r.materialName = material;
    return r;
}

class RecordStoreTest : public ::testing::Test {
protected:
    std::filesystem::path Data(const std::string& name) const {
        return install.DataFolder() / name;
    }
    bool FolderEmpty() const { return std::filesystem::is_empty(install.DataFolder()); }

    TempInstallation install;
    MessageRecorder messages;
};

TEST_F(RecordStoreTest, RegistersOnEmptyFolderAndWritesExactRecords) {
    const LookupResult found = LocateConditionFile(Request(1, "MC01", "SPCC1.6"));
    ASSERT_EQ(found.status, 0);
    EXPECT_EQ(found.path, Data("MC01-SPCC1.6.CUT").string());
    EXPECT_FALSE(std::filesystem::exists(found.path));
    EXPECT_EQ(ReadFile(Data("Othmcn.dat")), IndexLine("130", "MC01", "MC01.__1"));
    EXPECT_EQ(ReadFile(Data("MC01.__1")), ListLine("SPCC1.6", "MC01-SPCC1.6.CUT"));
    EXPECT_TRUE(messages.Ids().empty());

    // Look-up only needs the template file as well.
    EXPECT_EQ(LocateConditionFile(Request(0, "MC01", "SPCC1.6")).status, 100);
    EXPECT_EQ(messages.Ids(), std::vector<std::string>{"202"});
    WriteFile(found.path, "###NCSTART\n");
    const LookupResult again = LocateConditionFile(Request(0, "MC01", "SPCC1.6"));
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.path, found.path);
    // Nothing more was registered.
    EXPECT_EQ(ReadFile(Data("Othmcn.dat")), IndexLine("130", "MC01", "MC01.__1"));
    EXPECT_EQ(ReadFile(Data("MC01.__1")), ListLine("SPCC1.6", "MC01-SPCC1.6.CUT"));
}

TEST_F(RecordStoreTest, LookUpOnlyReportsWhatIsMissingAndWritesNothing) {
    EXPECT_EQ(LocateConditionFile(Request(0, "MC01", "SPCC", 130, 0)).status, 100);
    EXPECT_TRUE(messages.Ids().empty());
    EXPECT_TRUE(FolderEmpty());

    ASSERT_EQ(LocateConditionFile(Request(1, "MC01", "SPCC")).status, 0);
    const std::string index = ReadFile(Data("Othmcn.dat"));
    const std::string list = ReadFile(Data("MC01.__1"));
    messages.Clear();
    // Unknown machine, unknown type number, unknown material.
    EXPECT_EQ(LocateConditionFile(Request(0, "MC02", "SPCC")).status, 100);
    EXPECT_EQ(LocateConditionFile(Request(0, "MC01", "SPCC", 131)).status, 100);
    EXPECT_EQ(LocateConditionFile(Request(0, "MC01", "SS400")).status, 100);
    EXPECT_EQ(messages.Ids(), (std::vector<std::string>{"202", "202", "202"}));
    EXPECT_EQ(ReadFile(Data("Othmcn.dat")), index);
    EXPECT_EQ(ReadFile(Data("MC01.__1")), list);

    // A machine record whose list file is gone.
    std::filesystem::remove(Data("MC01.__1"));
    EXPECT_EQ(LocateConditionFile(Request(0, "MC01", "SPCC")).status, 100);
}

TEST_F(RecordStoreTest, MissingDataRootIsSystemError) {
    install.WriteRegistry("");
    EXPECT_EQ(LocateConditionFile(Request(1, "MC01", "SPCC", 130, 1)).status, 999);
    EXPECT_EQ(LocateConditionFile(Request(1, "MC01", "SPCC", 130, 0)).status, 999);
    EXPECT_EQ(messages.Ids(), std::vector<std::string>{"201"});
    EXPECT_TRUE(FolderEmpty());
}

TEST_F(RecordStoreTest, NamesCompareWithoutAsciiCase) {
    ASSERT_EQ(LocateConditionFile(Request(1, "MC01", "SPCC")).status, 0);
    const LookupResult found = LocateConditionFile(Request(1, "mc01", "spcc"));
    EXPECT_EQ(found.status, 0);
    // The records keep their own case and name the file.
    EXPECT_EQ(found.path, Data("MC01-SPCC.CUT").string());
    EXPECT_EQ(ReadFile(Data("Othmcn.dat")), IndexLine("130", "MC01", "MC01.__1"));
    EXPECT_EQ(ReadFile(Data("MC01.__1")), ListLine("SPCC", "MC01-SPCC.CUT"));
}

TEST_F(RecordStoreTest, MachineNameLengthLimit) {
    const std::string fifty(50, 'A');
    const std::string fiftyOne(51, 'B');
    EXPECT_EQ(LocateConditionFile(Request(1, fiftyOne, "SPCC")).status, 101);
    EXPECT_EQ(LocateConditionFile(Request(0, fiftyOne, "SPCC")).status, 100);
    EXPECT_EQ(messages.Ids(), (std::vector<std::string>{"203", "202"}));
    EXPECT_TRUE(FolderEmpty());

    ASSERT_EQ(LocateConditionFile(Request(1, fifty, "SPCC")).status, 0);
    EXPECT_EQ(ReadFile(Data("Othmcn.dat")), IndexLine("130", fifty, fifty + ".__1"));
    // With an index present the 51-byte name is still refused, nothing added.
    EXPECT_EQ(LocateConditionFile(Request(1, fiftyOne, "SPCC")).status, 101);
    EXPECT_EQ(ReadFile(Data("Othmcn.dat")), IndexLine("130", fifty, fifty + ".__1"));
    WriteFile(Data(fifty + "-SPCC.CUT"), "");
    EXPECT_EQ(LocateConditionFile(Request(0, fifty, "SPCC")).status, 0);
}

TEST_F(RecordStoreTest, RegistrationsThatCouldNotBeFoundAgainAreRefused) {
    struct Row {
        const char* what;
        std::string machine;
        std::string material;
    };
    const Row rows[] = {
        {"empty machine name", "", "SPCC"},
        {"empty material name", "MC01", ""},
        {"space in machine name", "MC 01", "SPCC"},
        {"space in material name", "MC01", "SPCC 1.6"},
        {"material wider than its field", "MC01", std::string(51, 'M')},
        {"template name over 100", std::string(50, 'A'), std::string(46, 'M')},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(LocateConditionFile(Request(1, row.machine, row.material)).status, 999);
        EXPECT_EQ(LocateConditionFile(Request(0, row.machine, row.material)).status, 100);
        EXPECT_TRUE(FolderEmpty());
    }
    // The widest template name that reads back whole is accepted.
    EXPECT_EQ(LocateConditionFile(Request(1, std::string(50, 'A'), std::string(45, 'M'))).status,
              0);
}

TEST_F(RecordStoreTest, TwoTypeNumbersShareOneMaterialList) {
    ASSERT_EQ(LocateConditionFile(Request(1, "MC01", "SPCC", 130)).status, 0);
    const LookupResult second = LocateConditionFile(Request(1, "MC01", "SPCC", 131));
    ASSERT_EQ(second.status, 0);
    EXPECT_EQ(second.path, Data("MC01-SPCC.CUT").string());
    EXPECT_EQ(ReadFile(Data("Othmcn.dat")),
              IndexLine("130", "MC01", "MC01.__1") + IndexLine("131", "MC01", "MC01.__1"));
    EXPECT_EQ(ReadFile(Data("MC01.__1")), ListLine("SPCC", "MC01-SPCC.CUT"));
}

TEST_F(RecordStoreTest, ReadsRecordsByColumnAndWindowsLineEnds) {
    // A record written by a Windows workstation (CR LF) naming a list file
    // of its own choice.
    std::string line = IndexLine("130", "MC01", "OTHER.LST");
    line.insert(line.size() - 1, "\r");
    WriteFile(Data("Othmcn.dat"), line);
    WriteFile(Data("OTHER.LST"), ListLine("SPCC", "X.CUT"));
    WriteFile(Data("X.CUT"), "");
    const LookupResult found = LocateConditionFile(Request(0, "MC01", "SPCC"));
    EXPECT_EQ(found.status, 0);
    EXPECT_EQ(found.path, Data("X.CUT").string());
}

TEST_F(RecordStoreTest, UpgradesOldMachineIndexAndMaterialList) {
    WriteFile(Data("Othmcn.dat"),
              "130MC01    MC01.__1    \n"
              "131MC02    MC02.__1\n"
              "132        NAMELESS.__1\n"
              "133MC04    MC04.__1    \n");
    WriteFile(Data("MC01.__1"),
              "SPCC      1.6MC01SPCC.CUT\n"
              "                   X.CUT\n"
              "SUS304   10.0MC01SUS.CUT \n");
    WriteFile(Data("MC01SPCC.CUT"), "");

    const LookupResult found = LocateConditionFile(Request(0, "MC01", "SPCC1.6"));
    EXPECT_EQ(found.status, 0);
    EXPECT_EQ(found.path, Data("MC01SPCC.CUT").string());
    // The old table ended at its first record without a machine name.
    EXPECT_EQ(ReadFile(Data("Othmcn.dat")),
              IndexLine("130", "MC01", "MC01.__1") + IndexLine("131", "MC02", "MC02.__1"));
    // Materials without a name are skipped; the number joins the name.
    EXPECT_EQ(ReadFile(Data("MC01.__1")),
              ListLine("SPCC1.6  ", "MC01SPCC.CUT") + ListLine("SUS30410.0", "MC01SUS.CUT"));
}

TEST_F(RecordStoreTest, UpgradeLeavesCurrentAndMissingFilesAlone) {
    // Only the first line decides.
    const std::string mixed = IndexLine("130", "MC01", "MC01.__1") + "131MC02    MC02.__1    \n";
    WriteFile(Data("Othmcn.dat"), mixed);
    UpgradeMachineIndex(Data("Othmcn.dat"));
    EXPECT_EQ(ReadFile(Data("Othmcn.dat")), mixed);
    WriteFile(Data("empty.__1"), "");
    UpgradeMaterialList(Data("empty.__1"));
    EXPECT_EQ(ReadFile(Data("empty.__1")), "");
    UpgradeMaterialList(Data("missing.__1"));
    EXPECT_FALSE(std::filesystem::exists(Data("missing.__1")));
}

TEST_F(RecordStoreTest, NamesThatReachOutsideTheDataFolderAreRefused) {
    const std::pair<std::string, std::string> rows[] = {
        {"../MC01", "SPCC"}, {"MC\\01", "SPCC"}, {"MC01", "a/b"},
        {"MC01", "..\\x"},   {"MC\n01", "SPCC"}, {"MC01", "SP\rCC"},
    };
    for (const auto& [machine, material] : rows) {
        SCOPED_TRACE(machine + " " + material);
        EXPECT_EQ(LocateConditionFile(Request(1, machine, material)).status, 999);
        EXPECT_EQ(LocateConditionFile(Request(0, machine, material)).status, 999);
    }
    EXPECT_TRUE(messages.Ids().empty());
    EXPECT_TRUE(FolderEmpty());
}

TEST_F(RecordStoreTest, ShiftJisTrailByteIsNoSeparator) {
    const char* previous = std::getenv("LC_ALL");
    const std::optional<std::string> saved =
        previous ? std::optional<std::string>(previous) : std::nullopt;
    ::setenv("LC_ALL", "ja_JP.UTF-8", 1);
    // 0x95 0x5C is one Shift-JIS character; a lone 0x5C still separates.
    const std::string japanese = "MC\x95\x5C";
    const int accepted = LocateConditionFile(Request(1, japanese, "SPCC")).status;
    const int refused = LocateConditionFile(Request(1, "MC\\", "SPCC")).status;
    if (saved) {
        ::setenv("LC_ALL", saved->c_str(), 1);
    } else {
        ::unsetenv("LC_ALL");
    }
    EXPECT_EQ(accepted, 0);
    EXPECT_EQ(refused, 999);
    EXPECT_TRUE(std::filesystem::exists(Data(japanese + ".__1")));
}

TEST_F(RecordStoreTest, UnwritableIndexIsSystemErrorAndChangesNothing) {
    // A folder where the index should be: it can be neither read nor created.
    std::filesystem::create_directory(Data("Othmcn.dat"));
    EXPECT_EQ(LocateConditionFile(Request(1, "MC01", "SPCC")).status, 999);
    EXPECT_EQ(LocateConditionFile(Request(0, "MC01", "SPCC")).status, 100);
    EXPECT_FALSE(std::filesystem::exists(Data("MC01.__1")));
}

}  // namespace
}  // namespace quillet::othmac
