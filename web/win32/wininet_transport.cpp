#include "web/win32/wininet_transport.h"

#include <windows.h>
#include <wininet.h>

#include <string>

#include "base/file_system.h"
#include "base/win32/wchar.h"
#include "web/win32/program_signature.h"
#include "web/win32/wininet_api.h"

namespace pyr {

namespace {

class InternetHandle {
 public:
  InternetHandle() = default;
  explicit InternetHandle(HINTERNET h) : handle_(h) {}
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  InternetHandle& operator=(InternetHandle&& o) noexcept {
    if (this != &o) {
      Reset();
      handle_ = o.handle_;
      o.handle_ = nullptr;
    }
    return *this;
  }
  ~InternetHandle() { Reset(); }
  void Reset() {
    // A handle exists only once WinINet was loaded.
    if (handle_ != nullptr) WinInet()->InternetCloseHandle(handle_);
    handle_ = nullptr;
  }
  HINTERNET Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  HINTERNET handle_ = nullptr;
};

const wchar_t* Wide(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

class WinInetConnection : public DownloadConnection {
 public:
  // Closed in reverse order of opening: the file before its FTP connection before the session.
  ~WinInetConnection() override {
    request_.Reset();
    ftpConnection_.Reset();
    session_.Reset();
  }

  bool OpenSession(std::u16string_view userAgent, uint32_t connectTimeoutMs, uint32_t retries) override {
    if (net_ == nullptr) return false;
    const std::u16string agent(userAgent);
    session_ = InternetHandle(net_->InternetOpenW(Wide(agent), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session_) return false;
    DWORD timeout = connectTimeoutMs, tries = retries;
    net_->InternetSetOptionW(session_.Get(), INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof(timeout));
    net_->InternetSetOptionW(session_.Get(), INTERNET_OPTION_CONNECT_RETRIES, &tries, sizeof(tries));
    return true;
  }

  bool OpenUrl(std::u16string_view url, std::u16string_view headers, uint32_t flags) override {
    const std::u16string target(url), extra(headers);
    request_ = InternetHandle(net_->InternetOpenUrlW(session_.Get(), Wide(target), extra.empty() ? nullptr : Wide(extra),
                                               static_cast<DWORD>(extra.size()), flags, 0));
    return static_cast<bool>(request_);
  }

  uint32_t StatusCode() override {
    DWORD code = 0, size = sizeof(code);
    if (!net_->HttpQueryInfoW(request_.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &size, nullptr)) {
      return 0;
    }
    return code;
  }

  std::u16string FinalUrl() override {
    DWORD size = 0;
    net_->InternetQueryOptionW(request_.Get(), INTERNET_OPTION_URL, nullptr, &size);
    if (size == 0) return {};
    std::wstring url(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(url.size() * sizeof(wchar_t));
    if (!net_->InternetQueryOptionW(request_.Get(), INTERNET_OPTION_URL, url.data(), &size)) return {};
    return std::u16string(U(url.c_str()));
  }

  std::u16string ContentLengthText() override {
    wchar_t text[128] = {};
    DWORD size = sizeof(text);
    if (!net_->HttpQueryInfoW(request_.Get(), HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return {};
    return std::u16string(U(text));
  }

  uint64_t ContentLengthNumber() override {
    DWORD length = 0, size = sizeof(length);
    if (!net_->HttpQueryInfoW(request_.Get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &size,
                        nullptr)) {
      return 0;
    }
    return length;
  }

  bool OpenFtpFile(std::u16string_view url, bool secure) override {
    const std::u16string target(url);
    wchar_t host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
    std::wstring path(INTERNET_MAX_PATH_LENGTH + 1, L'\0'), extra(INTERNET_MAX_PATH_LENGTH + 1, L'\0');
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = INTERNET_MAX_HOST_NAME_LENGTH + 1;
    parts.lpszUrlPath = path.data();
    parts.dwUrlPathLength = static_cast<DWORD>(path.size());
    parts.lpszExtraInfo = extra.data();
    parts.dwExtraInfoLength = static_cast<DWORD>(extra.size());
    if (!net_->InternetCrackUrlW(Wide(target), 0, 0, &parts)) return false;
    const INTERNET_PORT port = parts.nPort != 0 ? parts.nPort : INTERNET_DEFAULT_FTP_PORT;
    path.resize(parts.dwUrlPathLength);
    path.append(extra.c_str(), parts.dwExtraInfoLength);
    ftpConnection_ = InternetHandle(net_->InternetConnectW(session_.Get(), host, port, nullptr, nullptr,
                                                     INTERNET_SERVICE_FTP, secure ? INTERNET_FLAG_SECURE : 0, 0));
    if (!ftpConnection_) return false;
    InternetHandle file(net_->FtpOpenFileW(ftpConnection_.Get(), path.c_str(), GENERIC_READ,
                                     FTP_TRANSFER_TYPE_BINARY | INTERNET_FLAG_RELOAD, 0));
    if (!file) return false;
    request_ = std::move(file);
    return true;
  }

  uint64_t FtpFileSize() override {
    DWORD high = 0;
    const DWORD low = net_->FtpGetFileSize(request_.Get(), &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return 0;
    return (static_cast<uint64_t>(high) << 32) | low;
  }

  void QueryDataAvailable() override {
    DWORD available = 0;
    net_->InternetQueryDataAvailable(request_.Get(), &available, 0, 0);
  }

  bool Read(void* buffer, uint32_t size, uint32_t* count) override {
    DWORD read = 0;
    const BOOL ok = net_->InternetReadFile(request_.Get(), buffer, size, &read);
    *count = read;
    return ok != FALSE;
  }

 private:
  InternetHandle session_;
  InternetHandle ftpConnection_;
  // Null when WinINet could not be loaded: then no session opens and nothing else is reached.
  const WinInetApi* net_ = WinInet();
  InternetHandle request_;
};

class FileOutput : public DownloadOutput {
 public:
  FileOutput(HANDLE file, std::u16string temporary, std::u16string target)
      : file_(file), temporary_(std::move(temporary)), target_(std::move(target)) {}
  ~FileOutput() override {
    if (file_ != INVALID_HANDLE_VALUE) Discard();
  }

  bool Write(const void* data, uint32_t size) override {
    DWORD written = 0;
    return WriteFile(file_, data, size, &written, nullptr) && written == size;
  }

  SignatureFacts ReadSignature() override {
    FlushFileBuffers(file_);
    return ReadSignatureFacts(file_, WideText(temporary_));
  }

  bool Commit() override {
    // The rename below does not flush the data: a power cut could leave a zero-filled file of the
    // right size, which the size check would then keep.
    const bool flushed = FlushFileBuffers(file_) != FALSE;
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    if (!flushed) {
      DeleteFileW(Wide(temporary_));
      return false;
    }
    constexpr DWORD kReplace = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (MoveFileExW(Wide(temporary_), Wide(target_), kReplace)) return true;
    // A read-only copy in the way is still ours to replace.
    SetFileAttributesW(Wide(target_), FILE_ATTRIBUTE_NORMAL);
    if (MoveFileExW(Wide(temporary_), Wide(target_), kReplace)) return true;
    DeleteFileW(Wide(temporary_));
    return false;
  }

  void Discard() override {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    DeleteFileW(Wide(temporary_));
  }

 private:
  HANDLE file_;
  std::u16string temporary_;
  std::u16string target_;
};

// Always a new file: whatever held the name before is never written through.
HANDLE CreateOutputFile(const std::u16string& path) {
  return CreateFileW(Wide(path), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

std::u16string TemporaryDownloadPath(std::u16string_view target) {
  return std::u16string(target) + u".download";
}

bool WinInetTransport::IsConnected() {
  const WinInetApi* net = WinInet();
  DWORD flags = 0;
  return net != nullptr && net->InternetGetConnectedState(&flags, 0) != FALSE;
}

std::unique_ptr<DownloadConnection> WinInetTransport::NewConnection() {
  return std::make_unique<WinInetConnection>();
}

std::unique_ptr<DownloadOutput> WinInetTransport::CreateOutput(std::u16string_view target) {
  const std::u16string targetPath(target);
  if (targetPath.empty()) return nullptr;
  const std::u16string temporary = TemporaryDownloadPath(targetPath);
  const size_t slash = targetPath.find_last_of(u'\\');
  if (slash != std::u16string::npos) CreateDirectoryTree(WideText(targetPath.substr(0, slash)));
  HANDLE file = CreateOutputFile(temporary);
  const WideText leftover(temporary);
  if (file == INVALID_HANDLE_VALUE && PathTaken(leftover)) {
    // A leftover of an earlier run (read-only too) goes; a link put in its place is refused.
    if (RemovePlainFile(leftover)) file = CreateOutputFile(temporary);
  }
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<FileOutput>(file, temporary, targetPath);
}

bool WinInetTransport::FileSize(std::u16string_view path, uint64_t* size) {
  const std::u16string p(path);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Wide(p), GetFileExInfoStandard, &data)) return false;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  *size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return true;
}

bool WinInetTransport::FolderExists(std::u16string_view path) { return IsRealDirectory(WideText(path)); }

bool WinInetTransport::CreateFolderTree(std::u16string_view path) {
  std::u16string_view folder(path);
  while (!folder.empty() && folder.back() == u'\\') folder.remove_suffix(1);
  return CreateDirectoryTree(WideText(folder));
}

void WinInetTransport::WaitStep(uint32_t sleepMs) {
  MSG msg;
  bool handled = false;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    handled = true;
  }
  if (!handled) SleepEx(sleepMs, TRUE);
}

bool WinInetTransport::LooksLikeUtf16(const uint8_t* bytes, uint32_t count) {
  return IsTextUnicode(bytes, static_cast<int>(count), nullptr) != FALSE;
}

}  // namespace pyr
