// The numbers behind the progress window's bar and caption.
#include <gtest/gtest.h>

#include "core/progress.h"

namespace navtab {
namespace {

TEST(ProgressState, TheCaptionChangesOnlyWithThePercentageCountedFromTheLowerEnd) {
    ProgressState p;
    p.setRange(0, 0, 1);
    EXPECT_FALSE(p.setPos(5));  // an empty range stays at zero percent
    EXPECT_EQ(p.percent(), 0);
    p.setRange(0, 100, 1);
    EXPECT_TRUE(p.setPos(42));
    EXPECT_FALSE(p.setPos(42));
    p.setRange(0, 1000, 1);
    EXPECT_FALSE(p.setPos(425));  // 42 % of the new range: the caption already says so
    EXPECT_TRUE(p.setPos(430));
    p.setRange(50, 150, 10);
    p.setPos(50);
    EXPECT_EQ(p.percent(), 50);
    EXPECT_TRUE(p.stepIt());
    EXPECT_EQ(p.percent(), 60);
    EXPECT_TRUE(p.offsetPos(-60));
    EXPECT_EQ(p.percent(), 0);
    EXPECT_EQ(p.setStep(5), 10);
}

}  // namespace
}  // namespace navtab
