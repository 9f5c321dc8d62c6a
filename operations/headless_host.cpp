#include "operations/headless_host.h"

#include <chrono>
#include <thread>

#include "base/message_kinds.h"
#include "operations/operation_texts.h"

namespace pyr {

HeadlessHost::HeadlessHost(DevicePlatform& platform, DownloadTransport& transport, LineSink& out,
                           uint32_t listFlags, WideText folder)
    : platform_(platform),
      transport_(transport),
      out_(out),
      listFlags_(listFlags),
      folder_(std::move(folder)),
      inventory_(platform) {}

int HeadlessHost::AskUser(const WideText& text, int32_t kind) {
  // A box with only OK closes a job with its outcome; the questions are what the job was run for.
  if (kind == kMessageOk) {
    out_.WriteLine(text);
    if (text == kOperationNotStarted) notStarted_ = true;
  }
  return kAnswerYes;
}

void HeadlessHost::SetProgress(int32_t percent, const WideText* text) {
  // Only the final status is a summary; the texts on the way are progress.
  if (percent != 100 || text == nullptr) return;
  out_.WriteLine(*text);
  if (*text == kOperationNotStarted) notStarted_ = true;
}

void HeadlessHost::AddResultLine(const WideText& line) {
  ++resultLines_;
  out_.WriteLine(line);
}

bool HeadlessHost::PumpEvent(PumpMode) {
  if (!finished_) return false;
  cancel_ = kCancelPressed;  // the OK of the finished dialog sets the flag
  return true;
}

void HeadlessHost::PumpEventsFor(uint32_t timeoutMs) {
  std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
}

bool HeadlessHost::RebuildInventory() { return BuildInventory(inventory_, list_, *this, listFlags_); }

bool HeadlessHost::BrowseForFolder(WideText* text, const WideText&, uint32_t) {
  *text = folder_;
  return true;
}

}  // namespace pyr
