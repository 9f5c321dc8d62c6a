// Backup throughput against a bare CopyFileW loop over the same package tree (about 300 packages,
// 200 MB), measured in one run: the backup's own way (a fresh folder beside each device's, filled
// and renamed into place, trees deleted by handle) and the loop take turns, each round in the
// other order, and the median of the per-round ratios is printed as "backup_vs_copyfile <ratio>"
// (1.0: as fast as the loop).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <cstdio>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "base/win32/wchar.h"
#include "bench/timing.h"

namespace pyr {
namespace {

constexpr int kPackages = 300;

// The bare loop: every file of a folder tree copied with CopyFileW, nothing else.
void BareCopy(const std::wstring& from, const std::wstring& to) {
  CreateDirectoryW(to.c_str(), nullptr);
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((from + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      BareCopy(from + L"\\" + name, to + L"\\" + name);
    } else {
      CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE);
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

WideText Package(const WideText& root, int i) { return Concat({root, u"\\pkg", WideText::FromInt32(i)}); }

uint64_t MakeStore(const WideText& root) {
  std::vector<char> bytes(4 << 20);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 2654435761u >> 24);
  uint64_t total = 0;
  for (int i = 0; i < kPackages; ++i) {
    // An INF, a catalog, a driver of 16 KiB to about 1.3 MiB, and a sub-folder with firmware.
    const uint32_t sizes[] = {6000, 9000, 16384u + (i * 7919u) % (1300u << 10), 65536};
    const char16_t* names[] = {u"\\drv.inf", u"\\drv.cat", u"\\drv.sys", u"\\fw\\blob.bin"};
    for (int f = 0; f < 4; ++f) {
      OutputFile out;
      if (out.Open(Concat({Package(root, i), names[f]}))) total += out.Write(bytes.data(), sizes[f]);
    }
  }
  return total;
}

}  // namespace
}  // namespace pyr

int main() {
  using namespace pyr;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  WideText base = Concat({U(temp), u"pyr_backup_bench"});
  DeletePath(base, 0);
  const WideText store = Concat({base, u"\\store"});
  const uint64_t bytes = MakeStore(store);
  // One transfer of each kind swings with the other work on the machine: several rounds.
  constexpr int kRounds = 5;
  std::vector<double> ratios;
  for (int round = 0; round < kRounds; ++round) {
    const WideText a = Concat({base, u"\\bare"}), b = Concat({base, u"\\backup"});
    const auto bareLoop = [&] {
      return Seconds([&] {
        CreateDirectoryW(W(a), nullptr);
        for (int i = 0; i < kPackages; ++i) {
          BareCopy(reinterpret_cast<const wchar_t*>(Package(store, i).Buffer()),
                   reinterpret_cast<const wchar_t*>(Concat({a, u"\\pkg", WideText::FromInt32(i)}).Buffer()));
        }
      });
    };
    const auto backupLoop = [&] {
      return Seconds([&] {
        for (int i = 0; i < kPackages; ++i) {
          const WideText device = Concat({b, u"\\Class\\Device ", WideText::FromInt32(i), u" - Maker - 1.0"});
          CreateFolderBelow(b, Concat({b, u"\\Class"}));
          CopyFolderIntoPlace(Package(store, i), device);
        }
      });
    };
    double bare = 0, backup = 0;
    if (round % 2 == 0) {
      bare = bareLoop();
      backup = backupLoop();
    } else {
      backup = backupLoop();
      bare = bareLoop();
    }
    ratios.push_back(bare / backup);
    DeletePath(a, 0);
    DeletePath(b, 0);
  }
  std::sort(ratios.begin(), ratios.end());
  DeletePath(base, 0);
  std::printf("backup_tree_bytes %llu\n", static_cast<unsigned long long>(bytes));
  std::printf("backup_vs_copyfile %.2f\n", ratios[ratios.size() / 2]);
  return 0;
}
