// A download transport for native tests: resources served from memory by URL, files kept in
// memory by path, and switches for the faults the engine must survive.
#pragma once

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "web/download_transport.h"

namespace pyr::testing {

struct StandInResource {
  uint32_t status = 200;
  std::string body;
  bool announceLength = true;  // send Content-Length
  bool lengthAsNumberOnly = false;  // the text query fails, the numeric one answers
  uint64_t ftpSize = 0;        // for ftp URLs: the size the FTP server gives
  bool ftpOpens = true;
  int64_t failAfter = -1;      // the read that would pass this many bytes fails
  int64_t endAfter = -1;       // the connection closes (reads return 0) after this many bytes
  uint32_t bytesPerRead = 0;   // 0: as many as asked for
  std::u16string lengthText;   // a Content-Length of the server's own, instead of the body's size
  std::u16string endsAt;       // where WinINet's own forwarding ended; empty: the URL itself
};

class StandInTransport : public DownloadTransport {
  template <typename F>
  auto Locked(F f) {
    std::lock_guard lock(mutex_);
    return f();
  }

 public:
  struct Request {
    std::u16string url, headers, userAgent;
    uint32_t flags = 0;
  };

  // --- Script ---
  std::map<std::u16string, StandInResource> resources;
  bool connected = true, sessionOpens = true, outputOpens = true, commitWorks = true;
  // What WinVerifyTrust says of a temporary file's bytes; by default the scripted host's signer.
  std::function<SignatureFacts(const std::string&)> signatureOf = [](const std::string&) {
    return SignatureFacts{0, 0, u"Maker", u"DE", ""};
  };
  // While set, reads (and opens) wait: a slow server; the test releases them.
  std::atomic<bool> holdReads{false}, holdOpens{false};
  // The fault schedule: the failAt-th call of the transport (counted from 1) fails; calls counts them.
  std::atomic<uint64_t> calls{0}, failAt{0};

  // --- Record ---
  std::vector<Request> Requests() { return Locked([&] { return requests_; }); }
  std::string File(const std::u16string& path) { return Locked([&] { return files_.count(path) ? files_[path] : std::string(); }); }
  void PutFile(const std::u16string& path, std::string content) { Locked([&] { return files_[path] = content; }); }
  // Each signature check: the temporary file's bytes and, at that moment, the target's.
  std::vector<std::pair<std::string, std::string>> SignatureChecks() { return Locked([&] { return checks_; }); }
  // Temporary files still open or left behind.
  size_t OpenOutputs() { return Locked([&] { return temporaries_.size(); }); }
  int waitSteps = 0;  // touched only by the owner's thread

  // --- DownloadTransport ---
  bool IsConnected() override { return !Faulted() && connected; }
  std::unique_ptr<DownloadConnection> NewConnection() override {
    return Faulted() ? nullptr : std::make_unique<Connection>(*this);
  }
  std::unique_ptr<DownloadOutput> CreateOutput(std::u16string_view target) override {
    if (Faulted() || !outputOpens) return nullptr;
    std::lock_guard lock(mutex_);
    temporaries_[std::u16string(target)] = std::string();
    return std::make_unique<Output>(*this, std::u16string(target));
  }
  bool FileSize(std::u16string_view path, uint64_t* size) override {
    if (Faulted()) return false;
    return Locked([&] {
      auto it = files_.find(std::u16string(path));
      return it != files_.end() && (*size = it->second.size(), true);
    });
  }
  bool FolderExists(std::u16string_view path) override {
    if (Faulted()) return false;
    return Locked([&] { return folders_.count(std::u16string(path)) != 0; });
  }
  bool CreateFolderTree(std::u16string_view path) override {
    if (Faulted()) return false;
    return Locked([&] { return folders_.insert(std::u16string(path)), true; });
  }
  void AddFolder(const std::u16string& path) { CreateFolderTree(path); }
  void WaitStep(uint32_t sleepMs) override {
    ++waitSteps;
    std::this_thread::sleep_for(std::chrono::milliseconds(sleepMs));
  }
  // The mark of UTF-16 text without a byte-order mark: zero high bytes in ASCII text.
  bool LooksLikeUtf16(const uint8_t* bytes, uint32_t count) override {
    uint32_t zeros = 0;
    for (uint32_t i = 1; i < count; i += 2) zeros += bytes[i] == 0;
    return count >= 2 && zeros * 2 >= count / 2;
  }

 private:
  bool Faulted() { return ++calls == failAt.load(); }

  class Connection : public DownloadConnection {
   public:
    explicit Connection(StandInTransport& t) : t_(t) {}
    bool OpenSession(std::u16string_view agent, uint32_t, uint32_t) override {
      agent_ = agent;
      return !t_.Faulted() && t_.sessionOpens;
    }
    bool OpenUrl(std::u16string_view url, std::u16string_view headers, uint32_t flags) override {
      while (t_.holdOpens.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      if (t_.Faulted()) return false;
      std::lock_guard lock(t_.mutex_);
      url_ = url;
      t_.requests_.push_back({std::u16string(url), std::u16string(headers), agent_, flags});
      auto it = t_.resources.find(std::u16string(url));
      if (it == t_.resources.end()) return false;
      resource_ = it->second;
      return true;
    }
    uint32_t StatusCode() override { return IsFtp() ? 0 : resource_.status; }
    std::u16string FinalUrl() override { return resource_.endsAt.empty() ? url_ : resource_.endsAt; }
    std::u16string ContentLengthText() override {
      if (IsFtp() || !resource_.announceLength || resource_.lengthAsNumberOnly) return {};
      if (!resource_.lengthText.empty()) return resource_.lengthText;
      const std::string n = std::to_string(resource_.body.size());
      return std::u16string(n.begin(), n.end());
    }
    uint64_t ContentLengthNumber() override {
      return !IsFtp() && resource_.announceLength ? resource_.body.size() : 0;
    }
    // An FTP open reaches the host's FTP service: nothing there for what is served over HTTP.
    bool OpenFtpFile(std::u16string_view url, bool) override {
      return !t_.Faulted() && url.starts_with(u"ftp") && resource_.ftpOpens;
    }
    uint64_t FtpFileSize() override { return resource_.ftpSize; }
    void QueryDataAvailable() override {}
    bool Read(void* buffer, uint32_t size, uint32_t* count) override {
      while (t_.holdReads.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      if (t_.Faulted()) return *count = 0, false;
      uint64_t left = resource_.body.size() - offset_;
      if (resource_.endAfter >= 0) left = std::min<uint64_t>(left, resource_.endAfter - std::min<int64_t>(offset_, resource_.endAfter));
      uint64_t n = std::min<uint64_t>(left, size);
      if (resource_.bytesPerRead != 0) n = std::min<uint64_t>(n, resource_.bytesPerRead);
      if (resource_.failAfter >= 0 && offset_ + n > static_cast<uint64_t>(resource_.failAfter)) {
        *count = 0;
        return false;
      }
      std::memcpy(buffer, resource_.body.data() + offset_, n);
      offset_ += n;
      *count = static_cast<uint32_t>(n);
      return true;
    }

   private:
    bool IsFtp() const { return resource_.ftpSize != 0 || !resource_.ftpOpens; }
    StandInTransport& t_;
    std::u16string agent_, url_;
    StandInResource resource_;
    uint64_t offset_ = 0;
  };

  class Output : public DownloadOutput {
   public:
    Output(StandInTransport& t, std::u16string target) : t_(t), target_(std::move(target)) {}
    ~Output() override {
      if (!closed_) Discard();
    }
    bool Write(const void* data, uint32_t size) override {
      if (t_.Faulted()) return false;
      return t_.Locked([&] { return t_.temporaries_[target_].append(static_cast<const char*>(data), size), true; });
    }
    // Checked through the open temporary file, before Commit moves it over the target.
    SignatureFacts ReadSignature() override {
      const std::string bytes = t_.Locked([&] {
        t_.checks_.emplace_back(t_.temporaries_[target_], t_.files_.count(target_) ? t_.files_[target_] : "");
        return t_.temporaries_[target_];
      });
      return t_.signatureOf(bytes);
    }
    bool Commit() override {
      const bool works = !t_.Faulted() && t_.commitWorks;
      return t_.Locked([&] {
        closed_ = true;
        if (works) t_.files_[target_] = std::move(t_.temporaries_[target_]);
        t_.temporaries_.erase(target_);
        return works;
      });
    }
    void Discard() override {
      t_.Locked([&] { return closed_ = true, t_.temporaries_.erase(target_); });
    }

   private:
    StandInTransport& t_;
    std::u16string target_;
    bool closed_ = false;
  };

  std::mutex mutex_;
  std::vector<Request> requests_;
  std::vector<std::pair<std::string, std::string>> checks_;
  std::map<std::u16string, std::string> files_, temporaries_;
  std::set<std::u16string> folders_;
};

// Bytes that differ from position to position, so a shifted or repeated chunk shows.
inline std::string PatternBytes(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7 + i / 251) % 251);
  return s;
}

}  // namespace pyr::testing
