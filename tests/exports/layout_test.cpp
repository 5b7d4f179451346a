// The records that cross the export boundary keep their fixed layout, and
// the host string class is one pointer wide.
#include <gtest/gtest.h>

#include <cstddef>

#include "quillet/quillet.h"

TEST(ExportLayoutTest, MachineRecordOffsets) {
    EXPECT_EQ(offsetof(md_machine_inf_, sheetName), 0u);
    EXPECT_EQ(offsetof(md_machine_inf_, machineType), 128u);
    EXPECT_EQ(offsetof(md_machine_inf_, unitMode), 132u);
    EXPECT_EQ(offsetof(md_machine_inf_, clampCount), 136u);
    EXPECT_EQ(offsetof(md_machine_inf_, clampLocations), 144u);
    EXPECT_EQ(offsetof(md_machine_inf_, tableSize), 184u);
    EXPECT_EQ(offsetof(md_machine_inf_, sheetSize), 200u);
    EXPECT_EQ(offsetof(md_machine_inf_, sheetThickness), 216u);
    EXPECT_EQ(offsetof(md_machine_inf_, programmedOffset), 224u);
    EXPECT_EQ(offsetof(md_machine_inf_, partCount), 240u);
}

TEST(ExportLayoutTest, NcRecordAndSpecialSequenceRecord) {
    EXPECT_EQ(sizeof(md_ncg_dat_), 256u);
    EXPECT_EQ(offsetof(md_ncg_dat_, values), 16u);
    EXPECT_EQ(sizeof(CString), sizeof(void*));
    EXPECT_EQ(offsetof(md_ssi_, name), 8u);
    EXPECT_EQ(offsetof(md_ssi_, valueType), 16u);
    EXPECT_EQ(offsetof(md_ssi_, valueCount), 20u);
    EXPECT_EQ(offsetof(md_ssi_all_, count), 99 * sizeof(md_ssi_));
}

TEST(ExportLayoutTest, CStringCopiesItsText) {
    CString a("MC01");
    CString b = a;
    a = "other";
    EXPECT_STREQ(b.GetString(), "MC01");
    EXPECT_STREQ(static_cast<const char*>(a), "other");
    CString empty(nullptr);
    EXPECT_TRUE(empty.IsEmpty());
}
