// The main window built for real on the simulated PC: its controls, menus and accelerators, the
// settings it loads and saves, and its event loop driven by posted window messages.
#include "tests/win/main_window_fixture.h"

#include <dbt.h>

#include "devices/device_columns.h"

namespace pyr {
namespace {

// A first start: the defaults' size centred on the screen (the rules themselves are checked
// natively; the view ticks both ways are read with stored settings), the tip box ticked, the
// grouped list's commands; the list stretches to the pane (which keeps to the right edge, as a
// move to another scale shows).
TEST_F(MainWindowTest, FirstStartBuildsTheDefaultWindow) {
  Build();
  const MainWindow::Ids& ids = main_->ControlIds();
  EXPECT_FALSE(main_->SettingsKeyOpened());
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(BoxOf(WindowRectOf(window_.Handle())), (Box{(sw - 1000) / 2, (sh - 700) / 2, 1000, 700}));
  EXPECT_TRUE(Checked(ids.startupTipBox));
  EXPECT_TRUE(Enabled(MenuId(Command::kExpandAll)));
  EXPECT_FALSE(Enabled(MenuId(Command::kUninstall))) << "nothing is checked yet";
  EXPECT_FALSE(Enabled(MenuId(Command::kCopyDeviceName))) << "nothing is selected yet";
  SetWindowPos(window_.Handle(), nullptr, 0, 0, 1200, 900, SWP_NOMOVE | SWP_NOZORDER);
  window_.Layout();
  const RECT client = ClientOf(window_.Handle());
  EXPECT_EQ(PlaceInParent(ListHandle()), (Box{0, 0, client.right - 150, client.bottom}));
}

// The window's stored size coming back is driven end to end; here, the columns and flags.
TEST_F(MainWindowTest, StoredSettingsAreAppliedAndWrittenBack) {
  StoreSetting(L"LvCol3", 0);
  StoreSetting(L"LvCol7", 333);
  StoreSetting(L"LvCol10", 210);  // no LvCol11, as a key of an older version: "Installed" at its default
  StoreSetting(L"AppFlag", 0x101);
  StoreSetting(L"ListFlag", 3);
  Build();
  EXPECT_TRUE(main_->SettingsKeyOpened());
  EXPECT_EQ(ListView_GetColumnWidth(ListHandle(), 3), 0);
  EXPECT_EQ(ListView_GetColumnWidth(ListHandle(), 7), 333);
  EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(ListHandle())), 12);
  EXPECT_EQ(ListView_GetColumnWidth(ListHandle(), 10), 210);
  EXPECT_EQ(ListView_GetColumnWidth(ListHandle(), 11), 130);
  EXPECT_FALSE(Checked(main_->ControlIds().startupTipBox));
  EXPECT_TRUE(Checked(MenuId(Command::kShowNotPresent)));
  EXPECT_FALSE(Checked(MenuId(Command::kGroupByType)));
  EXPECT_FALSE(Enabled(MenuId(Command::kExpandAll)));
  EXPECT_FALSE(Enabled(MenuId(Command::kCollapseAll)));

  main_->ShowAndFill();
  EXPECT_EQ(main_->ListFlag(), 3u);
  RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsSubkey);
  ASSERT_TRUE(main_->SaveSettings());
  EXPECT_EQ(StoredSetting(L"LvCol3"), 150u) << "a hidden column is saved at its default width";
  EXPECT_EQ(StoredSetting(L"LvCol7"), 333u);
  EXPECT_EQ(StoredSetting(L"LvCol10"), 210u);
  EXPECT_EQ(StoredSetting(L"LvCol11"), 130u);
  EXPECT_EQ(StoredSetting(L"AppFlag"), 0x101u);
  EXPECT_EQ(StoredSetting(L"ListFlag"), 3u);
}

// The two view commands each toggle one bit of the list flag, saved at the close, and their menu
// tick: devices not present add rows, and the flat list turns the group commands off.
TEST_F(MainWindowTest, ViewCommandsToggleTheirListFlagBit) {
  BuildShown();
  const int presentOnly = main_->List().RowCount();
  for (int row = 0; row < presentOnly; ++row) {
    EXPECT_NE(main_->List().CellText(row, 1), WideText(u"Not present")) << row;
  }
  const struct {
    Command command;
    uint32_t bit;
    bool tickedWhenSet;
  } cases[] = {{Command::kShowNotPresent, 1, true}, {Command::kGroupByType, 2, false}};
  for (const auto& c : cases) {
    for (const uint32_t flag : {c.bit, 0u}) {
      RunCommand(MenuId(c.command));
      EXPECT_EQ(main_->ListFlag(), flag);
      EXPECT_EQ(StoredSetting(L"ListFlag"), flag);
      EXPECT_EQ(Checked(MenuId(c.command)), (flag != 0) == c.tickedWhenSet) << flag;
      EXPECT_EQ(main_->List().RowCount() > presentOnly, (flag & 1) != 0) << flag;
      EXPECT_EQ(Enabled(MenuId(Command::kExpandAll)), (flag & 2) == 0) << flag;
      EXPECT_FALSE((flag & 2) && main_->List().GroupViewEnabled()) << "a flat list keeps its groups";
    }
  }
}

// The packages view takes the device list's place; what is not for packages is greyed and its key
// does nothing; "Show devices of checked packages" goes back with their devices ticked; the choice
// is stored and shows again at the next start.
TEST_F(MainWindowTest, PackagesViewTakesTheListsPlaceAndGreysTheDeviceCommands) {
  BuildShown();
  RunCommand(MenuId(Command::kShowPackages));
  const auto& ids = main_->ControlIds();
  ASSERT_TRUE(main_->PackagesShown());
  EXPECT_TRUE(IsWindowVisible(window_.ControlHandle(ids.packageList)));
  EXPECT_FALSE(IsWindowVisible(ListHandle()));
  EXPECT_TRUE(Checked(MenuId(Command::kShowPackages)));
  EXPECT_EQ(window_.GetControlText(ids.legend[0]), WideText(u"In use"));
  for (const auto& [command, enabled] : {std::pair{Command::kCheckNotPresent, false}, {Command::kExpandAll, false},
                                         {Command::kCheckOlderPackages, true}, {Command::kRefresh, true},
                                         {Command::kDeletePackages, false}, {Command::kUninstall, false}}) {
    EXPECT_EQ(Enabled(MenuId(command)), enabled) << static_cast<int>(command);
  }
  RunCommand(MenuId(Command::kCheckNotPresent));
  EXPECT_TRUE(main_->List().CheckedRows().empty());
  DeviceList& packages = main_->PackageList();
  ASSERT_GT(packages.RowCount(), 0);
  RunCommand(MenuId(Command::kCheckAll));
  EXPECT_EQ(static_cast<int>(packages.CheckedRows().size()), packages.RowCount());
  EXPECT_TRUE(main_->List().CheckedRows().empty());
  EXPECT_EQ(StoredSetting(L"PackagesView"), 1u);

  RunCommand(MenuId(Command::kShowPackageDevices));
  EXPECT_FALSE(main_->PackagesShown());
  EXPECT_EQ(window_.GetControlText(ids.legend[0]), WideText(u"Disabled"));
  const DeviceList& devices = main_->List();
  ASSERT_FALSE(devices.CheckedRows().empty());
  for (int row = 0; row < devices.RowCount(); ++row) {
    const bool published = IsPublishedOemInf(devices.CellText(row, kColumnInfPath));
    EXPECT_EQ(devices.RowChecked(row), published) << row;
  }
  RunCommand(MenuId(Command::kShowPackages));
  main_.reset();
  window_.DestroyUiWindow();
  BuildShown();
  EXPECT_TRUE(main_->PackagesShown());
  EXPECT_TRUE(IsWindowVisible(window_.ControlHandle(main_->ControlIds().packageList)));
  // The context menu's command acts on the selected package alone, ticks or none.
  main_->PackageList().SetAllChecked(true);
  main_->PackageList().SelectRow(0);
  const WideText selected = main_->PackageList().CellText(0, 0);
  RunCommand(main_->ControlIds().commands.IdOf(Command::kShowPackageDevices, CommandSource::kContextMenu));
  ASSERT_FALSE(main_->PackagesShown());
  EXPECT_FALSE(main_->List().CheckedRows().empty());
  for (int row = 0; row < main_->List().RowCount(); ++row) {
    const WideText inf = main_->List().CellText(row, kColumnInfPath);
    EXPECT_EQ(main_->List().RowChecked(row), WideText::EqualsNoCase(inf.View(), selected.View())) << row;
  }
}

// A double click ticks the selected row; without devmgr.dll (Wine) the property sheet opens
// nothing and the loop goes on.
TEST_F(MainWindowTest, DoubleClickAndProperties) {
  BuildShown();
  DeviceList& list = main_->List();
  list.SelectRow(4);
  window_.PostUiEvent(ev::kDoubleClick, WM_NOTIFY, ListHandle(), static_cast<uint32_t>(main_->ControlIds().list), 0);
  CloseAndRun();
  EXPECT_EQ(list.CheckedRows(), std::vector<int>{4});
  RunCommand(MenuId(Command::kDeviceProperties));
  EXPECT_EQ(list.SelectedRow(), 4);
}

// The find window is made hidden and owned; its own button finds in the main window's list.
TEST_F(MainWindowTest, FindWindowMadeOnFirstUseAndItsButtonFinds) {
  BuildShown();
  FindDeviceWindow& find = main_->Find();
  const HWND handle = FindWindowW(L"__PyravelFindWnd__", L"Find a device");
  ASSERT_NE(handle, nullptr);
  EXPECT_FALSE(IsWindowVisible(handle));
  EXPECT_EQ(GetWindow(handle, GW_OWNER), window_.Handle());
  find.Show();
  find.SetSearchText(u"KEYBOARD");
  PostMessageW(FindWindowExW(handle, nullptr, L"Button", nullptr), BM_CLICK, 0, 0);
  CloseAndRun();
  const int row = main_->List().SelectedRow();
  ASSERT_GE(row, 0);
  EXPECT_NE(main_->List().CellText(row, 0).Find(u"keyboard", false), 0);
}

TEST_F(MainWindowTest, StartupTipBoxSetsAndClearsOnlyBitZero) {
  StoreSetting(L"AppFlag", 0x40);
  Build();
  const int32_t box = main_->ControlIds().startupTipBox;
  ASSERT_TRUE(Checked(box));
  SendMessageW(window_.ControlHandle(box), BM_CLICK, 0, 0);  // unticks and posts its event
  CloseAndRun();
  EXPECT_EQ(main_->AppFlag(), 0x41u);
  EXPECT_EQ(StoredSetting(L"AppFlag"), 0x41u);
  EXPECT_EQ(FindWindowW(L"_WndMsgTipClass", nullptr), nullptr) << "unticking shows no tip";

  main_->ShowAndFill();  // a tip needs a window to stand on
  // Ticking it again shows the tip; the window is closed once the tip has been seen.
  std::atomic<bool> tipSeen{false};
  std::thread watcher([&] {
    tipSeen = WaitFor<bool>([] { return VisibleWindow(L"_WndMsgTipClass") != nullptr; }, 10);
    PostMessageW(window_.Handle(), WM_CLOSE, 0, 0);
  });
  SendMessageW(window_.ControlHandle(box), BM_CLICK, 0, 0);
  RunLoop();
  watcher.join();
  EXPECT_EQ(main_->AppFlag(), 0x40u);
  EXPECT_TRUE(tipSeen) << "ticking the box again shows the tip";
}

// The reboot question comes with any event. Yes saves the settings and restarts; a close of the
// main window (which also ends the program) clears the request without a restart. (No is
// answered after an uninstall.)
TEST_F(MainWindowTest, RebootQuestionAnswers) {
  const struct {
    const char* name;
    const wchar_t* button;  // nullptr: the main window is closed instead
    bool restarts;
  } cases[] = {{"Yes", L"Yes", true}, {"close", nullptr, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BuildShown();
    main_->SetRebootNeeded();
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsSubkey);
    environment_.restartMessages.clear();
    if (c.button == nullptr) {
      CloseAndRun();  // returns: the close answered the question with No and ended the loop
    } else {
      OperationScript script(window_.Handle(), {{OperationScript::Step::kBox, c.button}});
      PostMessageW(window_.Handle(), WM_NULL, 0, 0);
      RunLoop();  // after Yes, ends without a close request
      script.Join();
      EXPECT_TRUE(script.finished);
    }
    if (c.restarts) {
      EXPECT_EQ(environment_.restartMessages.size(), 1u);
    } else {
      EXPECT_FALSE(main_->RebootNeeded());
      EXPECT_TRUE(environment_.restartMessages.empty());
    }
    EXPECT_EQ(StoredSetting(L"AppFlag"), 1u) << "settings are saved by a close and before a restart";
    main_.reset();
    window_.DestroyUiWindow();
  }
}

TEST_F(MainWindowTest, AClosePumpedDuringAnOperationPutsTheCancelFlag) {
  BuildShown();
  PumpPending();
  // (The Cancel button is pressed while a worker runs.)
  main_->SetCancelRequested(kNotCancelled);
  PostClose();
  for (int i = 0; i < 50 && main_->CancelRequested() == kNotCancelled; ++i) {
    if (!main_->PumpEvent(kPumpPending)) Sleep(10);
  }
  EXPECT_EQ(main_->CancelRequested(), kProgramClosing);
}

// A worker's end is seen without a thread that wakes the pump, and the Cancel button pressed
// while it runs is handled during the wait.
TEST_F(MainWindowTest, PumpingUntilAWorkerEndsSeesItsEndAndTheCancelMeanwhile) {
  BuildShown();
  PumpPending();
  main_->Dialogs().OpenResults(window_, u"Working...", true);
  HWND cancel = main_->Dialogs().CancelButton();
  ASSERT_NE(cancel, nullptr);
  main_->SetCancelRequested(kNotCancelled);
  std::atomic<bool> cancelSeen{false};
  // The worker's end, as the worker's thread handle would signal it.
  HandleOwner ended(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  ASSERT_TRUE(ended.Valid());
  std::thread worker([&] {
    PostMessageW(cancel, BM_CLICK, 0, 0);
    for (int i = 0; i < 200 && main_->CancelRequested() == kNotCancelled; ++i) Sleep(10);
    cancelSeen = main_->CancelRequested() == kCancelPressed;
    Sleep(300);
    SetEvent(ended.Get());
  });
  const DWORD start = GetTickCount();
  main_->PumpUntilSignalled(ended.Get());
  EXPECT_EQ(WaitForSingleObject(ended.Get(), 0), WAIT_OBJECT_0) << "returned before the end";
  EXPECT_LT(GetTickCount() - start, 5000u);
  worker.join();
  EXPECT_TRUE(cancelSeen) << "the click was handled while the worker ran";
  main_->Dialogs().CloseResults();
}

// --- Device-change bursts ---

// Counts list builds where another thread can read them.
class BuildCounter : public ClassIconPlatform {
 public:
  using ClassIconPlatform::ClassIconPlatform;
  DeviceSet GetClassDevs(const Guid* cls, const char16_t* enumerator, WindowHandle parent, uint32_t flags) override {
    ++builds;
    return ClassIconPlatform::GetClassDevs(cls, enumerator, parent, flags);
  }
  std::atomic<int> builds{0};
};

// A dock or a hub sends notices in bursts: one rebuild once they have stopped for a while, in a
// refreshing pump even with ticks, in the idle loop only with nothing ticked, never in an
// operation's loop (its rows point into the set).
TEST_F(MainWindowTest, DeviceChangeBurstsRebuildOnceWhenTheyStop) {
  BuildCounter counter(environment_.simulated, GuidsOf(environment_.simulated.Pc()));
  environment_.UsePlatform(&counter);
  MainGoesFirst first{main_};
  BuildShown();
  PumpPending();
  const auto burst = [this] {
    for (int i = 0; i < 20; ++i) PostMessageW(window_.Handle(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
  };
  // Pumps in mode, waking for messages only, for ms or until the builds reach a count.
  const auto pump = [&](PumpMode mode, DWORD ms, int until) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < ms && counter.builds < until;) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      PumpPending(mode);
    }
  };
  // Runs the idle loop until the builds reach a count or ms have passed.
  const auto idle = [&](DWORD ms, int until) {
    std::thread closer([&] {
      for (const DWORD start = GetTickCount(); GetTickCount() - start < ms && counter.builds < until;) Sleep(20);
      PostClose();
    });
    RunLoop();
    closer.join();
  };
  const int builds = counter.builds;
  main_->List().SetRowChecked(0, true);
  burst();
  pump(kPumpPending, 1000, builds + 1);
  EXPECT_EQ(counter.builds, builds) << "an operation's loop rebuilt the list";
  pump(kPumpPendingRefreshing, 10000, builds + 1);
  EXPECT_EQ(counter.builds, builds + 1) << "the burst noted in the loop, once the loop ended";
  burst();
  PumpPending(kPumpPendingRefreshing);
  EXPECT_EQ(counter.builds, builds + 1) << "rebuilt while the burst went on";
  pump(kPumpPendingRefreshing, 10000, builds + 2);
  pump(kPumpPendingRefreshing, 700, builds + 3);
  EXPECT_EQ(counter.builds, builds + 2) << "one rebuild for the burst";
  main_->List().SetRowChecked(2, true);
  burst();
  idle(1000, builds + 3);
  EXPECT_EQ(counter.builds, builds + 2);
  EXPECT_TRUE(main_->List().RowChecked(2)) << "the user's ticks survive";
  main_->List().SetRowChecked(2, false);
  burst();
  idle(10000, builds + 3);
  EXPECT_EQ(counter.builds, builds + 3);
}

// The context menu follows the selected row: without one only the scan is offered, and its state
// item reads as the row's status asks (which status gives which item is checked natively). Menus
// get their pictures when they first open, not while the window is built: every item of every
// group menu and of the context menu has them by the time it shows.
TEST_F(MainWindowTest, MenusFollowTheSelectedRowAndHaveTheirPicturesWhenShown) {
  BuildShown();
  int working = -1;
  for (int row = 0; row < main_->List().RowCount() && working < 0; ++row) {
    if (main_->List().CellText(row, 1) == u"Working properly") working = row;
  }
  ASSERT_GE(working, 0);
  std::vector<std::pair<int, HWND>> cases = {{-1, ListHandle()}, {working, ListHandle()}};
  for (const int32_t button : main_->ControlIds().buttons) {
    if (button != 0) cases.emplace_back(working, window_.ControlHandle(button));
  }
  for (const auto& [row, target] : cases) {
    main_->List().SelectRow(row);
    HMENU menu = nullptr;
    {
      MenuWatcher watcher(window_.Handle());
      PostMessageW(window_.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(target),
                   MAKELPARAM(300, 250));
      RunLoop();
      menu = watcher.Menu();
    }
    ASSERT_NE(menu, nullptr) << "no menu showed for row " << row;
    const auto item = [menu](int i) {
      MENUITEMINFOW info{};
      info.cbSize = sizeof(info);
      info.fMask = MIIM_FTYPE | MIIM_CHECKMARKS | MIIM_STATE;
      GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
      return info;
    };
    const int count = GetMenuItemCount(menu);
    ASSERT_GT(count, 0);
    for (int i = 0; i < count; ++i) {
      EXPECT_TRUE((item(i).fType & MFT_SEPARATOR) || item(i).hbmpChecked) << "no picture: " << i;
    }
    if (target != ListHandle()) continue;
    ASSERT_EQ(menu, window_.ControlMenu(main_->ControlIds().list)) << row;
    ASSERT_EQ(static_cast<size_t>(count), ContextMenuItems().size());
    wchar_t text[64] = {};
    GetMenuStringW(menu, 1, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, row < 0 ? L"Enable device" : L"Disable device") << row;
    for (int i = 0; i < count; ++i) {
      const Command command = ContextMenuItems()[static_cast<size_t>(i)].command;
      if (command == Command::kNone || (row >= 0 && i > 0)) continue;
      EXPECT_EQ((item(i).fState & MFS_DISABLED) == 0, row >= 0 || command == Command::kScanHardware)
          << "row " << row << " item " << i;
    }
  }
}

}  // namespace
}  // namespace pyr
