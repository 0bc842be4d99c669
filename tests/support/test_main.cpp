// Test entry: the program's assertions become exceptions that tests can expect.
#include <gtest/gtest.h>

#include "support/test_support.h"

int main(int argc, char** argv)
{
    install_throwing_assert_handler();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
