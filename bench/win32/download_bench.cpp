// Download throughput under Wine: the engine's file transfer of one large program image from the
// test server against a bare InternetReadFile-to-WriteFile loop with the same chunk size, taking
// turns so that both meet the same machine. Prints the median ratio of the engine's throughput to
// the loop's, what the program image check and the signature check add, and the peak working set.
#include <windows.h>
#include <psapi.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/wide_text.h"

#include "web/download_job.h"
#include "web/download_rules.h"
#include "web/win32/program_signature.h"
#include "web/win32/wininet_transport.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// The loop the engine is measured against: one thread, one buffer, read then write.
bool BareLoop(const std::wstring& url, const std::wstring& path, uint32_t chunk, uint64_t* bytes, bool flush) {
  HINTERNET session = InternetOpenW(L"bench", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  HINTERNET request = session ? InternetOpenUrlW(session, url.c_str(), nullptr, 0,
                                                 INTERNET_FLAG_RELOAD | INTERNET_FLAG_KEEP_CONNECTION, 0)
                              : nullptr;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  std::string buffer(chunk, '\0');
  bool ok = request != nullptr && file != INVALID_HANDLE_VALUE;
  *bytes = 0;
  while (ok) {
    DWORD read = 0, written = 0;
    if (!InternetReadFile(request, buffer.data(), chunk, &read)) ok = false;
    if (!ok || read == 0) break;
    ok = WriteFile(file, buffer.data(), read, &written, nullptr) && written == read;
    *bytes += read;
  }
  if (file != INVALID_HANDLE_VALUE) {
    if (flush) FlushFileBuffers(file);
    CloseHandle(file);
  }
  if (request) InternetCloseHandle(request);
  if (session) InternetCloseHandle(session);
  DeleteFileW(path.c_str());
  return ok;
}

bool Engine(pyr::DownloadTransport& transport, const std::u16string& url, const std::u16string& path,
            uint64_t* bytes, uint32_t flags) {
  pyr::DownloadJobPtr job =
      pyr::StartDownload(transport, url, path, pyr::kDownloadReload | pyr::kDownloadWait | flags, u"", 0);
  const bool ok = job && pyr::GetDownloadInfo(job.get(), pyr::kInfoStage) == pyr::kStageComplete;
  *bytes = pyr::DownloadedBytes(job.get());
  pyr::CloseDownload(job);
  DeleteFileW(reinterpret_cast<const wchar_t*>(path.c_str()));
  return ok;
}

double PeakWorkingSetMb() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
  return counters.PeakWorkingSetSize / 1048576.0;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

// Usage: download_bench URL SIZE [SIGNED_PROGRAM]. URL serves a program image of SIZE bytes.
int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: download_bench URL SIZE [SIGNED_PROGRAM]\n");
    return 2;
  }
  const std::wstring url = argv[1];
  const uint64_t size = _wtoi64(argv[2]);
  const uint32_t chunk = pyr::PlanChunks(size).chunk;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring path = std::wstring(temp) + L"pyravel-download-bench.bin";
  const std::u16string url16(reinterpret_cast<const char16_t*>(url.c_str()));
  const std::u16string path16(reinterpret_cast<const char16_t*>(path.c_str()));
  pyr::WinInetTransport transport;

  const double before = PeakWorkingSetMb();
  // One transfer of each kind is too few against a server on the same cores: the kinds take
  // turns, and the medians of the per-round ratios are printed.
  constexpr int kRounds = 5;
  // Four kinds, each round in another order so that none always follows the same one: the bare
  // loop, the loop with the flush the engine now makes, the engine, the engine with the program
  // image check the updater asks for.
  std::vector<double> seconds[4], ratios, checkOverheads, flushOverheads;
  double enginePeak = 0;
  for (int round = 0; round < kRounds; ++round) {
    for (int step = 0; step < 4; ++step) {
      const int kind = (step + round) % 4;
      uint64_t bytes = 0;
      const Clock::time_point start = Clock::now();
      const bool ok = kind < 2 ? BareLoop(url, path, chunk, &bytes, kind == 1)
                               : Engine(transport, url16, path16, &bytes, kind == 3 ? uint32_t{pyr::kDownloadProgramImage} : 0u);
      if (!ok || bytes != size) {
        std::fprintf(stderr, "transfer kind %d failed after %llu bytes\n", kind, static_cast<unsigned long long>(bytes));
        return 1;
      }
      seconds[kind].push_back(Seconds(start));
    }
    ratios.push_back(seconds[0].back() / seconds[2].back());
    flushOverheads.push_back((seconds[1].back() / seconds[0].back() - 1) * 100);
    checkOverheads.push_back((seconds[3].back() / seconds[2].back() - 1) * 100);
    enginePeak = std::max(enginePeak, PeakWorkingSetMb());
  }
  const std::vector<double>& loopSeconds = seconds[0];
  const std::vector<double>& engineSeconds = seconds[2];
  std::printf("download_loop_mb_per_s %.1f\n", size / 1048576.0 / Median(loopSeconds));
  std::printf("download_engine_mb_per_s %.1f\n", size / 1048576.0 / Median(engineSeconds));
  std::printf("download_vs_wininet_loop %.3f\n", Median(ratios));
  std::printf("download_program_check_overhead_percent %.1f\n", Median(checkOverheads));
  std::printf("download_flush_overhead_percent %.1f\n", Median(flushOverheads));
  if (argc > 3) {
    // The signature check before each start of the updater.
    const pyr::WideText program(reinterpret_cast<const char16_t*>(argv[3]));
    HANDLE file = CreateFileW(argv[3], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::vector<double> checks;
    for (int round = 0; round < kRounds; ++round) {
      const Clock::time_point start = Clock::now();
      pyr::ReadSignatureFacts(file, program);
      checks.push_back(Seconds(start));
    }
    CloseHandle(file);
    std::printf("download_signature_check_ms %.1f\n", Median(checks) * 1000);
  }
  std::printf("download_peak_working_set_mb %.1f\n", enginePeak);
  std::printf("download_working_set_before_mb %.1f\n", before);
  return 0;
}
