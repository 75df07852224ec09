// SPDX-License-Identifier: MIT
// The few statistics the benchmark reports. Medians, because one slow run on
// a shared machine must not move the figure; mean and standard deviation only
// for the tick periods, where the spread itself is what is asked.
#pragma once

#include <vector>

namespace bench {

// The middle value, or the mean of the two middle values for an even count.
// Throws std::invalid_argument for no values.
double median(std::vector<double> values);

// Throws std::invalid_argument for no values.
double mean(const std::vector<double>& values);

// The sample standard deviation (divided by n - 1); 0 for a single value.
// Throws std::invalid_argument for no values.
double standardDeviation(const std::vector<double>& values);

}  // namespace bench
