#include "kgiSettings.h"

#include "kit_support.h"

#include <gtest/gtest.h>

namespace {

const kit::fs::path SHIPPED = kit::fs::path(KGI_SOURCE_DATA_DIR) / "settings" / "settings.txt";

TEST(ShippedSettings, FileIsWhatTheWriterWritesForItsValues) {
    const std::string text = kit::readFile(SHIPPED);
    ASSERT_FALSE(text.empty());
    kgiSettings s;
    ASSERT_TRUE(kgiSettingsFile::load(SHIPPED.string(), s));
    EXPECT_EQ(kgiSettingsFile::format(s), text);
    // English: the message-window plug-in reads this first line on its own.
    EXPECT_EQ(text.substr(0, text.find('\n')), "language=0");
}

TEST(ShippedSettings, RecordWithoutAFileIsTheSameEditorInJapanese) {
    std::string expected = kit::readFile(SHIPPED);
    ASSERT_EQ(expected.rfind("language=0\n", 0), 0u);
    expected.replace(0, 11, "language=1\n");
    EXPECT_EQ(kgiSettingsFile::format(kgiSettings()), expected);
}

} // namespace
