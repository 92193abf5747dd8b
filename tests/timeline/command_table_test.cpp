#include "kgiMainCommandTable.h"

#include <gtest/gtest.h>

TEST(kgiMainCommandTable, FillsWriteTheirBytesAndKeepTheUnusedOnes) {
    for (const unsigned char value : {0, 1}) {
        kgiMainCommandLocks record;
        record.flags.fill(7);
        kgiMainCommandTable::fill(record, value);
        for (int i = 0; i < kgiMainCommandLocks::SIZE; ++i) {
            const bool unused = i >= 43 && i <= 46;
            EXPECT_EQ(record[i], unused ? 7 : value) << "byte " << i << " fill " << int(value);
        }
    }
}

TEST(kgiMainCommandTable, BytesWithoutAWidgetAreNotRead) {
    for (int i = 0; i < kgiMainCommandLocks::SIZE; ++i) {
        const bool none = i == 9 || (i >= 43 && i <= 46);
        EXPECT_EQ(kgiMainCommandTable::isRead(i), !none) << "byte " << i;
    }
    EXPECT_EQ(kgiMainCommandTable::target(-1).kind, kgiLockTarget::NONE);
    EXPECT_EQ(kgiMainCommandTable::target(kgiMainCommandLocks::SIZE).kind, kgiLockTarget::NONE);
    EXPECT_EQ(kgiMainCommandTable::target(52).kind, kgiLockTarget::SHORTCUTS);
    EXPECT_EQ(kgiMainCommandTable::target(53).kind, kgiLockTarget::REFRESH);
}
