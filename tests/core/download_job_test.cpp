// The download engine's threads and counters against the stand-in transport (also the body of
// the ThreadSanitizer run).
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/program_bytes.h"
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

StandInResource Served(std::string body, bool announce = true, uint32_t perRead = 0) {
  StandInResource r;
  r.body = std::move(body);
  r.announceLength = announce;
  r.bytesPerRead = perRead;
  return r;
}

TEST(DownloadJob, FileTransfersDeliverEveryByteInOrder) {
  // Reads shorter than a chunk, more than one chunk, no length at all.
  struct Case {
    size_t size;
    uint32_t perRead;
    bool announce;
    uint32_t percent;
  } cases[] = {{1, 0, true, 100}, {250000, 7777, true, 100},
               {500000, 0, false, 47},      // without length the percent is not recomputed at the end
               {1500000, 0, false, 100}};   // past the 1 MiB placeholder the total follows the bytes
  for (const Case& c : cases) {
    StandInTransport net;
    net.resources[kUrl] = Served(PatternBytes(c.size), c.announce, c.perRead);
    DownloadJobPtr job = StartDownload(net, kUrl, kTarget, kDownloadWait, u"", 0);
    ASSERT_TRUE(job);
    const Outcome o = WaitForEnd(job);
    EXPECT_EQ(std::vector<uint32_t>({o.error, o.stage, o.percent, o.total, o.received}),
              std::vector<uint32_t>({kDownloadOk, kStageComplete, c.percent, uint32_t(c.size), uint32_t(c.size)}))
        << c.size << " " << c.perRead;
    CloseDownload(job);
    EXPECT_FALSE(job);
    EXPECT_TRUE(net.File(kTarget) == PatternBytes(c.size)) << c.size;
    EXPECT_EQ(net.OpenOutputs(), 0u);
    if (c.size >= 500000) {
      EXPECT_GT(net.waitSteps, 0);  // the wait flag waited in the caller's wait step
    }
  }
  // A drive path gets the long-path prefix.
  StandInTransport net;
  net.resources[kUrl] = Served("abc");
  DownloadJobPtr job = StartDownload(net, kUrl, u"C:\\tools\\O.exe", kDownloadWait, u"", 0);
  CloseDownload(job);
  EXPECT_EQ(net.File(u"\\\\?\\C:\\tools\\O.exe"), "abc");
}

// Without the reload flag the cache may answer; the referer rules and the reload flag's request
// are checked with the page and size requests.
TEST(DownloadJob, RequestsCarryTheAgentAndTheReloadFlagOnlyWhenAsked) {
  StandInTransport net;
  net.resources[kUrl] = Served("x");
  DownloadJobPtr job = StartDownload(net, kUrl, kTarget, kDownloadWait, u"", 0);
  CloseDownload(job);
  EXPECT_EQ(net.Requests().back().flags, 0x00400800u);
  EXPECT_EQ(net.Requests().back().userAgent, kDownloadUserAgent);
}

TEST(DownloadJob, OnlyAWholeAnswerOfStatus200ReplacesTheOldFile) {
  const std::string program = testing::ProgramBytes({});
  struct Case {
    const char* name;
    std::function<void(StandInTransport&)> setUp;
    uint32_t error;
    uint32_t flags = 0;
  };
  const Case cases[] = {
      {"offline", [](StandInTransport& n) { n.connected = false; }, kDownloadOffline},
      {"no session", [](StandInTransport& n) { n.sessionOpens = false; }, kDownloadOpenFailed},
      {"url not opened", [](StandInTransport& n) { n.resources.clear(); }, kDownloadOpenFailed},
      {"error page", [](StandInTransport& n) { n.resources[kUrl].status = 404; }, kDownloadOpenFailed},
      {"server error", [](StandInTransport& n) { n.resources[kUrl].status = 500; }, kDownloadOpenFailed},
      {"partial content", [](StandInTransport& n) { n.resources[kUrl].status = 206; }, kDownloadOpenFailed},
      {"a redirect not followed", [](StandInTransport& n) { n.resources[kUrl].status = 302; }, kDownloadOpenFailed},
      {"no output file", [](StandInTransport& n) { n.outputOpens = false; }, kDownloadCreateFailed},
      {"target not replaced", [](StandInTransport& n) { n.commitWorks = false; }, kDownloadCreateFailed},
      {"read fails", [](StandInTransport& n) { n.resources[kUrl].failAfter = 1500; }, kDownloadTransferFailed},
      {"connection dropped before the announced length",
       [](StandInTransport& n) { n.resources[kUrl].endAfter = 1500; }, kDownloadTransferFailed},
      {"a program cut short, of unknown length",
       [&](StandInTransport& n) { n.resources[kUrl] = Served(program.substr(0, program.size() - 300), false); },
       kDownloadNotAProgram, kDownloadProgramImage},
  };
  for (const Case& c : cases) {
    StandInTransport net;
    net.resources[kUrl] = Served(program, true, 500);
    net.PutFile(kTarget, "old copy");
    c.setUp(net);
    DownloadJobPtr job = StartDownload(net, kUrl, kTarget, c.flags, u"", 0);
    const Outcome o = WaitForEnd(job);
    EXPECT_EQ(o.error, c.error) << c.name;
    // Once an error is set the job reads as reset.
    EXPECT_EQ(o.stage + o.received, 0u) << c.name;
    CloseDownload(job);
    EXPECT_EQ(net.File(kTarget), "old copy") << c.name;
    EXPECT_EQ(net.OpenOutputs(), 0u) << c.name;
  }
  // The same whole program passes the check.
  StandInTransport net;
  net.resources[kUrl] = Served(program, false);
  DownloadJobPtr job = StartDownload(net, kUrl, kTarget, kDownloadProgramImage | kDownloadWait, u"", 0);
  EXPECT_EQ(WaitForEnd(job).error, kDownloadOk);
  CloseDownload(job);
  EXPECT_EQ(net.File(kTarget), program);
}

TEST(DownloadJob, AnHttpsRequestForwardedToAnotherSchemeIsRefused) {
  const std::u16string secure = u"https://127.0.0.1/ovelant/Ovelant.exe";
  for (const auto& [endsAt, error] : {std::pair<std::u16string, uint32_t>{u"http://127.0.0.1/o.exe", kDownloadOpenFailed},
                                      {u"ftp://127.0.0.1/o.exe", kDownloadOpenFailed},
                                      {u"https://mirror.example/o.exe", kDownloadOk}}) {
    StandInTransport net;
    net.resources[secure] = Served(PatternBytes(30000));
    net.resources[secure].endsAt = endsAt;
    DownloadJobPtr job = StartDownload(net, secure, kTarget, kDownloadWait, u"", 0);
    EXPECT_EQ(WaitForEnd(job).error, error) << WideText(endsAt).ToUtf8();
    CloseDownload(job);
    EXPECT_EQ(GetRemoteFileSize(net, secure), error == kDownloadOk ? 30000u : 0u);
  }
}

TEST(DownloadJob, AnIncredibleLengthIsUnknownAndTheTransferStillEnds) {
  for (const char16_t* length : {u"9223372036854775808", u"-1"}) {
    StandInTransport net;
    net.resources[kUrl] = Served(PatternBytes(30000));
    net.resources[kUrl].lengthText = length;
    EXPECT_EQ(GetRemoteFileSize(net, kUrl), 0u) << WideText(length).ToUtf8();
    DownloadJobPtr job = StartDownload(net, kUrl, kTarget, kDownloadWait, u"", 0);
    const Outcome o = WaitForEnd(job);
    EXPECT_EQ(o.error, kDownloadOk);
    EXPECT_EQ(o.percent, 2u);  // against the unknown size's placeholder
    CloseDownload(job);
  }
}

TEST(DownloadJob, CancelStopsATransferAndLeavesNoTemporaryFile) {
  StandInTransport net;
  net.resources[kUrl] = Served(PatternBytes(3000000), true, 1000);
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
  EXPECT_EQ(net.File(kTarget), "old copy");
  EXPECT_EQ(net.OpenOutputs(), 0u);
}

// Bytes coming in raise the total only past it: an announced total holds all through the transfer.
TEST(DownloadJob, TheAnnouncedTotalIsNeverLowered) {
  StandInTransport net;
  net.resources[kUrl] = Served(PatternBytes(3000000), true, 1000);
  DownloadJobPtr job = StartDownload(net, kUrl, kTarget, 0, u"", 0);
  int seen = 0;
  while (GetDownloadInfo(job.get(), kInfoDone) == 0) {
    const uint32_t received = GetDownloadInfo(job.get(), kInfoReceived);
    if (received == 0 || received >= 3000000) continue;
    ASSERT_EQ(GetDownloadInfo(job.get(), kInfoTotalSize), 3000000u) << received;
    ++seen;
  }
  EXPECT_GT(seen, 0);
  CloseDownload(job);
}

TEST(DownloadJob, ALocalFileOfTheRemoteSizeIsNotFetchedAgain) {
  struct Case {
    uint32_t flags;
    uint64_t knownSize;
    uint32_t stage;
  } cases[] = {{kDownloadSkipIfSameSize, 0, kStageAlreadyPresent},
               {kDownloadSkipIfSameSize, 3999, kStageComplete},  // a known size is compared instead of the file
               {0, 0, kStageComplete}};                          // without the flag it is fetched all the same
  for (const Case& c : cases) {
    StandInTransport net;
    net.resources[kUrl] = Served(PatternBytes(4000));
    net.PutFile(kTarget, std::string(4000, 'o'));
    DownloadJobPtr job = StartDownload(net, kUrl, kTarget, c.flags | kDownloadWait, u"", c.knownSize);
    const Outcome o = WaitForEnd(job);
    EXPECT_EQ(o.stage, c.stage);
    EXPECT_EQ(o.percent, 100u);
    CloseDownload(job);
    EXPECT_EQ(net.File(kTarget), c.stage == kStageAlreadyPresent ? std::string(4000, 'o') : PatternBytes(4000));
  }
}

TEST(DownloadJob, FtpGivesTheSizeWhereHttpGivesNone) {
  StandInTransport net;
  const std::u16string url = u"ftp://127.0.0.1/pub/Ovelant.exe";
  net.resources[url] = Served(PatternBytes(30000), false);
  net.resources[url].ftpSize = 30000;
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
  EXPECT_EQ(o.received + o.total, 2 * 1048576u);
  const uint8_t* bytes = GetDownloadBuffer(job.get());
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), 1048578), PatternBytes(1048576) + std::string(2, '\0'));
  EXPECT_EQ(GetDownloadInfo(job.get(), 0), kNoDownloadInfo);
  EXPECT_EQ(GetDownloadInfo(job.get(), 7), kNoDownloadInfo);
  CloseDownload(job);
  EXPECT_EQ(GetDownloadInfo(nullptr, kInfoDone), kNoDownloadInfo);

  job = StartDownload(net, kUrl, u"", kDownloadToMemory, u"", 51200);  // a known size bounds the read
  EXPECT_EQ(WaitForEnd(job).received, 51200u);
  CloseDownload(job);
  // An empty answer is a failed transfer; file jobs have no buffer.
  net.resources[kUrl] = Served("", false);
  job = StartDownload(net, kUrl, u"", kDownloadToMemory, u"", 0);
  EXPECT_EQ(WaitForEnd(job).error, kDownloadTransferFailed);
  CloseDownload(job);
  net.resources[kUrl] = Served("abc");
  job = StartDownload(net, kUrl, kTarget, kDownloadWait, u"", 0);
  EXPECT_EQ(GetDownloadBuffer(job.get()), nullptr);
  EXPECT_EQ(GetDownloadBuffer(nullptr), nullptr);
  CloseDownload(job);
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

TEST(RemoteFileSize, SendsTheSearchRefererAndAnswersZeroOnFailureOrCancel) {
  StandInTransport net;
  net.resources[kUrl] = Served(PatternBytes(12345));
  EXPECT_EQ(GetRemoteFileSize(net, kUrl), 12345u);
  EXPECT_EQ(net.Requests().back().headers, u"Referer: " + std::u16string(kSearchReferer) + u"\r\n\r\n");
  EXPECT_EQ(net.Requests().back().flags, 0x80400000u);
  int steps = 0;
  const KeepWaiting counting = [&] {
    net.holdOpens = false;  // the probe waits for the caller's first step
    return ++steps > 0;
  };
  net.holdOpens = true;
  EXPECT_EQ(GetRemoteFileSize(net, kUrl, counting), 12345u);
  EXPECT_GT(steps, 0);  // the caller's own wait step, not the transport's
  net.holdOpens = true;
  EXPECT_EQ(GetRemoteFileSize(net, kUrl, [&] { return net.holdOpens = false; }), 0u);  // cancelled
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
    std::u16string published;
    StandInResource answer;
    std::u16string fetched;  // the URL of the last request
  } cases[] = {{fileUrl, Served(PatternBytes(10240)), fileUrl},
               {pageUrl, Served("<meta http-equiv=\"refresh\" content=\"0; url=/files/Ovelant-3.exe\">"), fileUrl},
               {kUrl, Served(PatternBytes(3000), false), kUrl}};  // a small file named .exe
  for (const Case& c : cases) {
    StandInTransport net;
    net.AddFolder(u"tools");
    net.resources[c.published] = c.answer;
    net.resources[fileUrl] = Served(PatternBytes(10240));
    DownloadJobPtr job = ResolveAndStartDownload(net, kTarget, WideText(std::u16string_view(c.published)));
    ASSERT_TRUE(job);
    EXPECT_EQ(WaitForEnd(job).error, kDownloadOk);
    CloseDownload(job);
    const auto requests = net.Requests();
    EXPECT_EQ(requests.back().url, c.fetched);
    // The referer is the published folder, without its trailing slash.
    const std::u16string folder = c.published.substr(0, c.published.rfind(u'/'));
    EXPECT_EQ(requests.back().headers, u"Referer: " + folder + u"\r\n\r\n");
    EXPECT_EQ(requests.back().flags, 0x80400800u);
  }
  // Nothing for a folder, an address too short or a cancel during the size probe; missing folders are made.
  StandInTransport net;
  net.AddFolder(u"tools");
  net.resources[kUrl] = Served(PatternBytes(20000));
  EXPECT_FALSE(ResolveAndStartDownload(net, u"tools", kUrl));
  EXPECT_FALSE(ResolveAndStartDownload(net, kTarget, u"http"));
  EXPECT_TRUE(net.Requests().empty());
  net.holdOpens = true;  // the probe lasts until the caller's first wait step, which cancels
  EXPECT_FALSE(ResolveAndStartDownload(net, kTarget, kUrl, 0, [&] { return net.holdOpens = false; }));
  DownloadJobPtr job = ResolveAndStartDownload(net, u"new\\deep\\O.exe", kUrl);
  ASSERT_TRUE(job);
  CloseDownload(job);
  EXPECT_TRUE(net.FolderExists(u"new\\deep"));
}

}  // namespace
}  // namespace pyr
