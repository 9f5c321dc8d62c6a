#include <gtest/gtest.h>

#include "operations/uninstall_commands.h"
#include "support/driver_pc.h"

namespace pyr {
namespace {

using testing::Called;
using testing::DriverPc;
using testing::kCheckFirst;
using testing::Lines;
using testing::ProgressTexts;
using testing::ScriptedHost;

// What the deleter was asked to do, and what it answers.
struct DeleterScript {
  int answer = 1;
  std::vector<std::u16string> paths;
  std::vector<uint32_t> flags;
};
DeleterScript* gDeleter = nullptr;
int ScriptedDelete(const WideText& path, uint32_t flags) {
  gDeleter->paths.push_back(path.Str());
  gDeleter->flags.push_back(flags);
  return gDeleter->answer;
}
int NeverDelete(const WideText&, uint32_t) {
  ADD_FAILURE() << "nothing may be deleted here";
  return 0;
}

TEST(UninstallDevices, TextsForOneAndForSeveralRows) {
  struct Case {
    RowSource source;
    std::vector<int> rows;
    const char16_t* question;
    Lines progress;
    Lines lines;
  } cases[] = {
      {RowSource::kSelected, {1}, u"Are you sure you want to uninstall the selected device?",
       {u"Uninstalling Adapter B (1 of 1)..."}, {u"Adapter B was successfully uninstalled."}},
      {RowSource::kChecked, {0, 2}, u"Are you sure you want to uninstall the selected devices?",
       {u"Uninstalling Adapter C (1 of 2)...", u"Uninstalling Adapter A (2 of 2)..."},
       {u"Adapter C was successfully uninstalled.", u"Adapter A was successfully uninstalled."}},
  };
  for (const Case& c : cases) {
    ScriptedHost host(DriverPc());
    for (int row : c.rows) {
      if (c.source == RowSource::kChecked) host.list.SetRowChecked(row, true);
      else host.list.SelectRow(row);
    }
    UninstallDevices(host, c.source);
    EXPECT_EQ(host.asked, Lines{c.question});
    EXPECT_TRUE(Called(host, u"open:Preparing to uninstall"));
    EXPECT_EQ(ProgressTexts(host), c.progress);
    EXPECT_EQ(host.resultLines, c.lines);
    EXPECT_EQ(host.rebuilds, 1);
    // The rebuilt list no longer holds them.
    EXPECT_EQ(host.list.RowCount(), 4 - static_cast<int>(c.rows.size()));
    EXPECT_EQ(host.calls.back(), u"close");
    EXPECT_EQ(host.lockDepth, 0);
  }
}

TEST(UninstallDevices, NothingCheckedDeclinedAndFailedDevices) {
  ScriptedHost none(DriverPc());
  UninstallDevices(none, RowSource::kChecked);
  EXPECT_EQ(none.asked, Lines{kCheckFirst});
  EXPECT_EQ(none.calls.size(), 1u);

  ScriptedHost declined(DriverPc());
  declined.list.SetRowChecked(0, true);
  declined.answers = {0};
  UninstallDevices(declined, RowSource::kChecked);
  EXPECT_EQ(declined.calls.size(), 1u);  // the question only
  EXPECT_EQ(declined.platform.Calls(PlatformCall::kUninstallDevice), 0u);

  ScriptedHost failing(DriverPc());
  failing.platform.FailActionsOn(u"PCI\\B");
  failing.list.SetRowChecked(1, true);
  UninstallDevices(failing, RowSource::kChecked);
  EXPECT_EQ(failing.resultLines, Lines{u"Adapter B could not be uninstalled."});
  EXPECT_EQ(failing.rebuilds, 0);
}

TEST(UninstallDevices, CancelBeforeTheNextDevice) {
  ScriptedHost host(DriverPc());
  host.list.SetAllChecked(true);
  host.okPressedWhenWaiting = false;
  host.onPump = [](ScriptedHost& h, int mode) {
    if (mode == kPumpPending && h.resultLines.size() == 2) h.SetCancelRequested(kCancelPressed);
  };
  UninstallDevices(host, RowSource::kChecked);
  EXPECT_EQ(host.resultLines, (Lines{u"Old printer was successfully uninstalled.",
                                     u"Adapter C was successfully uninstalled."}));
  EXPECT_EQ(host.platform.Calls(PlatformCall::kUninstallDevice), 2u);
  EXPECT_EQ(host.rebuilds, 1);
}

TEST(UninstallAndDeleteDrivers, QuestionAndLinesForOneAndSeveralRows) {
  ScriptedHost one(DriverPc());
  one.list.SelectRow(0);
  UninstallAndDeleteDrivers(one, RowSource::kSelected, NeverDelete);
  EXPECT_EQ(one.asked, Lines{u"This will uninstall the selected device drivers and also remove them from the "
                             u"driver store.You may need to install a new driver for the selected device after "
                             u"this operation.\r\n\r\nAre you sure you want to proceed?"});
  EXPECT_TRUE(Called(one, u"open:Preparing to remove drivers"));
  EXPECT_EQ(ProgressTexts(one), Lines{u"Removing driver for Adapter A (1 of 1)..."});
  EXPECT_EQ(one.resultLines, Lines{u"The driver for Adapter A was successfully uninstalled."});
  EXPECT_EQ(one.platform.Pc().driverStore.size(), 2u);

  // Adapter C's INF is not in the store, and the printer has no INF at all.
  ScriptedHost several(DriverPc());
  several.list.SetAllChecked(true);
  UninstallAndDeleteDrivers(several, RowSource::kChecked, NeverDelete);
  EXPECT_NE(several.asked[0].find(u"selected devices drivers"), std::u16string::npos);
  EXPECT_NE(several.asked[0].find(u"for the selected devices after"), std::u16string::npos);
  EXPECT_EQ(several.resultLines, (Lines{u"The driver for Old printer could not be uninstalled.",
                                        u"The driver for Adapter C could not be uninstalled.",
                                        u"The driver for Adapter B was successfully uninstalled.",
                                        u"The driver for Adapter A was successfully uninstalled."}));
}

TEST(RemoveDriverPackage, AnInboxPackageCountsAsRemoved) {
  SimulatedPc pc = DriverPc();
  pc.driverStore.push_back(testing::Package(u"net.inf", u"net.inf", u"01/01/2006,10.0", u"HW\\Adapter C"));
  ScriptedHost host(std::move(pc));
  // The system's removal refuses it as "not an installed OEM INF": it stays, and that is fine.
  EXPECT_TRUE(RemoveDriverPackage(host, 2, NeverDelete));
  EXPECT_EQ(host.platform.Calls(PlatformCall::kUninstallDriver), 1u);
  EXPECT_EQ(host.platform.Pc().driverStore.size(), 4u);
}

TEST(RemoveDriverPackage, WithoutTheSystemsRemovalTheStoreFolderIsDeleted) {
  struct Case {
    int deleteAnswer;
    bool result;
    bool reboot;
  } cases[] = {{1, true, false}, {2, true, true}, {0, false, false}};
  for (const Case& c : cases) {
    ScriptedHost host(DriverPc());
    host.platform.SetHasUninstallDriver(false);
    DeleterScript script;
    script.answer = c.deleteAnswer;
    gDeleter = &script;
    EXPECT_EQ(RemoveDriverPackage(host, 1, ScriptedDelete), c.result);
    EXPECT_EQ(script.paths,
              Lines{u"C:\\Windows\\System32\\DriverStore\\FileRepository\\netb.inf_amd64_0123"});
    EXPECT_EQ(script.flags, std::vector<uint32_t>{kDeleteAtRestart});
    EXPECT_EQ(host.rebootNeeded, c.reboot);
    EXPECT_EQ(host.platform.Calls(PlatformCall::kUninstallDevice), 1u);
    EXPECT_EQ(host.platform.Calls(PlatformCall::kUninstallDriver), 0u);
  }
}

TEST(RemoveDriverPackage, NothingOutsideTheDriverStoreIsTouched) {
  ScriptedHost host(DriverPc());
  host.platform.SetHasUninstallDriver(false);
  host.platform.SetDriverStoreRoot(u"C:\\Windows\\inf");
  EXPECT_FALSE(RemoveDriverPackage(host, 0, NeverDelete));
  EXPECT_EQ(host.platform.Calls(PlatformCall::kUninstallDevice), 0u);
  // A row without an INF path, and an INF the store does not know.
  EXPECT_FALSE(RemoveDriverPackage(host, 3, NeverDelete));
  host.list.SetCellText(0, 8, u"oem99.inf");
  EXPECT_FALSE(RemoveDriverPackage(host, 0, NeverDelete));
}

TEST(UninstallAllNotPresent, FinalTextCountsAndCancel) {
  auto absent = [](const char16_t* id, const char16_t* name) {
    return testing::MakeDevice(id, name, 0, false);
  };
  struct Case {
    int absentDevices;
    int cancelAfter;  // 0: never
    int failing;      // how many of them fail
    const char16_t* summary;
    int result;
    int rebuilds;
  } cases[] = {
      {1, 0, 0, u"Operation complete. 1 device uninstalled.", 1, 1},
      {3, 2, 0, u"Operation cancelled. 2 devices uninstalled.", 2, 1},
      {0, 0, 0, u"Operation complete. 0 devices uninstalled.", 0, 0},
      {2, 0, 1, u"Operation complete. 1 device uninstalled.", 1, 1},
  };
  for (const Case& c : cases) {
    std::vector<SimulatedDevice> devices = {testing::MakeDevice(u"PCI\\A", u"Adapter A")};
    for (int i = 0; i < c.absentDevices; ++i) {
      devices.push_back(absent(Concat({u"USB\\", WideText::FromInt32(i)}).Buffer(),
                               Concat({u"Gone ", WideText::FromInt32(i)}).Buffer()));
    }
    ScriptedHost host(testing::SmallPc(devices));
    if (c.failing) host.platform.FailActionsOn(u"USB\\0");
    host.okPressedWhenWaiting = c.cancelAfter == 0;
    const int cancelAfter = c.cancelAfter;
    host.onPump = [cancelAfter](ScriptedHost& h, int mode) {
      EXPECT_TRUE(mode == kPumpPendingRefreshing || mode == kPumpRefreshing);
      if (cancelAfter && static_cast<int>(h.resultLines.size()) == cancelAfter) h.SetCancelRequested(kCancelPressed);
    };
    EXPECT_EQ(UninstallAllNotPresent(host), c.result);
    EXPECT_TRUE(Called(host, u"open:Uninstalling all devices not present..."));
    EXPECT_TRUE(Called(host, Concat({u"progress:100:", c.summary}).Str())) << c.absentDevices;
    EXPECT_EQ(host.rebuilds, c.rebuilds);
    EXPECT_EQ(host.calls.back(), u"close");
    EXPECT_EQ(host.platform.OpenSets(), 1u);  // only the list's own set is left open
    if (c.failing) {
      EXPECT_EQ(host.resultLines, (Lines{u"Gone 0 could not be Uninstalled.", u"Gone 1 was successfully uninstalled."}));
    }
  }
}

TEST(UninstallAllNotPresent, DeclinedOpensNoDialogAndAnUnnamedDeviceIsUnknown) {
  ScriptedHost declined(DriverPc());
  declined.answers = {0};
  EXPECT_EQ(UninstallAllNotPresent(declined), -1);
  EXPECT_EQ(declined.calls, Lines{u"ask:Are you sure you want to uninstall all devices not present?"});

  SimulatedDevice unnamed = testing::MakeDevice(u"USB\\X", u"x", 0, false);
  unnamed.name.reset();
  ScriptedHost host(testing::SmallPc({unnamed}));
  EXPECT_EQ(UninstallAllNotPresent(host), 1);
  EXPECT_EQ(ProgressTexts(host), Lines{u"Uninstalling Unknown device..."});
  EXPECT_EQ(host.resultLines, Lines{u"Unknown device was successfully uninstalled."});

  ScriptedHost noSet(DriverPc());
  noSet.platform.SetOpenSetFails(true);
  EXPECT_EQ(UninstallAllNotPresent(noSet), 0);
  EXPECT_TRUE(Called(noSet, u"progress:100:Operation complete. 0 devices uninstalled."));
}

}  // namespace
}  // namespace pyr
