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

struct Search {
  DWORD process = 0;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == search->process && IsWindowVisible(hwnd)) search->found.push_back(hwnd);
  return TRUE;
}

BOOL CALLBACK CollectChildren(HWND hwnd, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
  return TRUE;
}

HWND FindTitled(const wchar_t* title) {
  for (int attempt = 0; attempt < 50; ++attempt) {
    HWND hwnd = FindWindowW(nullptr, title);
    if (hwnd != nullptr) return hwnd;
    Sleep(100);
  }
  return nullptr;
}

int ListWindows(HWND main) {
  Search search;
  GetWindowThreadProcessId(main, &search.process);
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  for (HWND hwnd : search.found) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    std::printf("window\t%s\t%s\t%ld\t%ld\t%ld\t%ld\n", Utf8(ClassOf(hwnd)).c_str(),
                Utf8(WindowText(hwnd)).c_str(), r.left, r.top, r.right - r.left, r.bottom - r.top);
    std::vector<HWND> children;
    EnumChildWindows(hwnd, CollectChildren, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
      if (!IsWindowVisible(child)) continue;
      const std::wstring text = WindowText(child);
      RECT c{};
      GetWindowRect(child, &c);
      std::printf("child\t%s\t%s\t%d\t%ld\t%ld\t%ld\t%ld\n", Utf8(ClassOf(child)).c_str(),
                  Utf8(text).c_str(), IsWindowEnabled(child) ? 1 : 0, c.left, c.top,
                  c.right - c.left, c.bottom - c.top);
    }
  }
  return 0;
}

HWND TopLevelOfClass(HWND main, const std::wstring& cls) {
  Search search;
  GetWindowThreadProcessId(main, &search.process);
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  for (HWND hwnd : search.found) {
    if (ClassOf(hwnd) == cls) return hwnd;
  }
  return nullptr;
}

// Reads one cell of a list view in another process through memory allocated there.
class RemoteBuffer {
 public:
  RemoteBuffer(HANDLE process, size_t size) : process_(process), size_(size) {
    address_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  }
  ~RemoteBuffer() {
    if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  void* Address() const { return address_; }
  bool Write(const void* data, size_t size, size_t offset = 0) {
    return WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr);
  }
  bool Read(void* data, size_t size, size_t offset = 0) {
    return ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr);
  }

 private:
  HANDLE process_;
  size_t size_;
  void* address_ = nullptr;
};

std::wstring CellText(HWND list, RemoteBuffer& remote, int row, int column) {
  constexpr size_t kChars = 1024;
  LVITEMW item{};
  item.iSubItem = column;
  item.cchTextMax = kChars;
  item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote.Address()) + sizeof(item));
  remote.Write(&item, sizeof(item));
  SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(remote.Address()));
  std::wstring text(kChars, L'\0');
  remote.Read(text.data(), kChars * sizeof(wchar_t), sizeof(item));
  text.resize(wcsnlen(text.c_str(), kChars));
  return text;
}

// The part of a row that the list shows, in screen pixels; empty when it is scrolled away.
RECT VisibleRowRect(HWND list, RemoteBuffer& remote, int row) {
  RECT bounds{};
  bounds.left = LVIR_BOUNDS;
  remote.Write(&bounds, sizeof(bounds));
  RECT shown{};
  if (!SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                    reinterpret_cast<LPARAM>(remote.Address())) ||
      !remote.Read(&bounds, sizeof(bounds))) {
    return shown;
  }
  RECT client{};
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
  HWND owner = main;
  if (windowClass != nullptr) {
    owner = TopLevelOfClass(main, windowClass);
    if (owner == nullptr) {
      std::printf("error\tno window of that class\n");
      return 1;
    }
  }
  std::vector<HWND> children;
  EnumChildWindows(owner, CollectChildren, reinterpret_cast<LPARAM>(&children));
  HWND list = nullptr;
  for (HWND child : children) {
    if (ClassOf(child) == WC_LISTVIEWW) list = child;
  }
  if (list == nullptr) {
    std::printf("error\tno list view\n");
    return 1;
  }
  DWORD pid = 0;
  GetWindowThreadProcessId(main, &pid);
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (process == nullptr) {
    std::printf("error\tcannot open the process\n");
    return 1;
  }
  const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  const int grouped = static_cast<int>(SendMessageW(list, LVM_ISGROUPVIEWENABLED, 0, 0));
  std::printf("rows\t%d\tgrouped\t%d\n", rows, grouped);
  {
    RemoteBuffer remote(process, sizeof(LVITEMW) + 1024 * sizeof(wchar_t));
    for (int row = 0; row < rows; ++row) {
      const UINT state = static_cast<UINT>(
          SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
      std::printf("row\t%d\t%d", row, (state >> 12) == 2 ? 1 : 0);
      for (int column = 0; column < 10; ++column) {
        std::printf("\t%s", Utf8(CellText(list, remote, row, column)).c_str());
      }
      const UINT selected = static_cast<UINT>(
          SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED));
      const RECT r = VisibleRowRect(list, remote, row);
      std::printf("\t%d\t%ld\t%ld\t%ld\t%ld\n", (selected & LVIS_SELECTED) ? 1 : 0, r.left, r.top,
                  r.right - r.left, r.bottom - r.top);
    }
  }
  CloseHandle(process);
  return 0;
}

int PrintFocus(HWND main) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info)) {
    std::printf("error\tno thread information\n");
    return 1;
  }
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
  const bool known = ((what == L"windows" || what == L"focus") && argc == 3) ||
                     (what == L"list" && (argc == 3 || argc == 4));
  if (!known) {
    std::fprintf(stderr,
                 "usage: ui_probe windows|focus <title> | list <title> [<class>] | clipboard\n");
    return 2;
  }
  HWND main = FindTitled(argv[2]);
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
