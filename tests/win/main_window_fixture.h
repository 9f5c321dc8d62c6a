// The main window built for real on the simulated PC, for tests that drive it in-process: its
// environment, helpers that answer its menus, boxes and dialogs from another thread, and a fixture.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/command_table.h"
#include "app/settings.h"
#include "app/win32/class_icon_platform.h"
#include "app/win32/main_window.h"
#include "sandbox/simulated_platform.h"
#include "tests/core/test_fixture.h"
#include "web/win32/wininet_transport.h"
#include "tests/win/win_test_support.h"

namespace pyr {
namespace {

constexpr wchar_t kSettingsSubkey[] = L"Software\\Tolvenor\\Pyravel";

class TestEnvironment : public ProgramEnvironment {
 public:
  TestEnvironment() : simulated(LoadTestPc()), icons(simulated, GuidsOf(simulated.Pc())) {}
  DevicePlatform& Platform() override { return override_ ? *override_ : icons; }
  // A platform of the test's own (one that wraps icons) in place of icons; set before Build().
  void UsePlatform(DevicePlatform* platform) { override_ = platform; }
  bool RestartSystem(const char16_t* message) override {
    restartMessages.emplace_back(message);
    return true;
  }
  const char16_t* StartDevicePairingWizard() override { return nullptr; }

  DownloadTransport& Transport() override { return transport; }
  std::u16string MakerSite() const override { return {}; }
  std::u16string ProgramDataFolder() const override { return {}; }  // no package is removed

  SimulatedPlatform simulated;
  ClassIconPlatform icons;
  std::vector<std::u16string> restartMessages;
  WinInetTransport transport;

 private:
  DevicePlatform* override_ = nullptr;
};

constexpr wchar_t kResultsClass[] = L"_WND_PROGRESS_DLG_";

HWND VisibleWindow(const wchar_t* cls) {
  HWND w = FindWindowW(cls, nullptr);
  return w != nullptr && IsWindowVisible(w) ? w : nullptr;
}

template <typename Found>
Found WaitFor(const std::function<Found()>& look, int seconds = 20) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < deadline) {
    if (Found found = look()) return found;
    Sleep(20);
  }
  return Found{};
}

// The visible children of a window as class and text.
inline std::vector<std::pair<std::wstring, std::wstring>> ChildrenOf(HWND parent) {
  std::vector<std::pair<std::wstring, std::wstring>> children;
  HWND child = nullptr;
  while ((child = FindWindowExW(parent, child, nullptr, nullptr)) != nullptr) {
    wchar_t cls[64] = {}, text[512] = {};
    GetClassNameW(child, cls, 64);
    GetWindowTextW(child, text, 512);
    if (IsWindowVisible(child)) children.emplace_back(cls, text);
  }
  return children;
}

// Dismisses the next popup menu this process tracks, then closes the window, from another
// thread, since the menu's loop runs on the test's own thread; Menu() is the menu that showed.
class MenuWatcher {
 public:
  explicit MenuWatcher(HWND closeAfter) : thread_([this, closeAfter] { Run(closeAfter); }) {}
  ~MenuWatcher() { thread_.join(); }
  HMENU Menu() const { return menu_; }

 private:
  void Run(HWND closeAfter) {
    if (const HWND popup = WaitFor<HWND>([] { return VisibleWindow(L"#32768"); })) {
      menu_ = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
      // The menu's loop may not be reading keys yet when its window shows: Esc until it goes.
      for (int i = 0; i < 100 && IsWindow(popup) && IsWindowVisible(popup); ++i) {
        PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        Sleep(100);
      }
    }
    Sleep(200);
    PostMessageW(closeAfter, WM_CLOSE, 0, 0);
  }

  std::atomic<HMENU> menu_{nullptr};
  std::thread thread_;
};

// Answers, in order, what an operation shows: message boxes, the finished results dialog (OK),
// or a while without a box; then closes the main window. Every wait is bounded: a step that does
// not come, or a close that does not end the event loop, fails the test and names what it waited for.
class OperationScript {
 public:
  struct Step {
    enum Kind { kBox, kResults, kNoBox } kind;
    std::wstring answer;  // the box's button
  };
  OperationScript(HWND main, std::vector<Step> steps)
      : main_(main), steps_(std::move(steps)) {
    thread_ = std::thread([this] { Run(); });
  }
  ~OperationScript() { Join(); }
  // Called once the event loop the script closes has returned.
  void Join() {
    loopEnded_.store(true);
    if (thread_.joinable()) thread_.join();
    if (!waitedFor_.empty()) ADD_FAILURE() << "the operation script waited in vain for " << waitedFor_;
    waitedFor_.clear();
  }

  std::vector<std::wstring> resultLines;
  std::vector<bool> resultsInFront;
  std::vector<bool> boxOverResults;  // per box: whether a results dialog was open under it
  bool finished = false;

 private:
  void Run() {
    finished = std::all_of(steps_.begin(), steps_.end(), [this](const Step& step) { return Do(step); });
    // At once: a close that comes while the operation lets go of the window must still end the loop.
    PostMessageW(main_, WM_CLOSE, 0, 0);
    // After a failed step a box or results dialog may wait for an answer, shown or not:
    // each is closed as it comes until the loop has ended.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (!loopEnded_.load() && std::chrono::steady_clock::now() < deadline) {
      if (!finished) CloseProgramWindows();
      Sleep(100);
    }
    if (loopEnded_.load()) return;
    // The main thread is stuck where nothing can reach it: end the run rather than hang it.
    if (waitedFor_.empty()) waitedFor_ = "the event loop to end after the main window's WM_CLOSE";
    std::fprintf(stderr, "OperationScript: waited in vain for %s; the test process ends here\n", waitedFor_.c_str());
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
  }

  // Hidden ones too: a box or dialog may wait for an answer before it shows.
  static void CloseProgramWindows() {
    for (const wchar_t* cls : {L"_WINDOW_MsgBoxClass", kResultsClass}) {
      if (HWND w = FindWindowW(cls, nullptr)) PostMessageW(w, WM_CLOSE, 0, 0);
    }
  }

  bool Failed(const std::string& what) {
    waitedFor_ = what;
    return false;
  }

  bool Do(const Step& step) {
    switch (step.kind) {
      case Step::kBox: {
        HWND box = WaitFor<HWND>([] { return VisibleWindow(L"_WINDOW_MsgBoxClass"); });
        const std::string answer(step.answer.begin(), step.answer.end());
        if (box == nullptr) return Failed("a message box to answer \"" + answer + "\" (20 s)");
        boxOverResults.push_back(VisibleWindow(kResultsClass) != nullptr);
        HWND button = FindWindowExW(box, nullptr, L"Button", step.answer.c_str());
        if (button == nullptr) return Failed("a \"" + answer + "\" button on the message box");
        PostMessageW(button, BM_CLICK, 0, 0);
        return WaitFor<bool>([box] { return !IsWindow(box) || !IsWindowVisible(box); }, 10) ||
               Failed("the message box to close after \"" + answer + "\" (10 s)");
      }
      case Step::kResults: {
        HWND dialog = WaitFor<HWND>([] {
          HWND d = VisibleWindow(kResultsClass);
          return d != nullptr && FindWindowExW(d, nullptr, L"Button", L"OK") != nullptr ? d : nullptr;
        });
        if (dialog == nullptr) return Failed("the finished results dialog with its OK button (20 s)");
        // The dialog stays in front of the main window, whatever box came and went over it.
        bool above = false;
        for (HWND w = GetWindow(dialog, GW_HWNDNEXT); w != nullptr && !above; w = GetWindow(w, GW_HWNDNEXT)) {
          above = w == main_;
        }
        resultsInFront.push_back(above);
        HWND list = FindWindowExW(dialog, nullptr, L"SysListView32", nullptr);
        const int count = list ? static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
        for (int i = 0; i < count; ++i) {
          wchar_t text[512] = {};
          ListView_GetItemText(list, i, 1, text, 512);
          resultLines.push_back(text);
        }
        PostMessageW(FindWindowExW(dialog, nullptr, L"Button", L"OK"), BM_CLICK, 0, 0);
        return WaitFor<bool>([] { return VisibleWindow(kResultsClass) == nullptr; }, 10) ||
               Failed("the results dialog to close after OK (10 s)");
      }
      case Step::kNoBox:
        return !WaitFor<bool>([] { return VisibleWindow(L"_WINDOW_MsgBoxClass") != nullptr; }, 2) ||
               Failed("2 s without a message box, but one came");
    }
    return false;
  }

  HWND main_;
  std::vector<Step> steps_;
  std::string waitedFor_;
  std::atomic<bool> loopEnded_{false};
  std::thread thread_;
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsSubkey); }
  void TearDown() override {
    main_.reset();
    window_.DestroyUiWindow();
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsSubkey);
  }

  void Build() {
    main_ = std::make_unique<MainWindow>(environment_);
    ASSERT_NE(window_.CreateUiWindow(u"__PyravelClass__", u"Pyravel", 750, 550, -1, -1,
                                     WS_OVERLAPPEDWINDOW, DWORD(-1), nullptr),
              nullptr);
    ASSERT_TRUE(main_->BuildContents(GetModuleHandleW(nullptr), window_));
  }
  // A start that is not the first (no startup tip in the way), with the list filled.
  void BuildShown() {
    StoreSetting(L"AppFlag", 1);
    Build();
    main_->ShowAndFill();
  }
  void StoreSetting(const wchar_t* name, DWORD value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsSubkey, name, REG_DWORD, &value, sizeof(value));
  }
  DWORD StoredSetting(const wchar_t* name) {
    DWORD value = 0xDEAD, size = 4;
    RegGetValueW(HKEY_CURRENT_USER, kSettingsSubkey, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
  }
  int32_t MenuId(Command command) const {
    return main_->ControlIds().commands.IdOf(command, CommandSource::kMenu);
  }
  bool Checked(int32_t id) { return window_.GetControlState(id, kStateCheck) != 0; }
  bool Enabled(int32_t id) { return window_.GetControlState(id, kStateEnable) != 0; }
  HWND ListHandle() { return window_.ControlHandle(main_->ControlIds().list); }
  // Posts the keyboard form of a command: WM_COMMAND with HIWORD 1 and no control.
  void PostCommand(int32_t id) {
    PostMessageW(window_.Handle(), WM_COMMAND, MAKEWPARAM(id, 1), 0);
  }
  void PostClose() { PostMessageW(window_.Handle(), WM_CLOSE, 0, 0); }
  // Runs the event loop; a test may run it more than once, so the close of the previous run is
  // forgotten first, as a fresh program would start.
  void RunLoop() {
    window_.EventSink()->quit = 0;
    main_->EventLoop();
  }
  void CloseAndRun() {
    PostClose();
    RunLoop();
  }
  void RunCommand(int32_t id) {
    PostCommand(id);
    CloseAndRun();
  }
  int RowNamed(const char16_t* name) {
    for (int row = 0; row < main_->List().RowCount(); ++row) {
      if (main_->List().CellText(row, 0) == name) return row;
    }
    return -1;
  }
  // Handles what is pending in mode; a refreshing mode rebuilds on a device change.
  void PumpPending(PumpMode mode = kPumpPending) {
    while (main_->PumpEvent(mode)) {
    }
  }

  // Declared after a platform of the test's own: the main window, which reads that platform
  // until it is destroyed, goes first, also when the test ends early.
  struct MainGoesFirst {
    std::unique_ptr<MainWindow>& main;
    ~MainGoesFirst() { main.reset(); }
  };

  TestEnvironment environment_;
  UiWindow window_;
  std::unique_ptr<MainWindow> main_;
};

}  // namespace
}  // namespace pyr
