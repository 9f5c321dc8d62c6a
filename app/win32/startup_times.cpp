#include "app/win32/startup_times.h"

#include <windows.h>

#include <cstdio>

namespace pyr {

double UnixMsNow() {
  FILETIME now{};
  GetSystemTimePreciseAsFileTime(&now);
  const unsigned long long ticks =
      (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  // FILETIME counts 100 ns from 1601; Unix time starts 11644473600 s later.
  constexpr unsigned long long kUnixEpoch = 116444736000000000ULL;
  return static_cast<double>(ticks - kUnixEpoch) / 10000.0;
}

void StartupTimes::Mark(const char* step) { marks_.push_back({step, UnixMsNow()}); }

bool StartupTimes::Write() const {
  if (!Enabled()) return false;
  FILE* out = _wfopen(file_.c_str(), L"w");
  if (out == nullptr) return false;
  for (const Entry& e : marks_) std::fprintf(out, "%s\t%.3f\n", e.step, e.unixMs);
  return std::fclose(out) == 0;
}

}  // namespace pyr
