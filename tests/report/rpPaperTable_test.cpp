// The paper table: the standard paper numbers and their sizes in millimetres.
#include "rpPaperTable.h"

#include <gtest/gtest.h>

TEST(PaperTable, HoldsSixtySixPapersInNumberOrderWithA4AtNine)
{
    const auto& table = rpPaperTable();
    ASSERT_EQ(table.size(), 66u);
    for (size_t i = 1; i < table.size(); ++i)
        EXPECT_LT(table[i - 1].Number, table[i].Number);
    Extended w = 0, h = 0;
    ASSERT_TRUE(rpGetPaperSize(9, w, h));
    EXPECT_EQ(w, 210);
    EXPECT_EQ(h, 297);
    // Tenths of a millimetre survive the lookup (Letter is 215.9 mm wide).
    ASSERT_TRUE(rpGetPaperSize(1, w, h));
    EXPECT_EQ(w, 215.9L);
    EXPECT_EQ(h, 279.4L);
    for (int missing : { 0, 48, 49, 69, 256 })
        EXPECT_FALSE(rpGetPaperSize(missing, w, h)) << missing;
}
