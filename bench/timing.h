// What the benchmarks share: the time a body takes, and the median of rounds that alternate with
// their baseline on a machine shared with other work.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace pyr {

inline double Seconds(const std::function<void()>& body) {
  const auto start = std::chrono::steady_clock::now();
  body();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace pyr
