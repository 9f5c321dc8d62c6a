#include "operations/worker_thread.h"

namespace pyr {

void ReportQueue::Deliver(OperationHost& host) {
  std::deque<Item> items;
  {
    std::lock_guard lock(mutex_);
    items.swap(items_);
  }
  for (const Item& item : items) {
    if (item.progress) {
      host.SetProgress(kProgressTextOnly, &item.text);
    } else if (host.HasResultList()) {
      host.AddResultLine(item.text);
    }
  }
}

uint32_t RunWorker(OperationHost& host, PumpMode pumpMode, std::atomic<bool>& cancel, ReportQueue* reports,
                   const std::function<uint32_t()>& work) {
  std::atomic<bool> done{false};
  uint32_t result = 0;
  std::thread worker([&] {
    result = work();
    done.store(true);
  });
  while (!done.load()) {
    const bool took = host.PumpEvent(pumpMode);
    if (host.CancelRequested()) cancel.store(true);
    if (reports) reports->Deliver(host);
    // Peek mode returns at once when nothing is pending: do not spin.
    if (!took && (pumpMode & kPumpPending)) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  worker.join();
  if (reports) reports->Deliver(host);
  return result;
}

}  // namespace pyr
