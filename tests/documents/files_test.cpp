#include "platform/files.h"

#include "docs_test_util.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(PlatformFiles, MakeDirectoryAcceptsAnExistingFolderOnly)
{
    kgiTestDir dir;
    EXPECT_TRUE(platform::makeDirectory(dir.file("a")));
    EXPECT_TRUE(platform::makeDirectory(dir.file("a")));
    EXPECT_TRUE(platform::isDirectory(dir.file("a")));
    writeText(dir.file("f"), "x");
    EXPECT_FALSE(platform::makeDirectory(dir.file("f")));
    EXPECT_FALSE(platform::makeDirectory(dir.file("missing/b")));
    EXPECT_FALSE(platform::makeDirectory(""));
    EXPECT_TRUE(platform::pathExists(dir.file("f")));
    EXPECT_FALSE(platform::isDirectory(dir.file("f")));
}

TEST(PlatformFiles, ReplaceFileTouchesTheTargetOnlyOnCommit)
{
    kgiTestDir dir;
    const std::string target = dir.file("t.txt");
    writeText(target, "old");
    chmod(target.c_str(), 0640);
    {
        platform::ReplaceFile f;
        ASSERT_TRUE(f.open(target));
        std::fputs("new", f.stream());
        EXPECT_EQ(readText(target), "old");
        EXPECT_EQ(entryCount(dir.path()), 2);
    } // dropped without commit
    EXPECT_EQ(readText(target), "old");
    EXPECT_EQ(entryCount(dir.path()), 1);

    platform::ReplaceFile f;
    ASSERT_TRUE(f.open(target));
    std::fputs("new", f.stream());
    ASSERT_TRUE(f.commit());
    EXPECT_EQ(readText(target), "new");
    EXPECT_EQ(entryCount(dir.path()), 1);
    struct stat st;
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "the replaced file keeps its permissions";
    EXPECT_FALSE(f.commit()) << "nothing left to commit";
    EXPECT_FALSE(f.open(dir.file("missing/t.txt")));
    EXPECT_NE(f.lastError(), 0);
}

TEST(PlatformFiles, CopyIsByteExactAndTellsWhichSideFailed)
{
    kgiTestDir dir;
    const std::string bytes("MZ\0\x1a\r\n\xff\x80 end", 11);
    writeText(dir.file("src.kmd"), bytes);
    EXPECT_EQ(platform::copyFile(dir.file("src.kmd"), dir.file("dst.kmd")), platform::CopyResult::Ok);
    EXPECT_EQ(readText(dir.file("dst.kmd")), bytes);
    EXPECT_EQ(platform::copyFile(dir.file("none"), dir.file("x")), platform::CopyResult::SourceFailed);
    EXPECT_EQ(platform::copyFile(dir.path(), dir.file("x")), platform::CopyResult::SourceFailed);
    EXPECT_EQ(platform::copyFile(dir.file("src.kmd"), dir.file("no/x")),
              platform::CopyResult::TargetFailed);
}
