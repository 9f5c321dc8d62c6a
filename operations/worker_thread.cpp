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

std::optional<uint32_t> RunWorker(OperationHost& host, std::atomic<bool>& cancel, ReportQueue* reports,
                                  const std::function<uint32_t()>& work) {
  std::atomic<bool> done{false};
  uint32_t result = 0;
  std::thread worker;
  if (!host.StartThread(&worker, [&] {
        result = work();
        done.store(true);
      })) {
    return std::nullopt;
  }
  while (!done.load()) {
    host.PumpEventsFor(kWatchIntervalMs);
    if (host.CancelRequested()) cancel.store(true);
    if (reports) reports->Deliver(host);
  }
  worker.join();
  if (reports) reports->Deliver(host);
  return result;
}

}  // namespace pyr
