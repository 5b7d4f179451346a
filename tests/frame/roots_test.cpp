// Installation roots from the registry file (only a string value that fits
// the 500-byte buffer counts), path composition at the 499-character edge
// and the checked copy into the export buffers.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "frame/roots.h"
#include "platform/paths.h"
#include "support/temp_install.h"

namespace quillet::frame {
namespace {

constexpr const char* kKeyLine =
    "[HKEY_LOCAL_MACHINE\\Software\\VELDNetwork\\COMMON\\SystemInformation]\n";

TEST(RootsTest, OnlyAStringValueThatFitsCounts) {
    testing::TempInstallation installation;
    char data[platform::kPathBufferSize], system[platform::kPathBufferSize];
    ASSERT_EQ(ReadDataRoot(data), 1);
    ASSERT_EQ(ReadSystemRoot(system), 1);
    EXPECT_EQ(std::string(data), installation.DataRoot());
    EXPECT_EQ(std::string(system), installation.SystemRoot());
    EXPECT_EQ(DataFolder(), installation.DataRoot() + "data/Othmcn");
    EXPECT_EQ(WorkingFolder(), installation.SystemRoot() + "TEMP");

    const std::string k = kKeyLine, root500 = "/" + std::string(498, 'a') + "/";
    const std::string rows[] = {
        k + "\"ParentComputerRoot\"=hex(2):2f,00,00,00\n",  // expandable string
        k + "\"ParentComputerRoot\"=dword:00000001\n",
        k + "\"ParentComputerRoot\"=hex:2f\n",
        k + "\"Other\"=\"/x/\"\n",
        "[HKEY_LOCAL_MACHINE\\Software\\Other]\n\"ParentComputerRoot\"=\"/x/\"\n",
        k + "\"ParentComputerRoot\"=\"" + root500 + "\"\n",  // 500 bytes with its NUL do not fit
        "",                                                  // no registry file at all
    };
    for (const std::string& body : rows) {
        SCOPED_TRACE(body);
        body.empty() ? (void)std::filesystem::remove(installation.RegistryFile())
                     : installation.WriteRegistry(body);
        std::fill(std::begin(data), std::end(data), 'x');
        EXPECT_EQ(ReadDataRoot(data), 0);
        EXPECT_TRUE(std::all_of(std::begin(data), std::end(data), [](char c) { return c == 'x'; }));
        EXPECT_FALSE(DataFolder().has_value());
    }
    installation.WriteRegistry(k + "\"ParentComputerRoot\"=\"" + root500.substr(1) + "\"\n");
    ASSERT_EQ(ReadDataRoot(data), 1);
    EXPECT_EQ(std::string(data), root500.substr(1));
}

TEST(RootsTest, PathsAndBuffersStopAt499Characters) {
    const std::string root(480, 'r');
    EXPECT_EQ(platform::ComposePath(root, {"data/Othmcn", "/Othmcn."})->size(), 499u);
    EXPECT_FALSE(platform::ComposePath(root, {"data/Othmcn", "/Othmcn.d"}).has_value());
    char buffer[platform::kPathBufferSize] = "x";
    EXPECT_FALSE(platform::CopyToBuffer(std::string(500, 'a'), buffer, sizeof buffer));
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_TRUE(platform::CopyToBuffer(std::string(499, 'a'), buffer, sizeof buffer));
    EXPECT_EQ(buffer[499], '\0');
    EXPECT_EQ(platform::BoundedLength(std::string(600, 'a').c_str(), 499), 500u);
}

}  // namespace
}  // namespace quillet::frame
