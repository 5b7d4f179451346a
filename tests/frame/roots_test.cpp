// Installation roots from the registry file (only a string value that fits
// the 500-byte buffer counts), the folders below them, path composition at
// the 499-character edge and the checked copy into the export buffers.
#include <gtest/gtest.h>

#include <string>

#include "frame/roots.h"
#include "platform/paths.h"
#include "support/temp_install.h"

namespace quillet::frame {
namespace {

TEST(RootsTest, OnlyAStringValueThatFitsCounts) {
    testing::TempInstallation installation;
    EXPECT_EQ(DataRoot(), installation.DataRoot());
    EXPECT_EQ(SystemRoot(), installation.SystemRoot());
    EXPECT_EQ(DataFolder(), installation.DataRoot() + "data/Othmcn");
    EXPECT_EQ(WorkingFolder(), installation.SystemRoot() + "TEMP");

    const std::string k =
        "[HKEY_LOCAL_MACHINE\\Software\\VELDNetwork\\COMMON\\SystemInformation]\n";
    const std::string root500 = "/" + std::string(498, 'a') + "/";
    for (const std::string& body : {
             k + "\"ParentComputerRoot\"=hex(2):2f,00,00,00\n",  // expandable string
             k + "\"ParentComputerRoot\"=dword:00000001\n", k + "\"ParentComputerRoot\"=hex:2f\n",
             k + "\"Other\"=\"/x/\"\n",
             std::string("[HKEY_LOCAL_MACHINE\\Software\\Other]\n\"ParentComputerRoot\"=\"/x/\"\n"),
             k + "\"ParentComputerRoot\"=\"" + root500 + "\"\n",  // 500 bytes with its NUL
             k + "\"ParentComputerRoot\"=\"\"\n",                 // empty: no root
             k + "\"ParentComputerRoot\"=\"./\"\n",               // relative: no root
             std::string(),                                       // no registry file at all
         }) {
        SCOPED_TRACE(body);
        body.empty() ? (void)std::filesystem::remove(installation.RegistryFile())
                     : installation.WriteRegistry(body);
        EXPECT_EQ(DataRoot(), std::nullopt);
        EXPECT_EQ(DataFolder(), std::nullopt);
    }
    const std::string root499 = root500.substr(0, 498) + "/";
    installation.WriteRegistry(k + "\"ParentComputerRoot\"=\"" + root499 + "\"\n");
    EXPECT_EQ(DataRoot(), root499);
    EXPECT_EQ(DataFolder(), std::nullopt);  // 510 characters
}

TEST(RootsTest, PathsAndBuffersStopAt499Characters) {
    const std::string root(480, 'r');
    EXPECT_EQ(DataFolderOf(root + "/Othmcn.")->size(), 499u);
    EXPECT_EQ(DataFolderOf(root + "/Othmcn.d"), std::nullopt);
    EXPECT_EQ(WorkingFolderOf(std::string(495, 's'))->size(), 499u);
    char buffer[platform::kPathBufferSize] = "x";
    EXPECT_FALSE(platform::CopyToBuffer(std::string(500, 'a'), buffer, sizeof buffer));
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_TRUE(platform::CopyToBuffer(std::string(499, 'a'), buffer, sizeof buffer));
    EXPECT_EQ(buffer[499], '\0');
    EXPECT_EQ(platform::BoundedLength(std::string(600, 'a').c_str(), 499), 500u);
}

}  // namespace
}  // namespace quillet::frame
