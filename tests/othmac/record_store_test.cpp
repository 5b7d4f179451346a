// The record store: files byte for byte, look-up and registration results,
// conversion of old files, refused names, locks never held across a message.
#include "othmac/record_store.h"

#include <gtest/gtest.h>

#include <string>

#include "support/message_recorder.h"
#include "support/temp_install.h"

namespace quillet::othmac {
namespace {

using testing::ReadFile;
using testing::WriteFile;
using Ids = std::vector<std::string>;
using enum Outcome;
namespace fs = std::filesystem;

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
    static LookupResult Locate(bool create, const std::string& machine, const std::string& material,
                               int type = 130, bool show = true) {
        return LocateConditionFile(LookupRequest{create, show, type, machine, material, "", 0, 0});
    }
    static Outcome Status(bool create, const std::string& machine, const std::string& material,
                          int type = 130, bool show = true) {
        return Locate(create, machine, material, type, show).status;
    }
    fs::path Data(const std::string& name) const { return install.DataFolder() / name; }
    bool FolderEmpty() const { return fs::is_empty(install.DataFolder()); }

    testing::TempInstallation install;
    testing::MessageRecorder messages;
};

TEST_F(RecordStoreTest, RegistrationWritesExactRecordsFoundAgainWithoutCase) {
    const LookupResult found = Locate(1, "MC01", "SPCC1.6");
    ASSERT_EQ(found.status, Done);
    EXPECT_EQ(found.path, Data("MC01-SPCC1.6.CUT").string());
    EXPECT_FALSE(fs::exists(found.path));
    EXPECT_TRUE(messages.Ids().empty());
    // Look-up only needs the template file as well.
    EXPECT_EQ(Status(0, "MC01", "SPCC1.6"), NotSetUp);
    WriteFile(found.path, "###NCSTART\n");
    EXPECT_EQ(Locate(0, "MC01", "SPCC1.6").path, found.path);
    // The records keep their own case; a second type number shares the list.
    EXPECT_EQ(Locate(1, "mc01", "spcc1.6").path, found.path);
    EXPECT_EQ(Locate(1, "MC01", "SPCC1.6", 131).path, found.path);
    EXPECT_EQ(ReadFile(Data("Othmcn.dat")),
              IndexLine("130", "MC01", "MC01.__1") + IndexLine("131", "MC01", "MC01.__1"));
    EXPECT_EQ(ReadFile(Data("MC01.__1")), ListLine("SPCC1.6", "MC01-SPCC1.6.CUT"));
    // A last line without its line break is ended before the next record.
    WriteFile(Data("MC01.__1"), ListLine("SPCC1.6", "MC01-SPCC1.6.CUT").substr(0, 157));
    ASSERT_EQ(Status(1, "MC01", "SS400"), Done);
    EXPECT_EQ(ReadFile(Data("MC01.__1")),
              ListLine("SPCC1.6", "MC01-SPCC1.6.CUT") + ListLine("SS400", "MC01-SS400.CUT"));
    // Windows line ends; records read by column.
    WriteFile(Data("Othmcn.dat"), IndexLine("130", "MC01", "OTHER.LST").insert(157, "\r"));
    WriteFile(Data("OTHER.LST"), ListLine("SPCC", "X.CUT"));
    WriteFile(Data("X.CUT"), "");
    EXPECT_EQ(Locate(0, "MC01", "SPCC").path, Data("X.CUT").string());
}

TEST_F(RecordStoreTest, LookUpOnlyReportsWhatIsMissingWritesNothingAndHoldsNoLock) {
    EXPECT_EQ(Status(0, "MC01", "SPCC", 130, 0), NotSetUp);
    EXPECT_TRUE(messages.Ids().empty());
    EXPECT_TRUE(FolderEmpty());
    ASSERT_EQ(Status(1, "MC01", "SPCC"), Done);
    const std::string index = ReadFile(Data("Othmcn.dat"));
    const std::string list = ReadFile(Data("MC01.__1"));
    // While a message waits for the user no lock is held: another
    // workstation's look-up and registration go on.
    int shown = 0;
    messages.whileShown = [&](const platform::MessageRequest&) {
        ++shown;
        EXPECT_TRUE(testing::LockFree(Data("Othmcn.dat")));
        EXPECT_TRUE(testing::LockFree(Data("MC01.__1")));
        EXPECT_TRUE(testing::LockFree(install.DataFolder()));
    };
    // Unknown machine, unknown type number, unknown material, too long.
    EXPECT_EQ(Status(0, "MC02", "SPCC"), NotSetUp);
    EXPECT_EQ(Status(0, "MC01", "SPCC", 131), NotSetUp);
    EXPECT_EQ(Status(0, "MC01", "SS400"), NotSetUp);
    EXPECT_EQ(Status(1, std::string(51, 'B'), "SPCC"), NameTooLong);
    EXPECT_EQ(shown, 4);
    EXPECT_EQ(messages.Ids(), (Ids{"202", "202", "202", "203"}));
    EXPECT_EQ(ReadFile(Data("Othmcn.dat")), index);
    EXPECT_EQ(ReadFile(Data("MC01.__1")), list);
    // A machine record whose list file is gone.
    fs::remove(Data("MC01.__1"));
    EXPECT_EQ(Status(0, "MC01", "SPCC"), NotSetUp);
}

TEST_F(RecordStoreTest, MissingDataRootIsSystemErrorWithMessage201WhenAskedFor) {
    install.WriteRegistry("");
    EXPECT_EQ(Status(1, "MC01", "SPCC", 130, 1), SystemError);
    EXPECT_EQ(Status(1, "MC01", "SPCC", 130, 0), SystemError);
    EXPECT_EQ(messages.Ids(), Ids{"201"});
    EXPECT_TRUE(FolderEmpty());
}

TEST_F(RecordStoreTest, NameLimitsApplyOnlyWhereARecordIsWritten) {
    const std::string fifty(50, 'A'), fiftyOne(51, 'B');
    EXPECT_EQ(Status(1, fiftyOne, "SPCC"), NameTooLong);
    EXPECT_EQ(Status(0, fiftyOne, "SPCC"), NotSetUp);
    EXPECT_TRUE(FolderEmpty());
    ASSERT_EQ(Status(1, fifty, "SPCC"), Done);
    EXPECT_EQ(Status(1, fiftyOne, "SPCC"), NameTooLong);
    EXPECT_EQ(ReadFile(Data("Othmcn.dat")), IndexLine("130", fifty, fifty + ".__1"));
    // The widest template name that reads back whole is accepted.
    EXPECT_EQ(Status(1, fifty, std::string(45, 'M')), Done);
    // A pair of 48-byte names registered by another workstation: the record
    // holds the template name in full, read back cut at 100 columns. It
    // opens with create 1 exactly as with create 0.
    const std::string machine(48, 'C'), material(48, 'D');
    const std::string cut = (machine + "-" + material + ".CUT").substr(0, 100);
    WriteFile(Data("Othmcn.dat"), IndexLine("131", machine, machine + ".__1"));
    WriteFile(Data(machine + ".__1"), ListLine(material, machine + "-" + material + ".CUT"));
    WriteFile(Data(cut), "");
    const std::string before = ReadFile(Data(machine + ".__1"));
    EXPECT_EQ(Locate(0, machine, material, 131).path, Data(cut).string());
    EXPECT_EQ(Locate(1, machine, material, 131).path, Data(cut).string());
    EXPECT_EQ(ReadFile(Data(machine + ".__1")), before);
    // Under another type number only the machine record is written.
    EXPECT_EQ(Locate(1, machine, material, 130).path, Data(cut).string());
    EXPECT_EQ(ReadFile(Data("Othmcn.dat")), IndexLine("131", machine, machine + ".__1") +
                                                IndexLine("130", machine, machine + ".__1"));
    // A new material of that width is still refused, nothing written.
    EXPECT_EQ(Status(1, machine, std::string(48, 'E'), 131), SystemError);
    EXPECT_EQ(ReadFile(Data(machine + ".__1")), before);
}

TEST_F(RecordStoreTest, NameWithASpaceIsRegisteredAgainOnEveryCall) {
    // Written in full, read back cut at the space: never found again.
    EXPECT_EQ(Status(1, "MC 01", "SPCC"), Done);
    EXPECT_EQ(Status(1, "MC 01", "SPCC"), Done);
    EXPECT_EQ(Status(0, "MC 01", "SPCC"), NotSetUp);
    EXPECT_EQ(ReadFile(Data("Othmcn.dat")),
              IndexLine("130", "MC 01", "MC 01.__1") + IndexLine("130", "MC 01", "MC 01.__1"));
    // A material name wider than its field shifts the rest of its line.
    EXPECT_EQ(Status(1, "MC02", std::string(51, 'M')), Done);
    EXPECT_EQ(ReadFile(Data("MC02.__1")),
              ListLine(std::string(51, 'M'), "MC02-" + std::string(51, 'M') + ".CUT"));
}

TEST_F(RecordStoreTest, ConvertsOldFilesKeepingEveryValidRecord) {
    const std::string converted = IndexLine("130", "MC01", "MC01.__1") +
                                  IndexLine("131", "MC02", "MC02.__1") +
                                  IndexLine("133", "MC04", "MC04.__1");
    struct Row {
        const char* name;
        std::string old;
        std::string expected;
    } rows[] = {
        // Records without a name (blank, or a name field starting with a
        // space) are skipped, never ended on.
        {"nameless record",
         "130MC01    MC01.__1    \n131MC02    MC02.__1\n"
         "132        NAMELESS.__1\n133MC04    MC04.__1    \n",
         converted},
        {"blank first line, CR LF",
         "\r\n130MC01    MC01.__1\r\n131MC02    MC02.__1\r\n"
         "133 MC03   MC03.__1\r\n133MC04    MC04.__1\r\n",
         converted},
        // Only the first line decides; a current file whose first line was
        // blanked keeps its records.
        {"mixed", IndexLine("130", "MC01", "MC01.__1") + "131MC02    MC02.__1    \n", ""},
        {"blanked current", "\n" + IndexLine("130", "MC01", "MC01.__1"), ""},
        {"empty", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        WriteFile(Data("Othmcn.dat"), row.old);
        EXPECT_TRUE(UpgradeMachineIndex(Data("Othmcn.dat")));
        EXPECT_EQ(ReadFile(Data("Othmcn.dat")), row.expected.empty() ? row.old : row.expected);
    }
    EXPECT_TRUE(UpgradeMaterialList(Data("missing.__1")));
    EXPECT_FALSE(fs::exists(Data("missing.__1")));

    // A look-up with create 0 converts both files and finds the old names.
    WriteFile(Data("Othmcn.dat"), rows[1].old);
    WriteFile(Data("MC01.__1"),
              "SPCC      1.6MC01SPCC.CUT\n                   X.CUT\nSUS304   10.0MC01SUS.CUT \n");
    WriteFile(Data("MC01SPCC.CUT"), "");
    EXPECT_EQ(Locate(0, "MC01", "SPCC1.6").path, Data("MC01SPCC.CUT").string());
    EXPECT_EQ(ReadFile(Data("Othmcn.dat")), converted);
    // The number joins the material name.
    EXPECT_EQ(ReadFile(Data("MC01.__1")),
              ListLine("SPCC1.6  ", "MC01SPCC.CUT") + ListLine("SUS30410.0", "MC01SUS.CUT"));
}

}  // namespace
}  // namespace quillet::othmac
