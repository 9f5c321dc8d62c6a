// Wall-clock marks around the start-up steps, written to a file when a benchmark asks for them
// (the sandbox's --startup-times FILE). The times are Unix milliseconds, so that a program that
// started this one can compare them with its own clock.
#pragma once

#include <string>
#include <vector>

namespace pyr {

class StartupTimes {
 public:
  // Marks are always taken (a handful of numbers); they are written only when a file is set.
  void SetFile(std::wstring file) { file_ = std::move(file); }
  bool Enabled() const { return !file_.empty(); }
  void Mark(const char* step);
  // One "step<TAB>milliseconds" line per mark; false when the file cannot be written.
  bool Write() const;

 private:
  struct Entry {
    const char* step;
    double unixMs;
  };
  std::wstring file_;
  std::vector<Entry> marks_;
};

// Now, in Unix milliseconds, from the system's precise clock.
double UnixMsNow();

}  // namespace pyr
