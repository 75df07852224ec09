// SPDX-License-Identifier: MIT
#include "statistics.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>
#include <string>

namespace bench {
namespace {

void requireValues(const std::vector<double>& values, const char* what) {
    if (values.empty()) {
        throw std::invalid_argument(std::string(what) + " of no values");
    }
}

}  // namespace

double median(std::vector<double> values) {
    requireValues(values, "median");
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    if (values.size() % 2 == 1) {
        return values[middle];
    }
    return (values[middle - 1] + values[middle]) / 2.0;
}

double mean(const std::vector<double>& values) {
    requireValues(values, "mean");
    return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

double standardDeviation(const std::vector<double>& values) {
    requireValues(values, "standard deviation");
    if (values.size() == 1) {
        return 0.0;
    }
    const double centre = mean(values);
    double squares = 0.0;
    for (const double value : values) {
        squares += (value - centre) * (value - centre);
    }
    return std::sqrt(squares / static_cast<double>(values.size() - 1));
}

}  // namespace bench
