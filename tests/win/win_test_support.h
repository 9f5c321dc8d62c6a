// Shared pieces of the Wine tests: one GDI+ session per suite, and small window readers.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "base/win32/owners.h"
#include "sandbox/simulated_pc.h"
#include "ui/draw/win32/gdiplus_session.h"

namespace pyr {

class GdiplusSuite : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { session_ = std::make_unique<GdiplusSession>(); }
  static void TearDownTestSuite() { session_.reset(); }
  void SetUp() override { ASSERT_TRUE(session_->Started()); }

  static inline std::unique_ptr<GdiplusSession> session_;
};

// A window's place as left, top, width and height, so that a layout is checked in one line.
struct Box {
  int left, top, width, height;
  bool operator==(const Box&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const Box& b) {
  return out << "{" << b.left << ", " << b.top << ", " << b.width << " x " << b.height << "}";
}
inline Box BoxOf(const RECT& r) {
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}
// Where a child window sits in the client area of its parent.
inline Box PlaceInParent(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return BoxOf(r);
}

inline std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[512] = {};
  GetWindowTextW(hwnd, buffer, 512);
  return buffer;
}

inline RECT WindowRectOf(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r;
}

inline RECT ClientOf(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  return r;
}

// One of the executables in the build folder (beside the tests' folder), loaded as data.
class ExecutableAsData {
 public:
  explicit ExecutableAsData(const wchar_t* name) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    path_ = self;
    path_.resize(path_.rfind(L'\\'));  // .../tests
    path_.resize(path_.rfind(L'\\'));  // the build folder
    path_ += std::wstring(L"\\") + name;
    module_ = LoadLibraryExW(path_.c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  }
  ~ExecutableAsData() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  ExecutableAsData(const ExecutableAsData&) = delete;
  ExecutableAsData& operator=(const ExecutableAsData&) = delete;
  HMODULE Module() const { return module_; }
  const std::wstring& Path() const { return path_; }
  std::string Resource(const wchar_t* type, const wchar_t* name) const {
    HRSRC found = FindResourceW(module_, name, type);
    const char* data = found ? static_cast<const char*>(LockResource(LoadResource(module_, found)))
                             : nullptr;
    return data ? std::string(data, SizeofResource(module_, found)) : std::string();
  }

 private:
  std::wstring path_;
  HMODULE module_ = nullptr;
};

// What paint(dc) leaves on a white, top-down 32-bit picture, as 0xRRGGBB values row by row.
template <typename Paint>
std::vector<uint32_t> PaintedPixels(int width, int height, const Paint& paint) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(info.bmiHeader), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  uint32_t* bits = nullptr;
  const MemoryDc dc;
  const BitmapHandle bitmap(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS,
                                             reinterpret_cast<void**>(&bits), nullptr, 0));
  const SelectedObject selected(dc.Get(), bitmap.Get());
  const RECT all{0, 0, width, height};
  FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  paint(dc.Get());
  GdiFlush();
  std::vector<uint32_t> pixels(bits, bits + static_cast<size_t>(width) * height);
  for (uint32_t& p : pixels) p &= 0xFFFFFF;
  return pixels;
}

// The class GUIDs of a simulated PC, as the class icon platform takes them.
inline std::vector<Guid> GuidsOf(const SimulatedPc& pc) {
  std::vector<Guid> guids;
  for (const SimulatedClass& c : pc.classes) guids.push_back(c.guid);
  return guids;
}

inline void DrainMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace pyr
