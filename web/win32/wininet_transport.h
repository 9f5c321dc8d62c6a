// The download engine's transport on WinINet and the Windows file functions.
#pragma once

#include "web/download_transport.h"

namespace pyr {

class WinInetTransport : public DownloadTransport {
 public:
  bool IsConnected() override;
  std::unique_ptr<DownloadConnection> NewConnection() override;
  std::unique_ptr<DownloadOutput> CreateOutput(std::u16string_view target) override;
  bool FileSize(std::u16string_view path, uint64_t* size) override;
  bool FolderExists(std::u16string_view path) override;
  bool CreateFolderTree(std::u16string_view path) override;
  void WaitStep(uint32_t sleepMs) override;
  bool LooksLikeUtf16(const uint8_t* bytes, uint32_t count) override;
};

// The temporary file a transfer into target writes before it replaces target.
std::u16string TemporaryDownloadPath(std::u16string_view target);

}  // namespace pyr
