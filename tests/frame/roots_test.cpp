// Installation roots from the registry file: only a string value counts, and
// nothing but a value that fits the 500-byte buffer is copied.
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

struct Buffer {
    char bytes[platform::kPathBufferSize];
    Buffer() { std::fill(std::begin(bytes), std::end(bytes), 'x'); }
    bool Untouched() const {
        return std::all_of(std::begin(bytes), std::end(bytes), [](char c) { return c == 'x'; });
    }
};

TEST(RootsTest, ReadsBothRootsOfATemporaryInstallation) {
    testing::TempInstallation installation;
    Buffer data, system;
    ASSERT_EQ(ReadDataRoot(data.bytes), 1);
    ASSERT_EQ(ReadSystemRoot(system.bytes), 1);
    EXPECT_EQ(std::string(data.bytes), installation.DataRoot());
    EXPECT_EQ(std::string(system.bytes), installation.SystemRoot());
    EXPECT_EQ(DataFolder(), installation.DataRoot() + "data/Othmcn");
    EXPECT_EQ(WorkingFolder(), installation.SystemRoot() + "TEMP");
}

TEST(RootsTest, OnlyAStringValueCounts) {
    testing::TempInstallation installation;
    const struct {
        const char* label;
        std::string body;
    } rows[] = {
        {"expand string", std::string(kKeyLine) + "\"ParentComputerRoot\"=hex(2):2f,00,00,00\n"
                                                  "\"VELDSystemRoot\"=hex(2):2f,00,00,00\n"},
        {"dword", std::string(kKeyLine) +
                      "\"ParentComputerRoot\"=dword:00000001\n\"VELDSystemRoot\"=dword:1\n"},
        {"binary",
         std::string(kKeyLine) + "\"ParentComputerRoot\"=hex:2f\n\"VELDSystemRoot\"=hex:2f\n"},
        {"missing values", std::string(kKeyLine) + "\"Other\"=\"/x/\"\n"},
        {"missing key",
         "[HKEY_LOCAL_MACHINE\\Software\\Other]\n\"ParentComputerRoot\"=\"/x/\"\n"
         "\"VELDSystemRoot\"=\"/x/\"\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        installation.WriteRegistry(row.body);
        Buffer data, system;
        EXPECT_EQ(ReadDataRoot(data.bytes), 0);
        EXPECT_EQ(ReadSystemRoot(system.bytes), 0);
        EXPECT_TRUE(data.Untouched());
        EXPECT_TRUE(system.Untouched());
        EXPECT_FALSE(DataFolder().has_value());
    }
}

TEST(RootsTest, MissingRegistryFileGivesZero) {
    testing::TempInstallation installation;
    std::filesystem::remove(installation.RegistryFile());
    Buffer data;
    EXPECT_EQ(ReadDataRoot(data.bytes), 0);
    EXPECT_TRUE(data.Untouched());
}

TEST(RootsTest, AcceptsA499ByteValueAndRefuses500) {
    testing::TempInstallation installation;
    const std::string root499 = "/" + std::string(497, 'a') + "/";
    const std::string root500 = "/" + std::string(498, 'a') + "/";
    installation.WriteRegistry(std::string(kKeyLine) + "\"ParentComputerRoot\"=\"" + root499 +
                               "\"\n\"VELDSystemRoot\"=\"" + root500 + "\"\n");
    Buffer data, system;
    ASSERT_EQ(ReadDataRoot(data.bytes), 1);
    EXPECT_EQ(std::string(data.bytes), root499);
    EXPECT_EQ(ReadSystemRoot(system.bytes), 0);
    EXPECT_TRUE(system.Untouched());
    EXPECT_FALSE(SystemRoot().has_value());
}

}  // namespace
}  // namespace quillet::frame
