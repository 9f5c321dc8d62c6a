// The download engine on real WinINet against the test servers on 127.0.0.1 (started by the
// ctest entry around this binary: PYRAVEL_HTTP_PORT, PYRAVEL_FTP_PORT).
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "support/stand_in_transport.h"
#include "web/download_job.h"
#include "web/win32/wininet_transport.h"

namespace pyr {
namespace {

namespace fs = std::filesystem;
using testing::PatternBytes;

std::u16string Port(const char* variable) {
  const char* value = std::getenv(variable);
  return value ? std::u16string(value, value + std::strlen(value)) : std::u16string();
}

std::u16string Http(std::u16string_view path) { return u"http://127.0.0.1:" + Port("PYRAVEL_HTTP_PORT") + std::u16string(path); }
std::u16string Ftp(std::u16string_view path) { return u"ftp://127.0.0.1:" + Port("PYRAVEL_FTP_PORT") + std::u16string(path); }

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Wine 8's FtpGetFileSize is a stub that answers 0: there an FTP transfer runs with the unknown
// size's placeholder, and an FTP size query answers 0.
bool FtpSizeKnown() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr;
}

struct Outcome {
  uint32_t error, stage, percent, total, received;
};
// A cancel mid-transfer, and a local copy of the server's size kept, are driven on real WinINet by
// the updater's end-to-end scenario.

Outcome WaitForEnd(DownloadJobPtr& job) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (GetDownloadInfo(job.get(), kInfoDone) == 0 && std::chrono::steady_clock::now() < limit) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return {GetDownloadInfo(job.get(), kInfoError), GetDownloadInfo(job.get(), kInfoStage),
          GetDownloadInfo(job.get(), kInfoPercent), GetDownloadInfo(job.get(), kInfoTotalSize),
          GetDownloadInfo(job.get(), kInfoReceived)};
}

class WebDownload : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(Port("PYRAVEL_HTTP_PORT").empty()) << "run under tests/net/test_servers.py";
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = fs::path(temp) / ("pyravel-download-" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    target_ = folder_ / "Ovelant.exe";
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::u16string Target() const { return target_.u16string(); }
  bool TemporaryLeft() const { return fs::exists(fs::path(TemporaryDownloadPath(Target()))); }

  WinInetTransport net_;
  fs::path folder_, target_;
};

TEST_F(WebDownload, FileTransfersOverHttpAndFtpDeliverTheBytes) {
  struct Case {
    std::u16string url;
    size_t size;
    uint32_t percent;
  } cases[] = {{Http(u"/bytes/250000"), 250000, 100},
               {Http(u"/nolen/1500000"), 1500000, 100},  // no length announced
               {Ftp(u"/file.bin"), 123457, FtpSizeKnown() ? 100u : 11u}};
  for (const Case& c : cases) {
    WriteBytes(target_, "old copy");
    DownloadJobPtr job = StartDownload(net_, c.url, Target(), kDownloadReload, u"", 0);
    ASSERT_TRUE(job);
    const Outcome o = WaitForEnd(job);
    EXPECT_EQ(std::vector<uint32_t>({o.error, o.stage, o.percent, o.total, o.received}),
              std::vector<uint32_t>({kDownloadOk, kStageComplete, c.percent, uint32_t(c.size), uint32_t(c.size)}))
        << c.size;
    CloseDownload(job);
    EXPECT_TRUE(ReadBytes(target_) == PatternBytes(c.size)) << c.size;
    EXPECT_FALSE(TemporaryLeft());
  }
}

TEST_F(WebDownload, FailuresLeaveTheOldCopyAndNoTemporaryFile) {
  struct Case {
    std::u16string url;
    uint32_t error;
    uint32_t flags = 0;
  } cases[] = {{Http(u"/status/203"), kDownloadOpenFailed},  // only 200 is the resource itself
               {Http(u"/drop/300000"), kDownloadTransferFailed},
               {Ftp(u"/missing.bin"), kDownloadOpenFailed},
               {u"http://127.0.0.1:1/bytes/10", kDownloadOpenFailed},  // nothing listens there
               {Http(u"/status/200"), kDownloadNotAProgram, kDownloadProgramImage}};  // a page
  for (const Case& c : cases) {
    WriteBytes(target_, "old copy");
    DownloadJobPtr job = StartDownload(net_, c.url, Target(), kDownloadReload | c.flags, u"", 0);
    const Outcome o = WaitForEnd(job);
    EXPECT_EQ(o.error, c.error) << std::string(c.url.begin(), c.url.end());
    EXPECT_EQ(o.stage, kStageNone);
    CloseDownload(job);
    EXPECT_EQ(ReadBytes(target_), "old copy");
    EXPECT_FALSE(TemporaryLeft());
  }
}

TEST_F(WebDownload, TheTemporaryFileIsNewAndNeverALinkToAnotherFile) {
  const fs::path victim = folder_ / "victim.sys", temporary(TemporaryDownloadPath(Target()));
  for (const bool linked : {true, false}) {
    WriteBytes(victim, "system file");
    fs::remove(temporary);
    if (linked) {
      ASSERT_TRUE(CreateHardLinkW(temporary.c_str(), victim.c_str(), nullptr));
    } else {
      WriteBytes(temporary, "leftover of an earlier run");
    }
    DownloadJobPtr job = StartDownload(net_, Http(u"/bytes/25000"), Target(), kDownloadReload, u"", 0);
    EXPECT_EQ(WaitForEnd(job).error, linked ? kDownloadCreateFailed : kDownloadOk);
    CloseDownload(job);
    EXPECT_EQ(ReadBytes(victim), "system file");
    EXPECT_EQ(ReadBytes(target_).size(), linked ? 0u : 25000u);
  }
}

TEST_F(WebDownload, TheUrlARequestEndedAtIsReadAfterTheServersForwarding) {
  std::unique_ptr<DownloadConnection> connection = net_.NewConnection();
  ASSERT_TRUE(connection->OpenSession(kDownloadUserAgent, 10000, 2));
  ASSERT_TRUE(connection->OpenUrl(Http(u"/redirect/bytes/3000"), u"", kInternetFlagReload));
  EXPECT_EQ(connection->FinalUrl(), Http(u"/bytes/3000"));
  EXPECT_EQ(connection->StatusCode(), 200u);
}

// The memory cap, the page decoding, the forwarding pages and which referer is sent are portable
// rules, checked on the stand-in transport; here, that a referer reaches a real server.
TEST_F(WebDownload, TheRefererReachesTheServer) {
  WideText text;
  ASSERT_TRUE(DownloadText(net_, Http(u"/referer"), u"abcdefg", &text, 0));
  EXPECT_EQ(text.Str(), u"abcdefg");
}

TEST_F(WebDownload, RemoteSizesComeFromHttpOrFtp) {
  EXPECT_EQ(GetRemoteFileSize(net_, Http(u"/bytes/54321")), 54321u);
  EXPECT_EQ(GetRemoteFileSize(net_, Ftp(u"/file.bin")), FtpSizeKnown() ? 123457u : 0u);
  EXPECT_EQ(GetRemoteFileSize(net_, Http(u"/nolen/5000")), 0u);
}

}  // namespace
}  // namespace pyr
