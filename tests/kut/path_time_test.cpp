#include "kutPath.h"
#include "kutTime.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

TEST(KutPath, JoinsWithSlashAndSplitsAtEitherSeparator)
{
    EXPECT_EQ(kutSeparator(), "/");
    EXPECT_EQ(kutAppendPath("dir", "file.bmp"), "dir/file.bmp");
    EXPECT_EQ(kutPrependPath("dir", "file.bmp"), "dir/file.bmp");
    EXPECT_EQ(kutAppendPath("dir/", "file.bmp"), "dir//file.bmp");
    EXPECT_EQ(kutAppendExt("motion", "kmm"), "motion.kmm");

    struct Case {
        const char* path;
        const char* removePath;
        const char* extractPath;
        const char* getExt;
        const char* removeExt;
    };
    const Case cases[] = {
        {"a/b\\c.txt", "c.txt", "a/b", "txt", "a/b\\c"},
        {"a\\b/c.txt", "c.txt", "a\\b", "txt", "a\\b/c"},
        {"file", "file", "", "", "file"},
        {"model.jpeg", "model.jpeg", "", "jpeg", "model"},
        {"model.html5", "model.html5", "", "", "model"}, // 5 characters: no extension
        {"archive.tar.gz", "archive.tar.gz", "", "gz", "archive.tar"},
        {"name.", "name.", "", "", "name"},
        // A dot in a folder name is not an extension.
        {"a.b\\c", "c", "a.b", "", "a.b\\c"},
        {"take1.2/motion", "motion", "take1.2", "", "take1.2/motion"},
        {"take1.2/motion.kmm", "motion.kmm", "take1.2", "kmm", "take1.2/motion"},
        {"dir/", "", "dir", "", "dir/"},
        {"/", "", "", "", "/"},
        {"", "", "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kutRemovePath(c.path), c.removePath) << c.path;
        EXPECT_EQ(kutExtractPath(c.path), c.extractPath) << c.path;
        EXPECT_EQ(kutGetExt(c.path), c.getExt) << c.path;
        EXPECT_EQ(kutRemoveExt(c.path), c.removeExt) << c.path;
    }
}

TEST(KutTime, DeltaCountsWallTimeFromTheLastDeltaOrReset)
{
    using std::chrono::milliseconds;
    kutGetDeltaTime();
    const float t0 = kutGetTime();
    std::this_thread::sleep_for(milliseconds(100));
    const float d = kutGetDeltaTime();
    EXPECT_GE(d, 0.1f);
    EXPECT_LT(d, 1.0f);
    EXPECT_GE(kutGetTime() - t0, 0.1f);

    // Time before the reset does not count.
    std::this_thread::sleep_for(milliseconds(500));
    kutResetTime();
    std::this_thread::sleep_for(milliseconds(50));
    const float afterReset = kutGetDeltaTime();
    EXPECT_GE(afterReset, 0.05f);
    EXPECT_LT(afterReset, 0.5f);
}
