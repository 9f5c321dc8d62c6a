// Reports what another program's windows show, for the end-to-end tests: the top-level windows
// of a title's process with their child texts, and the rows of its list view. Output is UTF-8,
// one record per line, fields separated by tabs.
//
//   ui_probe windows <title>   every visible top-level window of the process owning <title>:
//                              "window <class> <title> <x> <y> <w> <h>", then its visible children
//                              "child <class> <text> <enabled> <x> <y> <w> <h>" (screen pixels)
//   ui_probe list <title> [<class>]
//                              the list view of the main window, or of the process's top-level
//                              window of that class: "rows <n> grouped <0|1>", then per row
//                              "row <i> <checked> <c0> ... <c9> <selected> <x> <y> <w> <h>", the
//                              last four the row's part inside the list's client area below the
//                              header, in screen pixels (all 0 when none of it shows)
//   ui_probe focus <title>     "focus <class> <text> <top-level class>": the window with the
//                              keyboard focus in the program's thread, and its top-level window
//   ui_probe clipboard         "clipboard <units> <text>" with the clipboard's Unicode text and
//                              its length in UTF-16 units, or "clipboard none"
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  for (char& c : out) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
  return out;
}

std::wstring WindowText(HWND hwnd) {
  wchar_t buffer[1024] = {};
  // WM_GETTEXT reaches into the other process; GetWindowTextW would not for controls.
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                      2000, nullptr);
  return buffer;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t buffer[256] = {};
  GetClassNameW(hwnd, buffer, 256);
  return buffer;
}

// The visible top-level windows of the process that owns main.
std::vector<HWND> TopLevelWindows(HWND main) {
  std::pair<DWORD, std::vector<HWND>> search{0, {}};
  GetWindowThreadProcessId(main, &search.first);
  EnumWindows([](HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == s->first && IsWindowVisible(hwnd)) s->second.push_back(hwnd);
    return TRUE;
  }, reinterpret_cast<LPARAM>(&search));
  return search.second;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(parent, [](HWND hwnd, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
  }, reinterpret_cast<LPARAM>(&children));
  return children;
}

void PrintRect(const RECT& r) { std::printf("\t%ld\t%ld\t%ld\t%ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top); }

int ListWindows(HWND main) {
  for (HWND hwnd : TopLevelWindows(main)) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    std::printf("window\t%s\t%s", Utf8(ClassOf(hwnd)).c_str(), Utf8(WindowText(hwnd)).c_str());
    PrintRect(r);
    for (HWND child : Children(hwnd)) {
      if (!IsWindowVisible(child)) continue;
      GetWindowRect(child, &r);
      std::printf("child\t%s\t%s\t%d", Utf8(ClassOf(child)).c_str(), Utf8(WindowText(child)).c_str(),
                  IsWindowEnabled(child) ? 1 : 0);
      PrintRect(r);
    }
  }
  return 0;
}

// Memory in the program's process, through which a list view answers: an LVITEMW or a RECT
// first, then room for a cell's text.
struct Remote {
  static constexpr size_t kChars = 1024;
  HANDLE process;
  char* address = static_cast<char*>(VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + kChars * sizeof(wchar_t),
                                                    MEM_COMMIT, PAGE_READWRITE));
  ~Remote() { VirtualFreeEx(process, address, 0, MEM_RELEASE); }
  bool Write(const void* data, size_t size) { return WriteProcessMemory(process, address, data, size, nullptr); }
  bool Read(void* data, size_t size, size_t offset = 0) {
    return ReadProcessMemory(process, address + offset, data, size, nullptr);
  }
};

std::wstring CellText(HWND list, Remote& remote, int row, int column) {
  LVITEMW item{};
  item.iSubItem = column;
  item.cchTextMax = Remote::kChars;
  item.pszText = reinterpret_cast<wchar_t*>(remote.address + sizeof(item));
  remote.Write(&item, sizeof(item));
  SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.address));
  std::wstring text(Remote::kChars, L'\0');
  remote.Read(text.data(), Remote::kChars * sizeof(wchar_t), sizeof(item));
  text.resize(wcsnlen(text.c_str(), Remote::kChars));
  return text;
}

// The part of a row that the list shows below its header, in screen pixels; empty when it is
// scrolled away.
RECT VisibleRowRect(HWND list, Remote& remote, int row) {
  RECT bounds{LVIR_BOUNDS, 0, 0, 0}, client{}, shown{};
  remote.Write(&bounds, sizeof(bounds));
  if (!SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.address)) ||
      !remote.Read(&bounds, sizeof(bounds))) {
    return shown;
  }
  GetClientRect(list, &client);
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  if (header != nullptr && IsWindowVisible(header)) {
    RECT h{};
    GetWindowRect(header, &h);
    client.top = h.bottom - h.top;
  }
  if (!IntersectRect(&shown, &bounds, &client)) return RECT{};
  MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&shown), 2);
  return shown;
}

int ListRows(HWND main, const wchar_t* windowClass) {
  HWND owner = windowClass == nullptr ? main : nullptr, list = nullptr;
  for (HWND hwnd : windowClass ? TopLevelWindows(main) : std::vector<HWND>{}) {
    if (owner == nullptr && ClassOf(hwnd) == windowClass) owner = hwnd;
  }
  for (HWND child : owner ? Children(owner) : std::vector<HWND>{}) {
    // The main window keeps its second list hidden until its view is chosen.
    if (ClassOf(child) == WC_LISTVIEWW && IsWindowVisible(child)) list = child;
  }
  DWORD pid = 0;
  GetWindowThreadProcessId(main, &pid);
  HANDLE process = list ? OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid) : nullptr;
  if (process == nullptr) {
    std::printf("error\t%s\n", !owner ? "no window of that class" : !list ? "no list view" : "cannot open the process");
    return 1;
  }
  const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  std::printf("rows\t%d\tgrouped\t%d\n", rows, static_cast<int>(SendMessageW(list, LVM_ISGROUPVIEWENABLED, 0, 0)));
  {
    Remote remote{process};
    for (int row = 0; row < rows; ++row) {
      const auto state = [&](UINT mask) {
        return static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), mask));
      };
      std::printf("row\t%d\t%d", row, (state(LVIS_STATEIMAGEMASK) >> 12) == 2 ? 1 : 0);
      for (int column = 0; column < 12; ++column) {
        std::printf("\t%s", Utf8(CellText(list, remote, row, column)).c_str());
      }
      std::printf("\t%d", (state(LVIS_SELECTED) & LVIS_SELECTED) ? 1 : 0);
      PrintRect(VisibleRowRect(list, remote, row));
    }
  }
  CloseHandle(process);
  return 0;
}

int PrintFocus(HWND main) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info);  // no focus when it fails
  HWND focus = info.hwndFocus;
  const std::wstring top = focus != nullptr ? ClassOf(GetAncestor(focus, GA_ROOT)) : L"";
  std::printf("focus\t%s\t%s\t%s\n", focus != nullptr ? Utf8(ClassOf(focus)).c_str() : "",
              focus != nullptr ? Utf8(WindowText(focus)).c_str() : "", Utf8(top).c_str());
  return 0;
}

int PrintClipboard() {
  // The program may hold the clipboard for a moment while it writes it.
  bool open = false;
  for (int attempt = 0; attempt < 20 && !open; ++attempt) {
    open = OpenClipboard(nullptr);
    if (!open) Sleep(50);
  }
  if (!open) {
    std::printf("error\tcannot open the clipboard\n");
    return 1;
  }
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const auto* text = data != nullptr ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
  if (text == nullptr) {
    std::printf("clipboard\tnone\n");
  } else {
    // The block may be larger than the text; the text ends at its terminating zero.
    const size_t units = wcsnlen(text, GlobalSize(data) / sizeof(wchar_t));
    const std::wstring copy(text, units);
    std::printf("clipboard\t%lu\t%s\n", static_cast<unsigned long>(units), Utf8(copy).c_str());
    GlobalUnlock(data);
  }
  CloseClipboard();
  return 0;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const std::wstring what = argv != nullptr && argc >= 2 ? argv[1] : L"";
  if (what == L"clipboard" && argc == 2) {
    const int rc = PrintClipboard();
    std::fflush(stdout);
    return rc;
  }
  if (argc < 3) return 2;
  // The scripts wait for the window to show before they ask about it.
  HWND main = FindWindowW(nullptr, argv[2]);
  if (main == nullptr) {
    std::printf("error\tno window titled\n");
    return 1;
  }
  const int rc = what == L"list"    ? ListRows(main, argc == 4 ? argv[3] : nullptr)
                 : what == L"focus" ? PrintFocus(main)
                                    : ListWindows(main);
  std::fflush(stdout);
  return rc;
}
