// The download engine's threads and counters against the stand-in transport (also the body of
// the ThreadSanitizer run).
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/stand_in_transport.h"
#include "web/download_job.h"
#include "web/link_resolution.h"
#include "web/site_addresses.h"

namespace pyr {
namespace {

using testing::PatternBytes;
using testing::StandInResource;
using testing::StandInTransport;

constexpr char16_t kUrl[] = u"http://127.0.0.1/ovelant/Ovelant.exe";
constexpr char16_t kTarget[] = u"tools\\Ovelant.exe";

struct Outcome {
  uint32_t error, stage, percent, total, received;
};

// Polls the job like its owner does until it is done, then reads every counter.
Outcome WaitForEnd(DownloadJobPtr& job) {
  while (GetDownloadInfo(job.get(), kInfoDone) == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return {GetDownloadInfo(job.get(), kInfoError), GetDownloadInfo(job.get(), kInfoStage),
          GetDownloadInfo(job.get(), kInfoPercent), GetDownloadInfo(job.get(), kInfoTotalSize),
          GetDownloadInfo(job.get(), kInfoReceived)};
}

StandInResource Served(std::string body, bool announce = true) {
  StandInResource r;
  r.body = std::move(body);
  r.announceLength = announce;
  return r;
}

TEST(DownloadJob, FileTransfersDeliverEveryByteInOrder) {
  // Sizes on both sides of the chunk table's steps, and reads shorter than a chunk.
  for (size_t size : {1u, 19999u, 20000u, 20001u, 250000u, 1500000u}) {
    for (uint32_t perRead : {0u, 7777u}) {
      StandInTransport net;
      StandInResource r = Served(PatternBytes(size));
      r.bytesPerRead = perRead;
      net.resources[kUrl] = r;
      DownloadJobPtr job = StartDownload(net, kUrl, kTarget, 0, u"", 0);
      ASSERT_TRUE(job);
      const Outcome o = WaitForEnd(job);
      EXPECT_EQ(o.error, kDownloadOk) << size;
      EXPECT_EQ(o.stage, kStageComplete) << size;
      EXPECT_EQ(o.percent, 100u) << size;
      EXPECT_EQ(o.received, size);
      EXPECT_EQ(o.total, size);
      CloseDownload(job);
      EXPECT_FALSE(job);
      EXPECT_TRUE(net.File(kTarget) == PatternBytes(size)) << size << " " << perRead;
      EXPECT_EQ(net.OpenOutputs(), 0u);
    }
  }
}

TEST(DownloadJob, WithoutLengthTheTotalFollowsTheBytesAndThePercentIsNotRecomputed) {
  StandInTransport net;
  net.resources[kUrl] = Served(PatternBytes(500000), false);
  DownloadJobPtr job = StartDownload(net, kUrl, kTarget, kDownloadWait, u"", 0);
  const Outcome o = WaitForEnd(job);
  EXPECT_EQ(o.stage, kStageComplete);
  EXPECT_EQ(o.percent, 47u);
  EXPECT_EQ(o.total, 500000u);
  EXPECT_GT(net.waitSteps, 0);  // the wait flag waited in the caller's wait step
  CloseDownload(job);

  // Beyond the 1 MiB placeholder the total follows the received count.
  net.resources[kUrl] = Served(PatternBytes(1500000), false);
  job = StartDownload(net, kUrl, kTarget, 0, u"", 0);
  const Outcome big = WaitForEnd(job);
  EXPECT_EQ(big.percent, 100u);
  EXPECT_EQ(big.total, 1500000u);
  CloseDownload(job);
}

TEST(DownloadJob, RequestsCarryTheAgentTheRefererAndTheReloadFlag) {
  StandInTransport net;
  net.resources[kUrl] = Served("x");
  for (const auto& [referer, flags, headers, requestFlags] :
       {std::tuple<std::u16string, uint32_t, std::u16string, uint32_t>{u"abcdef", 0, u"", 0x00400800},
        {u"abcdefg", kDownloadReload, u"Referer: abcdefg\r\n\r\n", 0x80400800}}) {
    DownloadJobPtr job = StartDownload(net, kUrl, kTarget, flags | kDownloadWait, referer, 0);
    CloseDownload(job);
    const auto request = net.Requests().back();
    EXPECT_EQ(request.headers, headers);
    EXPECT_EQ(request.flags, requestFlags);
    EXPECT_EQ(request.userAgent, kDownloadUserAgent);
  }
}

TEST(DownloadJob, FailuresReportTheirErrorAndLeaveTheOldFileAlone) {
  struct Case {
    const char* name;
    std::function<void(StandInTransport&)> setUp;
    uint32_t error;
  };
  const Case cases[] = {
      {"offline", [](StandInTransport& n) { n.connected = false; }, kDownloadOffline},
      {"no session", [](StandInTransport& n) { n.sessionOpens = false; }, kDownloadOpenFailed},
      {"url not opened", [](StandInTransport& n) { n.resources.clear(); }, kDownloadOpenFailed},
      {"error page", [](StandInTransport& n) { n.resources[kUrl].status = 404; }, kDownloadOpenFailed},
      {"server error", [](StandInTransport& n) { n.resources[kUrl].status = 500; }, kDownloadOpenFailed},
      {"no output file", [](StandInTransport& n) { n.outputOpens = false; }, kDownloadCreateFailed},
      {"target not replaced", [](StandInTransport& n) { n.commitWorks = false; }, kDownloadCreateFailed},
      {"read fails", [](StandInTransport& n) { n.resources[kUrl].failAfter = 150000; }, kDownloadTransferFailed},
      {"connection dropped before the announced length",
       [](StandInTransport& n) { n.resources[kUrl].endAfter = 150000; }, kDownloadTransferFailed},
  };
  for (const Case& c : cases) {
    StandInTransport net;
    net.resources[kUrl] = Served(PatternBytes(300000));
    net.PutFile(kTarget, "old copy");
    c.setUp(net);
    DownloadJobPtr job = StartDownload(net, kUrl, kTarget, 0, u"", 0);
    const Outcome o = WaitForEnd(job);
    EXPECT_EQ(o.error, c.error) << c.name;
    // Once an error is set the job reads as reset.
    EXPECT_EQ(o.stage, 0u) << c.name;
    EXPECT_EQ(o.received, 0u) << c.name;
    CloseDownload(job);
    EXPECT_EQ(net.File(kTarget), "old copy") << c.name;
    EXPECT_EQ(net.OpenOutputs(), 0u) << c.name;
  }
}

TEST(DownloadJob, CancelStopsATransferAndLeavesNoTemporaryFile) {
  StandInTransport net;
  StandInResource r = Served(PatternBytes(3000000));
  r.bytesPerRead = 1000;
  net.resources[kUrl] = r;
  net.PutFile(kTarget, "old copy");
  net.holdReads = true;
  DownloadJobPtr job = StartDownload(net, kUrl, kTarget, 0, u"", 0);
  while (GetDownloadInfo(job.get(), kInfoStage) != kStageWriting) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  std::thread release([&net] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    net.holdReads = false;
  });
  CloseDownload(job);
  release.join();
  EXPECT_FALSE(job);
  EXPECT_EQ(net.File(kTarget), "old copy");
  EXPECT_EQ(net.OpenOutputs(), 0u);
}

TEST(DownloadJob, ALocalFileOfTheRemoteSizeIsNotFetchedAgain) {
  StandInTransport net;
  net.resources[kUrl] = Served(PatternBytes(4000));
  net.PutFile(kTarget, std::string(4000, 'o'));
  DownloadJobPtr job = StartDownload(net, kUrl, kTarget, kDownloadSkipIfSameSize, u"", 0);
  Outcome o = WaitForEnd(job);
  EXPECT_EQ(o.stage, kStageAlreadyPresent);
  EXPECT_EQ(o.percent, 100u);
  EXPECT_EQ(o.received, 4000u);
  CloseDownload(job);
  EXPECT_EQ(net.File(kTarget), std::string(4000, 'o'));

  // A known size is compared instead of the file; a different size is fetched.
  job = StartDownload(net, kUrl, kTarget, kDownloadSkipIfSameSize, u"", 3999);
  o = WaitForEnd(job);
  EXPECT_EQ(o.stage, kStageComplete);
  CloseDownload(job);
  EXPECT_TRUE(net.File(kTarget) == PatternBytes(4000));

  // Without the flag the same size is fetched all the same.
  net.PutFile(kTarget, std::string(4000, 'o'));
  job = StartDownload(net, kUrl, kTarget, 0, u"", 0);
  EXPECT_EQ(WaitForEnd(job).stage, kStageComplete);
  CloseDownload(job);
  EXPECT_TRUE(net.File(kTarget) == PatternBytes(4000));
}

TEST(DownloadJob, FtpGivesTheSizeWhereHttpGivesNone) {
  StandInTransport net;
  const std::u16string url = u"ftp://127.0.0.1/pub/Ovelant.exe";
  StandInResource r = Served(PatternBytes(30000), false);
  r.ftpSize = 30000;
  net.resources[url] = r;
  DownloadJobPtr job = StartDownload(net, url, kTarget, 0, u"", 0);
  const Outcome o = WaitForEnd(job);
  EXPECT_EQ(o.error, kDownloadOk);
  EXPECT_EQ(o.total, 30000u);
  CloseDownload(job);
  EXPECT_EQ(GetRemoteFileSize(net, url), 30000u);
  net.resources[url].ftpOpens = false;
  net.resources[url].ftpSize = 0;
  EXPECT_EQ(GetRemoteFileSize(net, url), 0u);
}

TEST(DownloadJob, MemoryTransfersAreCappedAndEndInTwoZeroBytes) {
  StandInTransport net;
  net.resources[kUrl] = Served(PatternBytes(1500000), false);
  DownloadJobPtr job = StartDownload(net, kUrl, u"", kDownloadToMemory, u"", 0);
  Outcome o = WaitForEnd(job);
  // A page without length stops at the 1 MiB placeholder.
  EXPECT_EQ(o.stage, kStageComplete);
  EXPECT_EQ(o.received, 1048576u);
  EXPECT_EQ(o.total, 1048576u);
  const uint8_t* bytes = GetDownloadBuffer(job.get());
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), 1048576), PatternBytes(1048576));
  EXPECT_EQ(bytes[1048576], 0);
  EXPECT_EQ(bytes[1048577], 0);
  CloseDownload(job);

  // A known size bounds the read.
  job = StartDownload(net, kUrl, u"", kDownloadToMemory, u"", 51200);
  o = WaitForEnd(job);
  EXPECT_EQ(o.received, 51200u);
  CloseDownload(job);

  // An empty answer is a failed transfer; file jobs have no buffer.
  net.resources[kUrl] = Served("", false);
  job = StartDownload(net, kUrl, u"", kDownloadToMemory, u"", 0);
  EXPECT_EQ(WaitForEnd(job).error, kDownloadTransferFailed);
  CloseDownload(job);
  net.resources[kUrl] = Served("abc");
  job = StartDownload(net, kUrl, kTarget, 0, u"", 0);
  WaitForEnd(job);
  EXPECT_EQ(GetDownloadBuffer(job.get()), nullptr);
  CloseDownload(job);
}

TEST(DownloadJob, InfoAnswersAllOnesForNoJobOrAnUnknownSelector) {
  EXPECT_EQ(GetDownloadInfo(nullptr, kInfoDone), kNoDownloadInfo);
  StandInTransport net;
  net.resources[kUrl] = Served("abc");
  DownloadJobPtr job = StartDownload(net, kUrl, kTarget, kDownloadWait, u"", 0);
  EXPECT_EQ(GetDownloadInfo(job.get(), 0), kNoDownloadInfo);
  EXPECT_EQ(GetDownloadInfo(job.get(), 7), kNoDownloadInfo);
  EXPECT_EQ(GetDownloadInfo(job.get(), kInfoReceived), 3u);
  CloseDownload(job);
}

TEST(DownloadJob, DrivePathsGetTheLongPathPrefix) {
  StandInTransport net;
  net.resources[kUrl] = Served("abc");
  DownloadJobPtr job = StartDownload(net, kUrl, u"C:\\tools\\O.exe", kDownloadWait, u"", 0);
  CloseDownload(job);
  EXPECT_EQ(net.File(u"\\\\?\\C:\\tools\\O.exe"), "abc");
}

TEST(DownloadText, DecodesThePageAndSendsTheUrlAsRefererWhenNoneIsGiven) {
  StandInTransport net;
  const std::u16string page = u"http://127.0.0.1/get.html";
  net.resources[page] = Served(std::string("\xEF\xBB\xBF<p>\xC3\xA9t\xC3\xA9</p>"));
  WideText text(u"stale");
  ASSERT_TRUE(DownloadText(net, page, u"", &text, 0));
  EXPECT_EQ(text.Str(), u"<p>\u00E9t\u00E9</p>");
  EXPECT_EQ(net.Requests().back().headers, u"Referer: " + page + u"\r\n\r\n");
  EXPECT_EQ(net.Requests().back().flags, 0x80400800u);

  net.resources[page].status = 404;
  EXPECT_FALSE(DownloadText(net, page, u"", &text, 0));
  EXPECT_TRUE(text.Empty());
}

TEST(RemoteFileSize, SendsTheSearchRefererAndAnswersZeroOnFailure) {
  StandInTransport net;
  net.resources[kUrl] = Served(PatternBytes(12345));
  EXPECT_EQ(GetRemoteFileSize(net, kUrl), 12345u);
  EXPECT_EQ(net.Requests().back().headers, u"Referer: " + std::u16string(kSearchReferer) + u"\r\n\r\n");
  EXPECT_EQ(net.Requests().back().flags, 0x80400000u);
  net.resources[kUrl].lengthAsNumberOnly = true;  // the numeric query answers when the text one does not
  EXPECT_EQ(GetRemoteFileSize(net, kUrl), 12345u);
  net.resources[kUrl].status = 404;
  EXPECT_EQ(GetRemoteFileSize(net, kUrl), 0u);
  net.connected = false;
  EXPECT_EQ(GetRemoteFileSize(net, kUrl), 0u);
}

TEST(ResolveAndStartDownload, FetchesLargeAnswersDirectlyAndFollowsForwardingPages) {
  const std::u16string pageUrl = u"http://127.0.0.1/ovelant/get.html";
  const std::u16string fileUrl = u"http://127.0.0.1/files/Ovelant-3.exe";
  struct Case {
    const char* name;
    std::u16string published;
    StandInResource answer;
    std::u16string fetched;  // the URL of the last request
  };
  StandInResource page = Served("<meta http-equiv=\"refresh\" content=\"0; url=/files/Ovelant-3.exe\">");
  const Case cases[] = {
      {"file-sized answer", fileUrl, Served(PatternBytes(10240)), fileUrl},
      {"forwarding page", pageUrl, page, fileUrl},
      {"small file named .exe", kUrl, Served(PatternBytes(3000), false), kUrl},
  };
  for (const Case& c : cases) {
    StandInTransport net;
    net.AddFolder(u"tools");
    net.resources[c.published] = c.answer;
    net.resources[fileUrl] = Served(PatternBytes(10240));
    DownloadJobPtr job = ResolveAndStartDownload(net, kTarget, WideText(std::u16string_view(c.published)));
    ASSERT_TRUE(job) << c.name;
    EXPECT_EQ(WaitForEnd(job).error, kDownloadOk) << c.name;
    CloseDownload(job);
    const auto requests = net.Requests();
    EXPECT_EQ(requests.back().url, c.fetched) << c.name;
    // The referer is the published folder, without its trailing slash.
    const std::u16string folder = c.published.substr(0, c.published.rfind(u'/'));
    EXPECT_EQ(requests.back().headers, u"Referer: " + folder + u"\r\n\r\n") << c.name;
    EXPECT_EQ(requests.back().flags, 0x80400800u) << c.name;
  }
}

TEST(ResolveAndStartDownload, StartsNothingForAFolderOrAnAddressTooShort) {
  StandInTransport net;
  net.AddFolder(u"tools");
  EXPECT_FALSE(ResolveAndStartDownload(net, u"tools", kUrl));
  EXPECT_FALSE(ResolveAndStartDownload(net, kTarget, u"http"));
  EXPECT_TRUE(net.Requests().empty());
  // A missing folder is created first.
  net.resources[kUrl] = Served(PatternBytes(20000));
  DownloadJobPtr job = ResolveAndStartDownload(net, u"new\\deep\\O.exe", kUrl);
  ASSERT_TRUE(job);
  CloseDownload(job);
  EXPECT_TRUE(net.FolderExists(u"new\\deep"));
}

}  // namespace
}  // namespace pyr
