#include "bgi/bgi_screen.h"

#include <gtest/gtest.h>
namespace pasdraw {
namespace {
TEST(BgiScreen, Placeholder) {
    BgiScreen s;
    EXPECT_EQ(s.color(), 15);
}
}  // namespace
}  // namespace pasdraw
