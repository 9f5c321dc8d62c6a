#include "operations/updater_command.h"

#include "base/message_kinds.h"
#include "web/download_job.h"
#include "web/link_resolution.h"
#include "web/site_addresses.h"

namespace pyr {

namespace {

constexpr int kProgressWidth = 450;
constexpr int kProgressHeight = 70;

// Fetches the updater unless the copy beside the program already has the server's size; false
// on any failure or a cancel, which leave the old copy as it was.
bool RefreshUpdater(OperationHost& host, const WideText& path, const WideText& url) {
  DownloadTransport& transport = host.Transport();
  DownloadJobPtr job = ResolveAndStartDownload(transport, path, url);
  bool ready = false;
  int32_t shown = -1;
  while (job) {
    const int32_t percent = static_cast<int32_t>(GetDownloadInfo(job.get(), kInfoPercent));
    if (percent > shown) {
      host.SetProgress(percent, nullptr);
      shown = percent;
    }
    if (GetDownloadInfo(job.get(), kInfoDone) != 0) {
      ready = GetDownloadInfo(job.get(), kInfoError) == kDownloadOk;
      break;
    }
    host.PumpEventsFor(kWatchIntervalMs);
    if (host.CancelRequested() != kNotCancelled) break;
  }
  // A transfer still running is cancelled here and its temporary file removed.
  CloseDownload(job);
  return ready;
}

}  // namespace

bool UpdateDriversWithOvelant(OperationHost& host) {
  const WideText site = host.UpdaterSite();
  if (site.Empty()) {
    host.AskUser(kUpdaterNoSite, kMessageOk);
    return false;
  }
  host.SetCancelRequested(kNotCancelled);
  const WideText path = host.UpdaterPath();
  host.OpenProgressWindow(u"Updating Ovelant...", kProgressWidth, kProgressHeight);
  host.SetProgress(kProgressSpinner, nullptr);
  host.AddCancelButton();
  host.ShowDialog();
  while (host.PumpEvent(kPumpPending)) {
  }
  uint64_t size = 0;
  const bool haveCopy = host.Transport().FileSize(path.View(), &size);
  // Offline, whatever copy there is gets started.
  const bool ready = host.Transport().IsConnected() ? RefreshUpdater(host, path, Concat({site, kUpdaterSitePath}))
                                                   : haveCopy;
  if (!ready) {
    host.CloseDialog();
    host.AskUser(kUpdaterFailed, kMessageOk);
    return false;
  }
  const WideText running(u"Running Ovelant...");
  host.SetProgress(kProgressSpinner, &running);
  const bool started = host.LaunchUpdater(path, kUpdaterArguments);
  host.CloseDialog();
  return started;
}

}  // namespace pyr
