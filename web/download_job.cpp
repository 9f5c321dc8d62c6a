#include "web/download_job.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "web/download_rules.h"
#include "web/program_image.h"
#include "web/site_addresses.h"

namespace pyr {

namespace {

constexpr uint32_t kConnectTimeoutMs = 10000;
constexpr uint32_t kConnectRetries = 2;

}  // namespace

struct DownloadJob {
  DownloadJob(DownloadTransport& t) : transport(t) {}

  DownloadTransport& transport;
  std::u16string url, filePath, referer, headers;
  uint32_t flags = 0;
  uint64_t knownSize = 0;
  std::optional<SignaturePolicy> signer;

  std::atomic<uint64_t> totalSize{0};
  std::atomic<uint64_t> received{0};
  std::atomic<uint32_t> percent{0};
  std::atomic<uint32_t> stage{kStageNone};
  std::atomic<uint32_t> error{kDownloadOk};
  std::atomic<uint32_t> pending[2] = {0, 0};
  std::atomic<bool> finished{false};
  std::atomic<bool> writerEnded{false};
  std::atomic<bool> readerEnded{false};

  // Touched only by the reading thread until it ends, then by the owner.
  std::unique_ptr<DownloadConnection> connection;
  std::vector<uint8_t> memory;
  // Filled by the reader while their pending count is 0, emptied by the writer while it is not.
  std::vector<uint8_t> buffers[2];
  std::thread reader;

  void SetError(uint32_t code) {
    error.store(code);
  }
  // The first failure is the one reported; a cancel stays a cancel.
  void Fail(uint32_t code) {
    uint32_t none = kDownloadOk;
    error.compare_exchange_strong(none, code);
  }
  bool Failed() const { return error.load() != kDownloadOk; }
  // Waits until ready() holds or an error is set; false on the error. The other side usually
  // answers within a chunk's time, so the wait yields first and sleeps only when it lasts; a
  // fixed 10 ms sleep per hand-over would cap a file transfer far below the network's speed.
  template <typename Ready>
  bool WaitFor(Ready ready) {
    for (int round = 0;; ++round) {
      if (Failed()) return false;
      if (ready()) return true;
      if (round < 2000) {
        std::this_thread::yield();
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
  }
};

namespace {

// The size the server announces: Content-Length, or the FTP file size for an ftp URL whose
// server gives none; 0 when unknown or not credible. False when the answer is not the resource:
// any HTTP status but 200 (an error, a redirect not followed, a partial answer), an https request
// that ended on another scheme, or an FTP file that cannot be opened.
bool QueryRemoteSize(DownloadConnection& connection, std::u16string_view url, uint64_t* size) {
  if (UrlHasPrefix(url, u"http") && connection.StatusCode() != 200) return false;
  if (UrlHasPrefix(url, u"https:") && !UrlHasPrefix(connection.FinalUrl(), u"https:")) return false;
  const std::u16string text = connection.ContentLengthText();
  // The numeric query only where there is no text to judge: WinINet reads "-1" as a number too.
  *size = text.empty() ? CredibleSize(connection.ContentLengthNumber()) : ParseContentLength(text);
  if (*size == 0 && UrlHasPrefix(url, u"ftp")) {
    if (!connection.OpenFtpFile(url, UrlHasPrefix(url, u"ftps"))) return false;
    *size = CredibleSize(connection.FtpFileSize());
  }
  return true;
}

void RaiseTotal(DownloadJob& job, uint64_t received) {
  uint64_t total = job.totalSize.load();
  while (received > total && !job.totalSize.compare_exchange_weak(total, received)) {
  }
}

void TransferToMemory(DownloadJob& job, const ChunkPlan& chunks, uint64_t announced) {
  const MemoryPlan plan = PlanMemoryTransfer(job.knownSize, job.totalSize.load(), chunks.chunk);
  job.totalSize.store(plan.total);
  try {
    job.memory.resize(plan.capacity + 2);
  } catch (const std::bad_alloc&) {
    job.Fail(kDownloadNoMemory);
    return;
  } catch (const std::length_error&) {
    job.Fail(kDownloadNoMemory);
    return;
  }
  DownloadConnection& connection = *job.connection;
  uint64_t received = 0;
  while (!job.Failed() && received < plan.total) {
    connection.QueryDataAvailable();
    const uint64_t room = plan.total - received;
    uint32_t count = 0;
    if (!connection.Read(job.memory.data() + received, room < plan.chunk ? static_cast<uint32_t>(room) : plan.chunk,
                         &count) ||
        count == 0) {
      break;
    }
    received += count;
    job.received.store(received);
    job.percent.store(DownloadPercent(received, plan.total));
  }
  if (job.Failed()) return;
  // A connection dropped before the announced bytes (or the capacity) arrived is no page.
  const uint64_t expected = announced < plan.total ? announced : plan.total;
  if (received == 0 || (announced != 0 && received < expected)) {
    job.Fail(kDownloadTransferFailed);
    return;
  }
  job.memory[received] = 0;
  job.memory[received + 1] = 0;
  job.totalSize.store(received);
  job.stage.store(kStageComplete);
}

void WriterThread(DownloadJob& job) {
  std::unique_ptr<DownloadOutput> output = job.transport.CreateOutput(job.filePath);
  std::vector<uint8_t> head;  // the start of the file, for the program image check
  uint64_t written = 0;
  if (!output) {
    job.Fail(kDownloadCreateFailed);
  } else {
    for (int which = 0; !job.Failed(); which ^= 1) {
      if (!job.WaitFor([&] { return job.pending[which].load() >= 1 || job.finished.load(); })) break;
      const uint32_t count = job.pending[which].load();
      if (count == 0) break;  // finished, with both buffers written
      if (!output->Write(job.buffers[which].data(), count)) job.Fail(kDownloadTransferFailed);
      written += count;
      if ((job.flags & kDownloadProgramImage) && head.size() < kProgramHeadBytes) {
        head.insert(head.end(), job.buffers[which].begin(),
                    job.buffers[which].begin() + std::min<size_t>(count, kProgramHeadBytes - head.size()));
      }
      job.pending[which].store(0);
    }
    job.pending[0].store(0);
    job.pending[1].store(0);
    if (!job.Failed() && job.finished.load() && (job.flags & kDownloadProgramImage) &&
        !IsCompleteProgramImage(head.data(), head.size(), written)) {
      job.Fail(kDownloadNotAProgram);
    }
    // Before the rename: a program that is not the signer's never takes the old one's place.
    if (!job.Failed() && job.finished.load() && job.signer && !SignedByMaker(output->ReadSignature(), *job.signer)) {
      job.Fail(kDownloadNotSigned);
    }
    if (!job.Failed() && job.finished.load()) {
      if (output->Commit()) {
        job.stage.store(kStageComplete);
      } else {
        job.Fail(kDownloadCreateFailed);
      }
    } else {
      output->Discard();
    }
  }
  job.writerEnded.store(true);
}

void TransferToFile(DownloadJob& job, const ChunkPlan& plan, uint64_t announced) {
  job.stage.store(kStageWriting);
  job.buffers[0].resize(plan.chunk);
  job.buffers[1].resize(plan.chunk);
  job.pending[0].store(0);
  job.pending[1].store(0);
  job.finished.store(false);
  std::thread writer;
  try {
    writer = std::thread(WriterThread, std::ref(job));
  } catch (const std::system_error&) {
    job.Fail(kDownloadCreateFailed);
    return;
  }
  DownloadConnection& connection = *job.connection;
  uint64_t received = 0;
  bool ended = false;
  for (int which = 0; !ended && !job.Failed(); which ^= 1) {
    if (!job.WaitFor([&] { return job.pending[which].load() == 0; })) break;
    uint32_t count = 0;
    if (!connection.Read(job.buffers[which].data(), plan.chunk, &count)) {
      job.Fail(kDownloadTransferFailed);
      break;
    }
    if (count == 0) {
      ended = true;
      break;
    }
    received += count;
    job.received.store(received);
    RaiseTotal(job, received);
    job.percent.store(DownloadPercent(received, job.totalSize.load()));
    job.pending[which].store(count);
  }
  // A connection that closes before the announced length is a failed transfer, never a file.
  if (ended && announced != 0 && received < announced) job.Fail(kDownloadTransferFailed);
  if (ended && !job.Failed()) {
    job.WaitFor([&] {
      return (job.pending[0].load() == 0 && job.pending[1].load() == 0) || job.writerEnded.load();
    });
    if (!job.Failed()) job.finished.store(true);
  }
  job.totalSize.store(received);
  writer.join();
}

void ReadUrl(DownloadJob& job) {
  job.totalSize.store(0);
  if (!job.transport.IsConnected()) return job.Fail(kDownloadOffline);
  job.connection = job.transport.NewConnection();
  if (!job.connection || !job.connection->OpenSession(kDownloadUserAgent, kConnectTimeoutMs, kConnectRetries)) {
    return job.Fail(kDownloadOpenFailed);
  }
  job.stage.store(kStageOpening);
  job.headers = RefererHeaders(job.referer);
  uint32_t requestFlags = kInternetFlagKeepConnection | kInternetFlagResynchronize;
  if (job.flags & kDownloadReload) requestFlags |= kInternetFlagReload;
  if (!job.connection->OpenUrl(job.url, job.headers, requestFlags)) return job.Fail(kDownloadOpenFailed);
  uint64_t announced = 0;
  if (!QueryRemoteSize(*job.connection, job.url, &announced)) return job.Fail(kDownloadOpenFailed);
  job.totalSize.store(announced);

  if (announced != 0 && (job.flags & kDownloadSkipIfSameSize)) {
    uint64_t local = job.knownSize;
    const bool haveLocal = local != 0 || job.transport.FileSize(job.filePath, &local);
    if (haveLocal && local == announced) {
      job.received.store(announced);
      job.percent.store(100);
      job.stage.store(kStageAlreadyPresent);
      return;
    }
  }
  const ChunkPlan plan = PlanChunks(announced);
  job.totalSize.store(plan.total);
  if (job.flags & kDownloadToMemory) {
    TransferToMemory(job, plan, announced);
  } else {
    TransferToFile(job, plan, announced);
  }
}

void ReadingThread(DownloadJob& job) {
  ReadUrl(job);
  job.readerEnded.store(true);
}

}  // namespace

void DownloadJobDeleter::operator()(DownloadJob* job) const {
  if (job->reader.joinable()) {
    job->SetError(kDownloadCancelled);
    job->reader.join();
  }
  delete job;
}

DownloadJobPtr StartDownload(DownloadTransport& transport, std::u16string_view url,
                             std::u16string_view filePath, uint32_t flags,
                             std::u16string_view referer, uint64_t knownSize, const SignaturePolicy* signer) {
  DownloadJobPtr job(new DownloadJob(transport));
  if (signer) job->signer = *signer;
  job->url = url;
  WideText path(filePath);
  path.AddLongPathPrefix();
  job->filePath = path.Str();
  job->flags = flags;
  job->referer = referer;
  job->knownSize = knownSize;
  try {
    job->reader = std::thread(ReadingThread, std::ref(*job));
  } catch (const std::system_error&) {
    return nullptr;
  }
  if (flags & kDownloadWait) {
    while (!job->readerEnded.load()) transport.WaitStep(5);
  }
  return job;
}

uint32_t GetDownloadInfo(DownloadJob* job, uint32_t what) {
  if (job == nullptr) return kNoDownloadInfo;
  const uint32_t error = job->error.load();
  if (error != kDownloadOk) {
    job->stage.store(kStageNone);
    job->received.store(0);
  }
  switch (what) {
    case kInfoTotalSize:
      return static_cast<uint32_t>(job->totalSize.load());
    case kInfoReceived:
      return static_cast<uint32_t>(job->received.load());
    case kInfoPercent:
      return job->percent.load();
    case kInfoStage:
      return job->stage.load();
    case kInfoError:
      return error;
    case kInfoDone: {
      const uint32_t stage = job->stage.load();
      return error != kDownloadOk || stage == kStageComplete || stage == kStageAlreadyPresent ? 1 : 0;
    }
    default:
      return kNoDownloadInfo;
  }
}

const uint8_t* GetDownloadBuffer(const DownloadJob* job) {
  if (job == nullptr || !(job->flags & kDownloadToMemory) || job->memory.empty()) return nullptr;
  return job->memory.data();
}

uint64_t DownloadedBytes(const DownloadJob* job) { return job ? job->received.load() : 0; }

void CloseDownload(DownloadJobPtr& job) {
  if (!job) return;
  job->SetError(kDownloadCancelled);
  while (!job->readerEnded.load()) job->transport.WaitStep(10);
  job.reset();
}

uint64_t GetRemoteFileSize(DownloadTransport& transport, std::u16string_view url, const KeepWaiting& keepWaiting) {
  std::atomic<uint64_t> size{0};
  std::atomic<bool> ended{false};
  const std::u16string target(url);
  auto probe = [&] {
    if (transport.IsConnected()) {
      std::unique_ptr<DownloadConnection> connection = transport.NewConnection();
      uint64_t found = 0;
      if (connection && connection->OpenSession(kDownloadUserAgent, kConnectTimeoutMs, kConnectRetries) &&
          connection->OpenUrl(target, u"Referer: " + std::u16string(kSearchReferer) + u"\r\n\r\n",
                              kInternetFlagReload | kInternetFlagKeepConnection) &&
          QueryRemoteSize(*connection, target, &found)) {
        size.store(found);
      }
    }
    ended.store(true);
  };
  std::thread worker;
  try {
    worker = std::thread(probe);
  } catch (const std::system_error&) {
    return 0;
  }
  bool cancelled = false;
  while (!ended.load()) {
    if (!keepWaiting) {
      transport.WaitStep(5);
    } else if (!keepWaiting()) {
      cancelled = true;
    }
  }
  worker.join();
  return cancelled ? 0 : size.load();
}

bool DownloadText(DownloadTransport& transport, std::u16string_view url, std::u16string_view referer,
                  WideText* text, uint64_t knownSize) {
  text->Clear();
  DownloadJobPtr job = StartDownload(transport, url, u"", kDownloadReload | kDownloadToMemory,
                                     referer.empty() ? url : referer, knownSize);
  if (!job) return false;
  for (;;) {
    if (job->error.load() != kDownloadOk) {
      CloseDownload(job);
      return false;
    }
    if (job->stage.load() == kStageComplete) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  const uint8_t* bytes = GetDownloadBuffer(job.get());
  *text = DecodePageBytes(bytes, static_cast<size_t>(job->received.load()),
                          [&transport](const uint8_t* b, uint32_t n) { return transport.LooksLikeUtf16(b, n); });
  CloseDownload(job);
  return true;
}

}  // namespace pyr
