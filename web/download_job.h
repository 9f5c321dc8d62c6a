// The download engine: one URL fetched into a file or into memory on threads of its own, polled
// by its owner. A file transfer reads on one thread and writes on another through two buffers.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "base/wide_text.h"
#include "web/download_transport.h"

namespace pyr {

enum DownloadFlag : uint32_t {
  kDownloadWait = 1,            // return when the transfer has ended, handling messages meanwhile
  kDownloadReload = 2,          // bypass the cache
  kDownloadToMemory = 4,        // into the job's buffer instead of a file
  kDownloadSkipIfSameSize = 8,  // a local file of the remote size is not fetched again
  kDownloadProgramImage = 16,   // only a complete program image replaces the file
};

enum DownloadStage : uint32_t {
  kStageNone = 0,
  kStageOpening = 1,
  kStageWriting = 2,
  kStageComplete = 3,
  kStageAlreadyPresent = 4,
};

enum DownloadError : uint32_t {
  kDownloadOk = 0,
  kDownloadOffline = 1,
  kDownloadOpenFailed = 2,  // session, URL (any HTTP status but 200, https left for another scheme) or FTP file
  kDownloadCancelled = 3,
  kDownloadCreateFailed = 4,
  kDownloadNoMemory = 5,
  kDownloadTransferFailed = 6,
  kDownloadNotAProgram = 7,  // kDownloadProgramImage: what arrived is no complete program image
  kDownloadNotSigned = 8,    // with a signer: what arrived is not signed by it, and was deleted
};

// Selectors of GetDownloadInfo.
enum DownloadInfo : uint32_t {
  kInfoTotalSize = 1,
  kInfoReceived = 2,
  kInfoPercent = 3,
  kInfoStage = 4,
  kInfoError = 5,
  kInfoDone = 6,
};
inline constexpr uint32_t kNoDownloadInfo = 0xFFFFFFFF;

inline constexpr char16_t kDownloadUserAgent[] =
    u"Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    u"Chrome/112.0.0.0 Safari/537.36";

struct DownloadJob;
// Releasing a job that still runs cancels it and waits for its threads.
struct DownloadJobDeleter {
  void operator()(DownloadJob* job) const;
};
using DownloadJobPtr = std::unique_ptr<DownloadJob, DownloadJobDeleter>;

// Null when the reading thread could not be started. An empty path is for memory transfers. With
// a signer, a file transfer replaces the file only when the temporary file is signed by it.
DownloadJobPtr StartDownload(DownloadTransport& transport, std::u16string_view url,
                             std::u16string_view filePath, uint32_t flags,
                             std::u16string_view referer, uint64_t knownSize,
                             const SignaturePolicy* signer = nullptr);
// kNoDownloadInfo for no job or an unknown selector. Once an error is set the job reports
// stage and received count as 0.
uint32_t GetDownloadInfo(DownloadJob* job, uint32_t what);
// The received bytes followed by two zero bytes; null unless the job delivers into memory.
const uint8_t* GetDownloadBuffer(const DownloadJob* job);
// The whole received count, beyond the 32 bits of GetDownloadInfo.
uint64_t DownloadedBytes(const DownloadJob* job);
// Cancels a running job (error 3), waits for its threads while handling messages, and
// releases it; the reference becomes null.
void CloseDownload(DownloadJobPtr& job);

// Between the steps of a blocking wait: handles the caller's events; false when the caller
// cancelled (the wait then still ends, with no result).
using KeepWaiting = std::function<bool()>;

// Blocking, while the caller's messages are handled (by keepWaiting when given, else by the
// transport's wait step): the size of the resource, 0 when unknown, cancelled, or when the
// request fails.
uint64_t GetRemoteFileSize(DownloadTransport& transport, std::u16string_view url,
                           const KeepWaiting& keepWaiting = {});
// Blocking, without handling messages: the page at url as text.
bool DownloadText(DownloadTransport& transport, std::u16string_view url, std::u16string_view referer,
                  WideText* text, uint64_t knownSize);

}  // namespace pyr
