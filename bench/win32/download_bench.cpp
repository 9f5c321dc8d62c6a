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
bool BareLoop(const std::wstring& url, const std::wstring& path, uint32_t chunk, uint64_t* bytes) {
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
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
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
  std::vector<double> loopSeconds, engineSeconds, ratios, checkOverheads;
  double enginePeak = 0;
  for (int round = 0; round < kRounds; ++round) {
    uint64_t bytes = 0;
    Clock::time_point start = Clock::now();
    if (!BareLoop(url, path, chunk, &bytes) || bytes != size) {
      std::fprintf(stderr, "the bare loop failed after %llu bytes\n", static_cast<unsigned long long>(bytes));
      return 1;
    }
    loopSeconds.push_back(Seconds(start));
    double plain = 0;
    // The engine as the updater uses it (program image check) and without the check.
    for (const uint32_t flags : {0u, uint32_t{pyr::kDownloadProgramImage}}) {
      start = Clock::now();
      if (!Engine(transport, url16, path16, &bytes, flags) || bytes != size) {
        std::fprintf(stderr, "the engine failed after %llu bytes\n", static_cast<unsigned long long>(bytes));
        return 1;
      }
      const double seconds = Seconds(start);
      if (flags == 0) {
        plain = seconds;
        engineSeconds.push_back(seconds);
        ratios.push_back(loopSeconds.back() / seconds);
      } else {
        checkOverheads.push_back((seconds / plain - 1) * 100);
      }
    }
    enginePeak = std::max(enginePeak, PeakWorkingSetMb());
  }
  std::printf("download_loop_mb_per_s %.1f\n", size / 1048576.0 / Median(loopSeconds));
  std::printf("download_engine_mb_per_s %.1f\n", size / 1048576.0 / Median(engineSeconds));
  std::printf("download_vs_wininet_loop %.3f\n", Median(ratios));
  std::printf("download_program_check_overhead_percent %.1f\n", Median(checkOverheads));
  if (argc > 3) {
    // The signature check before a start, against the time the engine takes to fetch that file.
    const pyr::WideText program(reinterpret_cast<const char16_t*>(argv[3]));
    HANDLE file = CreateFileW(argv[3], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER programSize{};
    GetFileSizeEx(file, &programSize);
    std::vector<double> checks;
    for (int round = 0; round < kRounds; ++round) {
      const Clock::time_point start = Clock::now();
      pyr::ReadSignatureFacts(file, program);
      checks.push_back(Seconds(start));
    }
    CloseHandle(file);
    const double fetch = programSize.QuadPart / (size / Median(engineSeconds));
    std::printf("download_signature_check_ms %.1f\n", Median(checks) * 1000);
    std::printf("download_signature_check_percent_of_fetch %.1f\n", Median(checks) / fetch * 100);
  }
  std::printf("download_peak_working_set_mb %.1f\n", enginePeak);
  std::printf("download_working_set_before_mb %.1f\n", before);
  return 0;
}
