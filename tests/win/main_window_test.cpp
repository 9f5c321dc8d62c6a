// The main window built for real on the simulated PC: its controls, menus and accelerators, the
// settings it loads and saves, and its event loop driven by posted window messages.
#include "tests/win/main_window_fixture.h"

#include <dbt.h>

namespace pyr {
namespace {

TEST_F(MainWindowTest, PaneButtonsCheckBoxLegendAndLinks) {
  Build();
  const MainWindow::Ids& ids = main_->ControlIds();
  const auto groups = CommandGroups();
  for (size_t i = 0; i < groups.size(); ++i) {
    const HWND button = window_.ControlHandle(ids.buttons[i]);
    ASSERT_NE(button, nullptr) << i;
    EXPECT_EQ(TextOf(button), reinterpret_cast<const wchar_t*>(groups[i].button));
    ASSERT_EQ(GetParent(button), window_.ControlHandle(ids.pane));
    EXPECT_EQ(PlaceInParent(button), (Box{10, 15 + 35 * static_cast<int>(i), 130, 28}));
  }
  EXPECT_TRUE(Checked(ids.startupTipBox)) << "no settings: the tip is on";

  const uint32_t colours[] = {0x808080, 0x5050A0, 0xA05050, 0x507090};
  const wchar_t* labels[] = {L"Disabled", L"Not working", L"Not present", L"No drivers installed"};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(TextOf(window_.ControlHandle(ids.legend[i])), labels[i]);
    EXPECT_EQ(window_.Entry(ids.legend[i])->backColour, colours[i]) << i;
    EXPECT_EQ(window_.Entry(ids.legend[i])->textColour, 0xFFFFFFu) << i;
  }

  const wchar_t* links[] = {L"Love this app? <a>Donate</a>", L"Version <a>1.1.0.0</a>",
                            L"App by <a>tolvenor.com</a>"};
  for (size_t i = 0; i < 3; ++i) {
    const HWND link = window_.ControlHandle(ids.links[i]);
    EXPECT_EQ(TextOf(link), links[i]);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0)), sizeof(font), &font);
    EXPECT_EQ(font.lfWeight, FW_BOLD) << i;
  }
  // The grip's picture fills its 24-pixel control rather than a 20-pixel button's.
  const auto grip = reinterpret_cast<HBITMAP>(
      SendMessageW(window_.ControlHandle(ids.sizeGrip), STM_GETIMAGE, IMAGE_BITMAP, 0));
  BITMAP bits{};
  ASSERT_TRUE(GetObjectW(grip, sizeof(bits), &bits));
  EXPECT_EQ(bits.bmWidth, 24);
  EXPECT_EQ(bits.bmHeight, 24);
}

TEST_F(MainWindowTest, ListStretchesAndThePaneKeepsToTheRightEdge) {
  Build();
  const MainWindow::Ids& ids = main_->ControlIds();
  for (const SIZE outer : {SIZE{1000, 700}, SIZE{1200, 900}}) {
    SetWindowPos(window_.Handle(), nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER);
    window_.Layout();
    const RECT client = ClientOf(window_.Handle());
    EXPECT_EQ(PlaceInParent(window_.ControlHandle(ids.list)),
              (Box{0, 0, client.right - 150, client.bottom}));
    EXPECT_EQ(PlaceInParent(window_.ControlHandle(ids.pane)),
              (Box{client.right - 150, -1, 152, client.bottom + 3}));
  }
}

TEST_F(MainWindowTest, GroupMenusHoldTheTableItemsInOrder) {
  Build();
  const auto groups = CommandGroups();
  for (size_t g = 0; g < groups.size(); ++g) {
    const HMENU menu = window_.ControlMenu(main_->ControlIds().buttons[g]);
    ASSERT_NE(menu, nullptr) << g;
    ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(groups[g].items.size()));
    for (size_t i = 0; i < groups[g].items.size(); ++i) {
      const MenuItemSpec& item = groups[g].items[i];
      MENUITEMINFOW info{};
      info.cbSize = sizeof(info);
      info.fMask = MIIM_FTYPE | MIIM_ID;
      GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
      if (item.text == nullptr) {
        EXPECT_TRUE(info.fType & MFT_SEPARATOR) << g << "/" << i;
        continue;
      }
      EXPECT_EQ(MenuText(menu, static_cast<UINT>(i)),
                std::wstring(reinterpret_cast<const wchar_t*>(item.text)));
      EXPECT_EQ(static_cast<int32_t>(info.wID), MenuId(item.command));
    }
  }
}

TEST_F(MainWindowTest, EveryAcceleratorPointsAtItsMenuItem) {
  Build();
  ACCEL table[64] = {};
  const int count = CopyAcceleratorTableW(window_.Accelerators(), table, 64);
  const std::vector<AcceleratorEntry> expected = MainAccelerators();
  ASSERT_EQ(count, static_cast<int>(expected.size()));
  for (int i = 0; i < count; ++i) {
    EXPECT_EQ(table[i].cmd, MenuId(expected[static_cast<size_t>(i)].command)) << i;
    EXPECT_EQ(table[i].key, expected[static_cast<size_t>(i)].accelerator.key) << i;
    EXPECT_EQ(table[i].fVirt & (FVIRTKEY | FCONTROL | FALT),
              expected[static_cast<size_t>(i)].accelerator.flags)
        << i;
  }
}

TEST_F(MainWindowTest, FirstStartTakesTheDefaultsCentredOnTheScreen) {
  Build();
  EXPECT_FALSE(main_->SettingsKeyOpened());
  const RECT r = WindowRectOf(window_.Handle());
  const HDC screen = GetDC(nullptr);
  const int sw = GetDeviceCaps(screen, HORZRES), sh = GetDeviceCaps(screen, VERTRES);
  ReleaseDC(nullptr, screen);
  ASSERT_GE(sw, 1201) << "the test screen is 1280 x 1024";
  ASSERT_GE(sh, 801);
  EXPECT_EQ(r.right - r.left, 1000);
  EXPECT_EQ(r.bottom - r.top, 700);
  EXPECT_EQ(r.left, (sw - 1000) / 2);
  EXPECT_EQ(r.top, (sh - 700) / 2);
  const int widths[] = {270, 120, 120, 150, 100, 120, 100, 200, 100, 300};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(ListView_GetColumnWidth(ListHandle(), i), widths[i]) << i;
  EXPECT_FALSE(Checked(MenuId(Command::kShowNotPresent)));
  EXPECT_TRUE(Checked(MenuId(Command::kGroupByType)));
  EXPECT_TRUE(Enabled(MenuId(Command::kExpandAll)));
  EXPECT_FALSE(Enabled(MenuId(Command::kUninstall))) << "nothing is checked yet";
  EXPECT_FALSE(Enabled(MenuId(Command::kCopyDeviceName))) << "nothing is selected yet";
}

TEST_F(MainWindowTest, StoredSettingsAreAppliedAndWrittenBack) {
  StoreSetting(L"WindowCx", 1100);
  StoreSetting(L"WindowCy", 800);
  StoreSetting(L"LvCol3", 0);
  StoreSetting(L"LvCol7", 333);
  StoreSetting(L"AppFlag", 0x101);
  StoreSetting(L"ListFlag", 3);
  Build();
  EXPECT_TRUE(main_->SettingsKeyOpened());
  EXPECT_EQ(BoxOf(WindowRectOf(window_.Handle())).width, 1100);
  EXPECT_EQ(BoxOf(WindowRectOf(window_.Handle())).height, 800);
  EXPECT_EQ(ListView_GetColumnWidth(ListHandle(), 3), 0);
  EXPECT_EQ(ListView_GetColumnWidth(ListHandle(), 7), 333);
  EXPECT_FALSE(Checked(main_->ControlIds().startupTipBox));
  EXPECT_TRUE(Checked(MenuId(Command::kShowNotPresent)));
  EXPECT_FALSE(Checked(MenuId(Command::kGroupByType)));
  EXPECT_FALSE(Enabled(MenuId(Command::kExpandAll)));
  EXPECT_FALSE(Enabled(MenuId(Command::kCollapseAll)));

  main_->ShowAndFill();
  EXPECT_EQ(main_->ListFlag(), 3u);
  RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsSubkey);
  ASSERT_TRUE(main_->SaveSettings());
  EXPECT_EQ(StoredSetting(L"WindowCx"), 1100u);
  EXPECT_EQ(StoredSetting(L"LvCol3"), 150u) << "a hidden column is saved at its default width";
  EXPECT_EQ(StoredSetting(L"LvCol7"), 333u);
  EXPECT_EQ(StoredSetting(L"AppFlag"), 0x101u);
  EXPECT_EQ(StoredSetting(L"ListFlag"), 3u);
}

TEST_F(MainWindowTest, NotPresentDevicesAppearOnlyWhenAskedFor) {
  BuildShown();
  const int presentOnly = main_->List().RowCount();
  ASSERT_GT(presentOnly, 0);
  for (int row = 0; row < presentOnly; ++row) {
    EXPECT_NE(main_->List().CellText(row, 1), WideText(u"Not present")) << row;
  }
  RunCommand(MenuId(Command::kShowNotPresent));
  EXPECT_TRUE(Checked(MenuId(Command::kShowNotPresent)));
  EXPECT_EQ(main_->ListFlag(), 1u);
  EXPECT_GT(main_->List().RowCount(), presentOnly);
  EXPECT_EQ(StoredSetting(L"ListFlag"), 1u) << "closing saves the settings";
}

TEST_F(MainWindowTest, GroupByTypeTogglesTheFlatListAndTheGroupCommands) {
  BuildShown();
  RunCommand(MenuId(Command::kGroupByType));
  EXPECT_EQ(main_->ListFlag(), 2u);
  EXPECT_FALSE(Checked(MenuId(Command::kGroupByType)));
  EXPECT_FALSE(Enabled(MenuId(Command::kExpandAll)));
  EXPECT_FALSE(Enabled(MenuId(Command::kCollapseAll)));
  EXPECT_FALSE(main_->List().GroupViewEnabled());

  RunCommand(MenuId(Command::kGroupByType));
  EXPECT_EQ(main_->ListFlag(), 0u);
  EXPECT_TRUE(Checked(MenuId(Command::kGroupByType)));
  EXPECT_TRUE(Enabled(MenuId(Command::kExpandAll)));
}

TEST_F(MainWindowTest, DoubleClickTicksTheSelectedRowAndF5Refreshes) {
  BuildShown();
  main_->List().SelectRow(4);
  window_.PostUiEvent(ev::kDoubleClick, WM_NOTIFY, ListHandle(),
                      static_cast<uint32_t>(main_->ControlIds().list), 0);
  CloseAndRun();
  EXPECT_TRUE(main_->List().RowChecked(4));

  const uint64_t builds = Builds();
  RunCommand(MenuId(Command::kRefresh));
  EXPECT_EQ(Builds(), builds + 1);
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
    for (int i = 0; i < 500 && !tipSeen; ++i) {
      const HWND tip = FindWindowW(L"_WndMsgTipClass", nullptr);
      tipSeen = tip != nullptr && IsWindowVisible(tip);
      Sleep(20);
    }
    PostMessageW(window_.Handle(), WM_CLOSE, 0, 0);
  });
  SendMessageW(window_.ControlHandle(box), BM_CLICK, 0, 0);
  RunLoop();
  watcher.join();
  EXPECT_EQ(main_->AppFlag(), 0x40u);
  EXPECT_TRUE(tipSeen) << "ticking the box again shows the tip";
}

TEST_F(MainWindowTest, FirstRunQuestionThenTheStartupTip) {
  Build();
  main_->ShowAndFill();
  BoxAnswerer answer(L"No");
  main_->AskStartupQuestions();
  EXPECT_TRUE(answer.Answered());
  EXPECT_EQ(answer.Message(),
            L"You seem to be using Pyravel for the first time in this PC\r\n\r\n"
            L"Do you want to create a driver backup?");
  const HWND tip = FindWindowW(L"_WndMsgTipClass", nullptr);
  ASSERT_NE(tip, nullptr) << "the startup tip follows the question";
  EXPECT_TRUE(IsWindowVisible(tip));
}

// The reboot question comes with any event. Yes saves the settings and restarts; No, Esc and a
// close of the main window (which also ends the program) clear the request without a restart.
TEST_F(MainWindowTest, RebootQuestionAnswers) {
  const struct {
    const char* name;
    const wchar_t* button;  // nullptr: the main window is closed instead
    bool restarts;
  } cases[] = {{"Yes", L"Yes", true},
               {"No", L"No", false},
               {"Esc", BoxAnswerer::kEscape, false},
               {"close", nullptr, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BuildShown();
    main_->SetRebootNeeded();
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsSubkey);
    environment_.restartMessages.clear();
    if (c.button == nullptr) {
      CloseAndRun();  // returns: the close answered the question with No and ended the loop
    } else {
      BoxAnswerer answer(c.button, c.restarts ? nullptr : window_.Handle());
      PostMessageW(window_.Handle(), WM_NULL, 0, 0);
      RunLoop();  // after Yes, ends without a close request
      EXPECT_TRUE(answer.Answered());
      EXPECT_EQ(answer.Message(),
                L"This computer needs to be rebooted in order to finish setting up one or more "
                L"devices.\r\n\r\nDo you want to reboot now?");
    }
    if (c.restarts) {
      ASSERT_EQ(environment_.restartMessages.size(), 1u);
      EXPECT_EQ(environment_.restartMessages[0], u"This computer will reboot in less than ten seconds");
    } else {
      EXPECT_FALSE(main_->RebootNeeded());
      EXPECT_TRUE(environment_.restartMessages.empty());
    }
    EXPECT_EQ(StoredSetting(L"AppFlag"), 1u) << "settings are saved by a close and before a restart";
    main_.reset();
    window_.DestroyUiWindow();
  }
}

TEST_F(MainWindowTest, PumpSetsTheCancelFlagAndDrainsOnlyWhatIsPending) {
  BuildShown();
  PumpPending();
  EXPECT_FALSE(main_->PumpEvent(kPumpPending)) << "nothing pending: returns at once";

  main_->Dialogs().OpenResults(window_, u"Working...", true);
  ASSERT_NE(main_->Dialogs().CancelButton(), nullptr);
  PostMessageW(main_->Dialogs().CancelButton(), BM_CLICK, 0, 0);
  for (int i = 0; i < 50 && main_->CancelRequested() == kNotCancelled; ++i) {
    if (!main_->PumpEvent(kPumpPending)) Sleep(10);
  }
  EXPECT_EQ(main_->CancelRequested(), kCancelPressed);
  main_->Dialogs().CloseResults();

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

TEST_F(MainWindowTest, ControlLockDisablesListAndPaneUntilItEnds) {
  StoreSetting(L"AppFlag", 1);
  Build();
  const MainWindow::Ids& ids = main_->ControlIds();
  {
    const ControlsDisabler lock = main_->LockControls();
    EXPECT_FALSE(IsWindowEnabled(window_.ControlHandle(ids.list)));
    EXPECT_FALSE(IsWindowEnabled(window_.ControlHandle(ids.pane)));
  }
  EXPECT_TRUE(IsWindowEnabled(window_.ControlHandle(ids.list)));
  EXPECT_TRUE(IsWindowEnabled(window_.ControlHandle(ids.pane)));
}

TEST_F(MainWindowTest, ContextMenuFollowsTheSelectedRow) {
  BuildShown();
  int disabled = -1, working = -1;
  for (int row = 0; row < main_->List().RowCount(); ++row) {
    const WideText status = main_->List().CellText(row, 1);
    if (disabled < 0 && status == u"Disabled") disabled = row;
    if (working < 0 && status == u"Working properly") working = row;
  }
  ASSERT_GE(disabled, 0) << "the simulated PC has a disabled device";
  ASSERT_GE(working, 0);
  const struct {
    int row;
    const wchar_t* stateItem;
  } cases[] = {{-1, L"Enable device"}, {working, L"Disable device"}, {disabled, L"Enable device"}};
  for (const auto& c : cases) {
    main_->List().SelectRow(c.row);
    MenuWatcher watcher(window_.Handle());
    PostMessageW(window_.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(ListHandle()),
                 MAKELPARAM(200, 300));
    RunLoop();
    ASSERT_EQ(watcher.Menu(), window_.ControlMenu(main_->ControlIds().list)) << c.row;
    ASSERT_EQ(watcher.Items().size(), ContextMenuItems().size());
    EXPECT_EQ(watcher.Items()[1].text, c.stateItem) << c.row;
    // Without a selection only the scan is offered.
    for (size_t i = 0; i < watcher.Items().size(); ++i) {
      const Command command = ContextMenuItems()[i].command;
      if (command == Command::kNone || (c.row >= 0 && i > 0)) continue;
      EXPECT_EQ(watcher.Items()[i].enabled, c.row >= 0 || command == Command::kScanHardware)
          << "row " << c.row << " item " << i;
    }
  }
}

TEST_F(MainWindowTest, RightClickOnAGroupButtonOpensItsMenu) {
  BuildShown();
  const int32_t view = main_->ControlIds().buttons[1];
  MenuWatcher watcher(window_.Handle());
  PostMessageW(window_.Handle(), WM_CONTEXTMENU,
               reinterpret_cast<WPARAM>(window_.ControlHandle(view)), MAKELPARAM(900, 250));
  RunLoop();
  EXPECT_EQ(watcher.Menu(), window_.ControlMenu(view));
  ASSERT_EQ(watcher.Items().size(), 5u);
  EXPECT_EQ(watcher.Items()[0].text, L"Show devices not present\tCtrl+S");
}

// Menus get their pictures when they first open, not while the window is built: every item of
// every group menu and of the context menu has them by the time it shows.
TEST_F(MainWindowTest, EveryMenuItemHasItsPictureWhenTheMenuShows) {
  BuildShown();
  main_->List().SelectRow(0);
  std::vector<HWND> targets = {ListHandle()};
  for (const int32_t button : main_->ControlIds().buttons) {
    if (button != 0) targets.push_back(window_.ControlHandle(button));
  }
  for (const HWND target : targets) {
    MenuWatcher watcher(window_.Handle());
    PostMessageW(window_.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(target),
                 MAKELPARAM(300, 250));
    RunLoop();
    ASSERT_FALSE(watcher.Items().empty());
    for (const MenuWatcher::Item& item : watcher.Items()) {
      EXPECT_TRUE(item.pictured) << std::string(item.text.begin(), item.text.end());
    }
  }
}

}  // namespace
}  // namespace pyr
