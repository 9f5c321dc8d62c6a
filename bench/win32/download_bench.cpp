// Download throughput under Wine: the engine's file transfer of one large resource from the test
// server against a bare InternetReadFile-to-WriteFile loop with the same chunk size, alternated so
// that both meet the same machine. Prints the ratio of the engine's throughput to the loop's, and
// the peak working set while the engine ran. Usage: download_bench URL SIZE.
#include <windows.h>
#include <psapi.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "web/download_job.h"
#include "web/download_rules.h"
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
            uint64_t* bytes) {
  pyr::DownloadJobPtr job = pyr::StartDownload(transport, url, path, pyr::kDownloadReload | pyr::kDownloadWait, u"", 0);
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: download_bench URL SIZE\n");
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
  double bestLoop = 1e9, bestEngine = 1e9, enginePeak = 0;
  for (int round = 0; round < 2; ++round) {
    uint64_t bytes = 0;
    Clock::time_point start = Clock::now();
    if (!BareLoop(url, path, chunk, &bytes) || bytes != size) {
      std::fprintf(stderr, "the bare loop failed after %llu bytes\n", static_cast<unsigned long long>(bytes));
      return 1;
    }
    bestLoop = std::min(bestLoop, Seconds(start));
    start = Clock::now();
    if (!Engine(transport, url16, path16, &bytes) || bytes != size) {
      std::fprintf(stderr, "the engine failed after %llu bytes\n", static_cast<unsigned long long>(bytes));
      return 1;
    }
    bestEngine = std::min(bestEngine, Seconds(start));
    enginePeak = std::max(enginePeak, PeakWorkingSetMb());
  }
  std::printf("download_loop_mb_per_s %.1f\n", size / 1048576.0 / bestLoop);
  std::printf("download_engine_mb_per_s %.1f\n", size / 1048576.0 / bestEngine);
  std::printf("download_vs_wininet_loop %.3f\n", bestLoop / bestEngine);
  std::printf("download_peak_working_set_mb %.1f\n", enginePeak);
  std::printf("download_working_set_before_mb %.1f\n", before);
  return 0;
}
