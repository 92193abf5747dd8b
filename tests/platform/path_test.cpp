#include "platform/path.h"

#include <gtest/gtest.h>

TEST(PlatformPath, SplitsAtEitherSeparatorAndJoinsWithSlash)
{
    struct Case { const char* path; std::string::size_type last; };
    const Case cases[] = {
        {"a/b\\c.txt", 3}, {"a\\b/c.txt", 3}, {"file", std::string::npos}, {"/", 0}, {"", std::string::npos},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::lastPathSeparator(c.path), c.last) << c.path;
    EXPECT_EQ(platform::joinPath("dir", "file.bmp"), "dir/file.bmp");
    EXPECT_EQ(platform::joinPath("dir/", "x"), "dir//x");
    EXPECT_EQ(platform::toNativePath("a\\b\\c"), "a/b/c");
}
