#include <gtest/gtest.h>

#include <algorithm>

#include "operations/updater_command.h"
#include "support/scripted_host.h"

namespace pyr {
namespace {

using testing::Called;
using testing::PatternBytes;
using testing::ScriptedHost;
using testing::StandInResource;

constexpr char16_t kPublished[] = u"http://127.0.0.1:8080/ovelant/Ovelant.exe";
const std::u16string kPath = u"pyravel\\Ovelant.exe";
const std::u16string kLaunch = u"launch:pyravel\\Ovelant.exe| /update /flag=1";

StandInResource Updater(size_t size) {
  StandInResource r;
  r.body = PatternBytes(size);
  r.bytesPerRead = 5000;
  return r;
}

TEST(UpdaterCommand, FetchesOrKeepsTheUpdaterAndStartsItOnlyWhenReady) {
  struct Case {
    const char* name;
    bool online;
    const char* copy;        // the copy beside the program before, or null
    int served;              // bytes served; -1: the server answers 404
    bool cancelled;          // Cancel pressed during the transfer
    bool started;
    std::string copyAfter;   // "" for none
  };
  const std::string fresh = PatternBytes(60000);
  const std::string sameSize(60000, 'o');
  const Case cases[] = {
      {"new copy fetched", true, nullptr, 60000, false, true, fresh},
      {"old copy replaced", true, "old", 60000, false, true, fresh},
      {"same size kept", true, sameSize.c_str(), 60000, false, true, sameSize},
      {"error page keeps the old copy", true, "old", -1, false, false, "old"},
      {"cancel keeps the old copy", true, "old", 60000, true, false, "old"},
      {"offline with a copy", false, "old", 60000, false, true, "old"},
      {"offline without a copy", false, nullptr, 60000, false, false, ""},
  };
  for (const Case& c : cases) {
    ScriptedHost host({});
    host.web.connected = c.online;
    if (c.copy) host.web.PutFile(kPath, c.copy);
    host.web.AddFolder(u"pyravel");
    StandInResource r = Updater(60000);
    if (c.served < 0) r.status = 404;
    host.web.resources[kPublished] = r;
    if (c.cancelled) {
      host.web.holdReads = true;
      host.onPump = [](ScriptedHost& h, int mode) {
        if (mode == kPumpWait) {
          h.SetCancelRequested(kCancelPressed);
          h.web.holdReads = false;
        }
      };
    }
    EXPECT_EQ(UpdateDriversWithOvelant(host), c.started) << c.name;
    EXPECT_EQ(Called(host, kLaunch), c.started) << c.name;
    EXPECT_EQ(Called(host, std::u16string(u"ask:") + kUpdaterFailed), !c.started) << c.name;
    EXPECT_EQ(host.web.File(kPath), c.copyAfter) << c.name;
    EXPECT_EQ(host.web.OpenOutputs(), 0u) << c.name;
    // The window opens before anything happens and is closed before any notice.
    ASSERT_GE(host.calls.size(), 4u) << c.name;
    EXPECT_EQ(host.calls[0], u"progress-window:Updating Ovelant...:450x70") << c.name;
    EXPECT_EQ(host.calls[1], u"progress:-80") << c.name;
    EXPECT_EQ(host.calls[2], u"cancel-button") << c.name;
    EXPECT_EQ(host.calls[3], u"show") << c.name;
    const auto close = std::find(host.calls.begin(), host.calls.end(), u"close");
    ASSERT_NE(close, host.calls.end()) << c.name;
    if (c.started) {
      EXPECT_EQ(*(close - 2), u"progress:-80:Running Ovelant...") << c.name;
    }
    if (!c.online) {
      EXPECT_TRUE(host.web.Requests().empty()) << c.name;
    }
  }
}

TEST(UpdaterCommand, ProgressOnlyRisesAndReachesAHundred) {
  ScriptedHost host({});
  host.web.resources[kPublished] = Updater(300000);
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

TEST(UpdaterCommand, ReportsAMissingSiteOnceAndAFailedStartNotAtAll) {
  ScriptedHost host({});
  host.site.clear();
  EXPECT_FALSE(UpdateDriversWithOvelant(host));
  EXPECT_EQ(host.calls, std::vector<std::u16string>{std::u16string(u"ask:") + kUpdaterNoSite});
  EXPECT_TRUE(host.web.Requests().empty());

  ScriptedHost failing({});
  failing.web.connected = false;
  failing.web.PutFile(kPath, "old");
  failing.launchWorks = false;
  EXPECT_FALSE(UpdateDriversWithOvelant(failing));
  EXPECT_TRUE(failing.asked.empty());
  EXPECT_EQ(failing.calls.back(), u"close");
}

}  // namespace
}  // namespace pyr
