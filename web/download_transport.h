// The download engine's seam to the network and the disk. Its calls mirror the WinINet and file
// calls the engine makes and decide nothing: the engine's rules stay portable, and a stand-in
// lets its threads run natively.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "web/program_signature.h"

namespace pyr {

// Request flags as WinINet defines them.
inline constexpr uint32_t kInternetFlagReload = 0x80000000;
inline constexpr uint32_t kInternetFlagKeepConnection = 0x00400000;
inline constexpr uint32_t kInternetFlagResynchronize = 0x00000800;

// One request: a session, the URL opened in it and, for FTP, the file opened over its own
// connection. Used by one thread at a time; closed by its destructor.
class DownloadConnection {
 public:
  virtual ~DownloadConnection() = default;
  // InternetOpenW with the user agent, then the connect time-out and retries.
  virtual bool OpenSession(std::u16string_view userAgent, uint32_t connectTimeoutMs, uint32_t retries) = 0;
  // InternetOpenUrlW; empty headers send none.
  virtual bool OpenUrl(std::u16string_view url, std::u16string_view headers, uint32_t flags) = 0;
  // The HTTP status of the opened URL; 0 when it has none (FTP).
  virtual uint32_t StatusCode() = 0;
  // The URL the opened request ended at, after the forwarding WinINet follows itself.
  virtual std::u16string FinalUrl() = 0;
  // HTTP_QUERY_CONTENT_LENGTH as text (empty when absent) and as a number (0 when absent).
  virtual std::u16string ContentLengthText() = 0;
  virtual uint64_t ContentLengthNumber() = 0;
  // Splits the URL, connects to its FTP server (TLS when secure) and opens the file for reading;
  // the file becomes what Read reads. False when any of these fails.
  virtual bool OpenFtpFile(std::u16string_view url, bool secure) = 0;
  virtual uint64_t FtpFileSize() = 0;
  virtual void QueryDataAvailable() = 0;
  // False when the read failed; *count 0 at the end of the data.
  virtual bool Read(void* buffer, uint32_t size, uint32_t* count) = 0;
};

// The output of a file transfer: a temporary file beside the target, moved over the target only
// once it is complete.
class DownloadOutput {
 public:
  virtual ~DownloadOutput() = default;
  virtual bool Write(const void* data, uint32_t size) = 0;
  // Flushes the temporary file and asks WinVerifyTrust about it through the output's own handle,
  // which shares the file for reading only: what was checked is what Commit then moves.
  virtual SignatureFacts ReadSignature() = 0;
  // Flushes the file to the disk, closes it and moves it over the target (replace, write-through).
  virtual bool Commit() = 0;
  // Closes and deletes the temporary file; the target stays as it was. The destructor of an
  // output neither committed nor discarded discards it.
  virtual void Discard() = 0;
};

class DownloadTransport {
 public:
  virtual ~DownloadTransport() = default;
  // InternetGetConnectedState.
  virtual bool IsConnected() = 0;
  virtual std::unique_ptr<DownloadConnection> NewConnection() = 0;
  // Creates the folders above target and the temporary file beside it, as a new file; null when it
  // cannot, or when a link holds the temporary file's name.
  virtual std::unique_ptr<DownloadOutput> CreateOutput(std::u16string_view target) = 0;
  // The size of the file at path; false when there is none.
  virtual bool FileSize(std::u16string_view path, uint64_t* size) = 0;
  // An existing folder that is not a reparse point.
  virtual bool FolderExists(std::u16string_view path) = 0;
  // Creates the folder and every missing one above it.
  virtual bool CreateFolderTree(std::u16string_view path) = 0;
  // The caller's wait step while a blocking call runs on another thread: handle the pending
  // window messages, or sleep sleepMs when there were none.
  virtual void WaitStep(uint32_t sleepMs) = 0;
  // IsTextUnicode's verdict on the first bytes of a page without a byte-order mark.
  virtual bool LooksLikeUtf16(const uint8_t* bytes, uint32_t count) = 0;
};

}  // namespace pyr
