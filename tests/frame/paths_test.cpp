// Path composition at the 499-character edge and checked buffer copies.
#include <gtest/gtest.h>

#include <string>

#include "platform/paths.h"

namespace quillet::platform {

TEST(PathsTest, ComposesUpTo499CharactersAndRefusesMore) {
    const std::string root(480, 'r');
    EXPECT_EQ(ComposePath(root, {"data/Othmcn", "/Othmcn"})->size(), 498u);
    EXPECT_EQ(ComposePath(root, {"data/Othmcn", "/Othmcn."})->size(), 499u);
    EXPECT_FALSE(ComposePath(root, {"data/Othmcn", "/Othmcn.d"}).has_value());
}

TEST(PathsTest, CopyToBufferKeepsBufferWhenTextDoesNotFit) {
    char buffer[kPathBufferSize];
    std::fill(std::begin(buffer), std::end(buffer), 'x');
    EXPECT_FALSE(CopyToBuffer(std::string(500, 'a'), buffer, sizeof buffer));
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_TRUE(CopyToBuffer(std::string(499, 'a'), buffer, sizeof buffer));
    EXPECT_EQ(buffer[499], '\0');
}

}  // namespace quillet::platform
