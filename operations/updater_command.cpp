#include "operations/updater_command.h"

#include "base/message_kinds.h"
#include "web/download_job.h"
#include "web/link_resolution.h"
#include "web/site_addresses.h"

namespace pyr {

namespace {

constexpr int kProgressWidth = 450;
constexpr int kProgressHeight = 70;

// Fetches the updater unless the copy beside the program already has the server's size; the
// download's error (kDownloadOk when the copy is ready). A failure or a cancel leaves the old copy
// as it was; only a complete program image that the maker signed replaces it.
uint32_t RefreshUpdater(OperationHost& host, const WideText& path, const WideText& url) {
  // The size probe waits through the host's pump, so a Cancel or a close meanwhile counts.
  const KeepWaiting keepWaiting = [&host] {
    host.PumpEventsFor(kWatchIntervalMs);
    return host.CancelRequested() == kNotCancelled;
  };
  const SignaturePolicy signer = [&host] {
    SignaturePolicy policy = host.UpdaterSigner();
    policy.revocationMustBeReached = true;
    return policy;
  }();
  DownloadJobPtr job =
      ResolveAndStartDownload(host.Transport(), path, url, kDownloadProgramImage, keepWaiting, &signer);
  uint32_t error = kDownloadOpenFailed;
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
      error = GetDownloadInfo(job.get(), kInfoError);
      break;
    }
    host.PumpEventsFor(kWatchIntervalMs);
  }
  // A transfer still running is cancelled here and its temporary file removed.
  CloseDownload(job);
  return error;
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
  const uint32_t error = path.Empty() ? kDownloadCreateFailed
                         : online     ? RefreshUpdater(host, path, Concat({site, kUpdaterSitePath}))
                                      : kDownloadOffline;
  // A download that is not the maker's is gone; the copy there was stays and may still start.
  const bool refused = error == kDownloadNotSigned;
  const bool ready = error == kDownloadOk || ((refused || error == kDownloadOffline) &&
                                              host.Transport().FileSize(path.View(), &size));
  if (!ready) {
    host.CloseDialog();
    host.AskUser(refused ? kUpdaterDownloadNotSigned : kUpdaterFailed, kMessageOk);
    return false;
  }
  const WideText running(u"Running Ovelant...");
  host.SetProgress(kProgressSpinner, &running);
  const OperationHost::UpdaterStart start = host.LaunchUpdater(path, kUpdaterArguments);
  host.CloseDialog();
  if (start == OperationHost::UpdaterStart::kNotSigned) {
    host.AskUser(kUpdaterNotSigned, kMessageOk);
  } else if (refused) {
    host.AskUser(kUpdaterDownloadNotSigned, kMessageOk);
  }
  return start == OperationHost::UpdaterStart::kStarted;
}

}  // namespace pyr
