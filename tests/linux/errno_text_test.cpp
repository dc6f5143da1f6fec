#include "linux/errno_text.h"

#include <gtest/gtest.h>

#include <cerrno>

TEST(ErrnoText, GivesTheDescriptionAndTheSymbolicName)
{
    EXPECT_EQ(ErrnoText(ENODATA), "No data available (ENODATA)");
    EXPECT_EQ(ErrnoText(EPERM), "Operation not permitted (EPERM)");
    EXPECT_EQ(ErrnoText(4242), "error 4242");
    EXPECT_EQ(ErrnoText(-1), "error -1");
}
