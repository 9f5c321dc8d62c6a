// The packages list's size walk over a store of 20,000 files (500 packages of 40 files in two
// levels) against a bare FindFirstFileExW walk (basic information, large fetch) of the same
// tree, median of alternating rounds. Prints "store_walk_vs_bare_walk <ratio>" (1.0: as fast as
// the bare walk).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "base/win32/wchar.h"
#include "driverstore/package_list.h"
#include "bench/timing.h"

namespace pyr {
namespace {

constexpr int kPackages = 500;
constexpr int kFilesPerFolder = 20;

uint64_t BareWalk(const std::wstring& folder) {
  uint64_t total = 0;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                 FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      total += BareWalk(folder + L"\\" + name);
    } else {
      total += (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return total;
}

WideText Package(const WideText& root, int i) { return Concat({root, u"\\pkg", WideText::FromInt32(i)}); }

void MakeStore(const WideText& root) {
  const char bytes[100] = {};
  for (int i = 0; i < kPackages; ++i) {
    for (int f = 0; f < 2 * kFilesPerFolder; ++f) {
      OutputFile out;
      const WideText sub = f < kFilesPerFolder ? WideText() : WideText(u"\\amd64");
      if (out.Open(Concat({Package(root, i), sub, u"\\file", WideText::FromInt32(f), u".sys"}))) out.Write(bytes, 100);
    }
  }
}

}  // namespace
}  // namespace pyr

int main() {
  using namespace pyr;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const WideText store = Concat({U(temp), u"pyr_store_walk_bench"});
  DeletePath(store, 0);
  MakeStore(store);
  std::vector<double> bare, walk;
  uint64_t bareBytes = 0, walkBytes = 0;
  // Alternating rounds: the machine is shared with other work.
  for (int round = 0; round < 7; ++round) {
    bare.push_back(Seconds([&] {
      bareBytes = 0;
      for (int i = 0; i < kPackages; ++i) bareBytes += BareWalk(reinterpret_cast<const wchar_t*>(Package(store, i).Buffer()));
    }));
    walk.push_back(Seconds([&] {
      walkBytes = 0;
      for (int i = 0; i < kPackages; ++i) walkBytes += StoreFolderSize(Package(store, i)).value_or(0);
    }));
  }
  DeletePath(store, 0);
  std::printf("store_walk_bytes %llu %llu\n", static_cast<unsigned long long>(walkBytes),
              static_cast<unsigned long long>(bareBytes));
  std::printf("store_walk_vs_bare_walk %.2f\n", Median(bare) / Median(walk));
  return 0;
}
