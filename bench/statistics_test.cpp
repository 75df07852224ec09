// SPDX-License-Identifier: MIT
// Catches wrong arithmetic in the figures the benchmark reports: a median
// that is not the middle, a spread divided by the wrong count.
#include "statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

namespace {

TEST(Statistics, MedianOfAnOddCountIsTheMiddleValueWhateverTheOrder) {
    EXPECT_DOUBLE_EQ(bench::median({5.0, 1.0, 4.0, 2.0, 3.0}), 3.0);
}

TEST(Statistics, MedianOfAnEvenCountIsTheMeanOfTheTwoMiddleValues) {
    EXPECT_DOUBLE_EQ(bench::median({10.0, 1.0, 3.0, 2.0}), 2.5);
}

TEST(Statistics, OneOutlierDoesNotMoveTheMedian) {
    EXPECT_DOUBLE_EQ(bench::median({1.0, 1.1, 1.2, 1.3, 50.0}), 1.2);
}

TEST(Statistics, MeanIsTheSumOverTheCount) {
    EXPECT_DOUBLE_EQ(bench::mean({99.0, 100.0, 104.0}), 101.0);
}

TEST(Statistics, StandardDeviationIsTheSampleOne) {
    // Squares of the deviations from the mean 5 add up to 32; 32 / (8 - 1).
    EXPECT_DOUBLE_EQ(bench::standardDeviation({2, 4, 4, 4, 5, 5, 7, 9}), std::sqrt(32.0 / 7.0));
}

TEST(Statistics, AllEqualPeriodsHaveNoSpread) {
    EXPECT_DOUBLE_EQ(bench::standardDeviation({100.0, 100.0, 100.0}), 0.0);
    EXPECT_DOUBLE_EQ(bench::standardDeviation({100.0}), 0.0);
}

TEST(Statistics, NoValuesIsAnErrorNotAZero) {
    EXPECT_THROW(bench::median({}), std::invalid_argument);
    EXPECT_THROW(bench::mean({}), std::invalid_argument);
    EXPECT_THROW(bench::standardDeviation({}), std::invalid_argument);
}

}  // namespace
