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
// on any failure or a cancel, which leave the old copy as it was. Only a complete program image
// replaces the copy.
bool RefreshUpdater(OperationHost& host, const WideText& path, const WideText& url) {
  // The size probe waits through the host's pump, so a Cancel or a close meanwhile counts.
  const KeepWaiting keepWaiting = [&host] {
    host.PumpEventsFor(kWatchIntervalMs);
    return host.CancelRequested() == kNotCancelled;
  };
  DownloadJobPtr job = ResolveAndStartDownload(host.Transport(), path, url, kDownloadProgramImage, keepWaiting);
  bool ready = false;
  int32_t shown = -1;
  while (job && host.CancelRequested() == kNotCancelled) {
    // Done first: a job that ends between the two reads still shows its last percentage.
    const bool done = GetDownloadInfo(job.get(), kInfoDone) != 0;
    const int32_t percent = static_cast<int32_t>(GetDownloadInfo(job.get(), kInfoPercent));
    if (percent > shown) {
      host.SetProgress(percent, nullptr);
      shown = percent;
    }
    if (done) {
      ready = GetDownloadInfo(job.get(), kInfoError) == kDownloadOk;
      break;
    }
    host.PumpEventsFor(kWatchIntervalMs);
  }
  // A transfer still running is cancelled here and its temporary file removed.
  CloseDownload(job);
  return ready;
}

}  // namespace

bool UpdateDriversWithOvelant(OperationHost& host) {
  const WideText site = host.UpdaterSite();
  const bool online = host.Transport().IsConnected();
  // The site is needed only to fetch; offline the copy there is may still be started.
  if (online && site.Empty()) {
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
  // Without the program's own folder there is no place for the updater: never a relative path.
  const bool ready = !path.Empty() && (online ? RefreshUpdater(host, path, Concat({site, kUpdaterSitePath}))
                                              : host.Transport().FileSize(path.View(), &size));
  if (!ready) {
    host.CloseDialog();
    host.AskUser(kUpdaterFailed, kMessageOk);
    return false;
  }
  const WideText running(u"Running Ovelant...");
  host.SetProgress(kProgressSpinner, &running);
  const OperationHost::UpdaterStart start = host.LaunchUpdater(path, kUpdaterArguments);
  host.CloseDialog();
  if (start == OperationHost::UpdaterStart::kNotSigned) host.AskUser(kUpdaterNotSigned, kMessageOk);
  return start == OperationHost::UpdaterStart::kStarted;
}

}  // namespace pyr
