#include "framework/Memory.h"

#include <gtest/gtest.h>

#include <string>

TEST(Memory, AssignLargeCopiesTextsOfEverySize)
{
    // Small texts, large ones into a fresh buffer, and large ones into a
    // string that already has the room.
    for (const size_t nSize : {size_t{0}, size_t{10}, size_t{5} << 20}) {
        std::string text(nSize, 'a');
        if (nSize > 0)
            text.back() = 'z';
        CString str = "old";
        mem::AssignLarge(str, text);
        EXPECT_EQ(str, text);
        CString roomy;
        roomy.reserve(nSize + 100);
        roomy = "old";
        mem::AssignLarge(roomy, text);
        EXPECT_EQ(roomy, text);
        mem::AssignLarge(str, "short");
        EXPECT_EQ(str, "short");
    }
}
