#include <gtest/gtest.h>
TEST(QuivaLoad, Placeholder) {}
