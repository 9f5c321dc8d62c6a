#include <gtest/gtest.h>

#include <algorithm>

#include "operations/updater_command.h"
#include "support/program_bytes.h"
#include "support/scripted_host.h"

namespace pyr {
namespace {

using testing::Called;
using testing::ScriptedHost;
using testing::StandInResource;
using Start = OperationHost::UpdaterStart;

constexpr char16_t kPublished[] = u"http://127.0.0.1:8080/ovelant/Ovelant.exe";
const std::u16string kPath = u"pyravel\\Ovelant.exe";
const std::u16string kLaunch = u"launch:pyravel\\Ovelant.exe| /update /flag=1";

// A program of about size bytes, served in small reads.
std::string Program(uint32_t size) { return testing::ProgramBytes({.rawSize = (size - 1024) / 2}); }

StandInResource Updater(std::string body) {
  StandInResource r;
  r.body = std::move(body);
  r.bytesPerRead = 5000;
  return r;
}

TEST(UpdaterCommand, FetchesOrKeepsTheUpdaterAndStartsItOnlyWhenReadyAndSigned) {
  const std::string fresh = Program(60000), sameSize(fresh.size(), 'o');
  // A whole program signed under the maker's name in another country: not the maker's.
  const std::string foreign = Program(50000);
  const std::string page = "<html><body>We are down for maintenance</body></html>";
  struct Case {
    const char* name;
    bool online;
    const char* copy;        // the copy beside the program before, or null
    std::string served;      // "404": the server answers with an error
    Start start;             // what starting the copy does
    const char16_t* notice;  // shown at the end, or null
    std::string copyAfter;   // "" for none
    bool launched;
    int checks = 0;  // signature checks of a temporary file
    std::u16string site = u"http://127.0.0.1:8080", path = kPath;
  };
  const Case cases[] = {
      {"new copy fetched", true, nullptr, fresh, Start::kStarted, nullptr, fresh, true, 1},
      {"an old copy replaced", true, "old", fresh, Start::kStarted, nullptr, fresh, true, 1},
      {"a download not the maker's is deleted, the old copy starts", true, "old", foreign, Start::kStarted,
       kUpdaterDownloadNotSigned, "old", true, 1},
      {"a download not the maker's, no old copy", true, nullptr, foreign, Start::kStarted, kUpdaterDownloadNotSigned,
       "", false, 1},
      {"same size kept", true, sameSize.c_str(), fresh, Start::kStarted, nullptr, sameSize, true},
      {"error page keeps the old copy", true, "old", "404", Start::kStarted, kUpdaterFailed, "old", false},
      {"a page served with 200 keeps the old copy", true, "old", page, Start::kStarted, kUpdaterFailed, "old", false},
      {"unsigned copy not started", true, sameSize.c_str(), fresh, Start::kNotSigned, kUpdaterNotSigned, sameSize,
       true},
      {"offline with a copy", false, "old", fresh, Start::kStarted, nullptr, "old", true},
      {"offline without a copy", false, nullptr, fresh, Start::kStarted, kUpdaterFailed, "", false},
      {"offline without a site", false, "old", fresh, Start::kStarted, nullptr, "old", true, 0, u""},
      {"no site while online", true, "old", fresh, Start::kStarted, kUpdaterNoSite, "old", false, 0, u""},
      {"own folder unknown", true, nullptr, fresh, Start::kStarted, kUpdaterFailed, "", false, 0,
       u"http://127.0.0.1:8080", u""},
      {"a failed start is not reported", false, "old", fresh, Start::kNotStarted, nullptr, "old", true},
  };
  for (const Case& c : cases) {
    ScriptedHost host({});
    host.web.connected = c.online;
    host.site = c.site;
    host.updaterPath = c.path;
    host.launchResult = c.start;
    host.web.signatureOf = [&foreign](const std::string& bytes) {
      return SignatureFacts{0, 0, u"Maker", bytes == foreign ? u"US" : u"DE", ""};
    };
    if (c.copy) host.web.PutFile(kPath, c.copy);
    host.web.AddFolder(u"pyravel");
    host.web.resources[kPublished] = Updater(c.served == "404" ? fresh : c.served);
    if (c.served == "404") host.web.resources[kPublished].status = 404;
    EXPECT_EQ(UpdateDriversWithOvelant(host), c.launched && c.start == Start::kStarted) << c.name;
    EXPECT_EQ(Called(host, kLaunch), c.launched) << c.name;
    EXPECT_EQ(host.asked, c.notice ? std::vector<std::u16string>{c.notice} : std::vector<std::u16string>{}) << c.name;
    EXPECT_EQ(host.web.File(kPath), c.copyAfter) << c.name;
    EXPECT_EQ(host.web.OpenOutputs(), 0u) << c.name;
    // The check reads the whole download while the old copy is still in place: before the rename.
    const auto checks = host.web.SignatureChecks();
    EXPECT_EQ(checks.size(), static_cast<size_t>(c.checks)) << c.name;
    for (const auto& [temporary, target] : checks) {
      EXPECT_EQ(temporary, c.served) << c.name;
      EXPECT_EQ(target, c.copy ? c.copy : "") << c.name;
    }
    if (!c.online || c.path.empty()) { EXPECT_TRUE(host.web.Requests().empty()) << c.name; }
    if (c.notice == kUpdaterNoSite) continue;  // said before any window opens
    // The window opens before anything happens and is closed before any notice.
    EXPECT_EQ(std::vector<std::u16string>(host.calls.begin(), host.calls.begin() + 4),
              (std::vector<std::u16string>{u"progress-window:Updating Ovelant...:450x70", u"progress:-80",
                                           u"cancel-button", u"show"}))
        << c.name;
    const auto close = std::find(host.calls.begin(), host.calls.end(), u"close");
    ASSERT_NE(close, host.calls.end()) << c.name;
    if (c.launched) { EXPECT_EQ(*(close - 2), u"progress:-80:Running Ovelant...") << c.name; }
  }
}

TEST(UpdaterCommand, ACancelDuringTheTransferOrTheSizeProbeKeepsTheOldCopy) {
  for (const bool duringProbe : {false, true}) {
    ScriptedHost host({});
    host.web.PutFile(kPath, "old");
    host.web.AddFolder(u"pyravel");
    host.web.resources[kPublished] = Updater(Program(60000));
    (duringProbe ? host.web.holdOpens : host.web.holdReads) = true;
    host.onPump = [duringProbe](ScriptedHost& h, int mode) {
      if (mode != kPumpWait || (!duringProbe && h.web.Requests().size() < 2)) return;
      h.SetCancelRequested(kCancelPressed);
      h.web.holdReads = h.web.holdOpens = false;
    };
    EXPECT_FALSE(UpdateDriversWithOvelant(host));
    EXPECT_EQ(host.asked, std::vector<std::u16string>{kUpdaterFailed});
    EXPECT_EQ(host.web.File(kPath), "old");
    EXPECT_EQ(host.web.OpenOutputs(), 0u);
    // A cancel during the probe starts no transfer.
    EXPECT_EQ(host.web.Requests().size(), duringProbe ? 1u : 2u);
  }
}

TEST(UpdaterCommand, ProgressOnlyRisesAndReachesAHundred) {
  ScriptedHost host({});
  host.web.resources[kPublished] = Updater(Program(300000));
  ASSERT_TRUE(UpdateDriversWithOvelant(host));
  std::vector<int> shown;
  for (const std::u16string& call : host.calls) {
    if (call.rfind(u"progress:", 0) == 0 && call.find(u':', 9) == std::u16string::npos) {
      shown.push_back(WideText(std::u16string_view(call).substr(9)).ToInt32());
    }
  }
  ASSERT_GE(shown.size(), 2u);
  EXPECT_EQ(shown.front(), -80);
  EXPECT_EQ(shown.back(), 100);
  EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
  EXPECT_EQ(std::adjacent_find(shown.begin(), shown.end()), shown.end());  // no value twice
}

}  // namespace
}  // namespace pyr
