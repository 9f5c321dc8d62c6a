// Runs a worker on its own thread while the interface thread keeps taking events, and hands
// what the worker reports to the dialog on the interface thread.
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "operations/operation_host.h"

namespace pyr {

// Progress texts and result lines queued by a worker, shown by the interface thread.
class ReportQueue {
 public:
  void Progress(const WideText& text) { Push({true, text}); }
  void Line(const WideText& text) { Push({false, text}); }
  // Interface thread: shows everything queued so far.
  void Deliver(OperationHost& host);

 private:
  struct Item {
    bool progress;
    WideText text;
  };
  void Push(Item item) {
    std::lock_guard lock(mutex_);
    items_.push_back(std::move(item));
  }
  std::mutex mutex_;
  std::deque<Item> items_;
};

// Starts work on a thread (through the host); until it ends, takes events as they come, passes
// the host's cancel flag on to cancel and delivers reports. Returns work's result, or nothing
// when the thread could not be started.
std::optional<uint32_t> RunWorker(OperationHost& host, std::atomic<bool>& cancel, ReportQueue* reports,
                                  const std::function<uint32_t()>& work);

}  // namespace pyr
