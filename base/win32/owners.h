// Thin owners for the system's handles, one for each way of freeing one: every layer takes its
// owners from here. Each frees its handle exactly once; Release() hands the handle on.
// (GDI+ objects, which need the GDI+ declarations, have theirs in ui/draw/win32/gdi_handles.h.)
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <setupapi.h>

#include <utility>

namespace pyr {

// Owner of one handle of kind Traits: Traits::Handle, Traits::Invalid() and Traits::Free(h).
template <typename Traits>
class Owned {
 public:
  using Handle = typename Traits::Handle;

  Owned() = default;
  explicit Owned(Handle h) : handle_(h) {}
  Owned(Owned&& o) noexcept : handle_(o.Release()) {}
  Owned& operator=(Owned&& o) noexcept {
    if (this != &o) Reset(o.Release());
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  ~Owned() { Reset(); }

  Handle Get() const { return handle_; }
  bool Valid() const { return handle_ != Traits::Invalid() && handle_ != Handle{}; }
  explicit operator bool() const { return Valid(); }
  // Hands the handle to a new owner (a control, a window, the caller).
  Handle Release() { return std::exchange(handle_, Traits::Invalid()); }
  // Frees the held handle (unless it is h) and holds h.
  void Reset(Handle h = Traits::Invalid()) {
    if (Valid() && handle_ != h) Traits::Free(handle_);
    handle_ = h;
  }
  // For calls that hand a new handle out through a pointer; frees the held one first.
  Handle* Receive() {
    Reset();
    return &handle_;
  }

 private:
  Handle handle_ = Traits::Invalid();
};

namespace owner_traits {
template <typename H>
H NullHandle() {
  return H{};
}
// A handle type, how it is freed, and its empty value when that is not null.
template <typename H, void (*free)(H), H (*invalid)() = NullHandle<H>>
struct Of {
  using Handle = H;
  static Handle Invalid() { return invalid(); }
  static void Free(Handle h) { free(h); }
};
inline HANDLE InvalidHandle() { return INVALID_HANDLE_VALUE; }
inline HDEVINFO InvalidDeviceSet() { return static_cast<HDEVINFO>(INVALID_HANDLE_VALUE); }
inline void CloseKernel(HANDLE h) { CloseHandle(h); }
inline void CloseFind(HANDLE h) { FindClose(h); }
inline void CloseKey(HKEY k) { RegCloseKey(k); }
inline void ReleaseModule(HMODULE m) { FreeLibrary(m); }
inline void DestroyDeviceSet(HDEVINFO s) { SetupDiDestroyDeviceInfoList(s); }
template <typename H>
inline void DeleteGdi(H o) { DeleteObject(o); }
inline void DeleteMemoryDc(HDC dc) { DeleteDC(dc); }
inline void DestroyIconHandle(HICON i) { DestroyIcon(i); }
inline void DestroyMenuHandle(HMENU m) { DestroyMenu(m); }
inline void DestroyAccelerators(HACCEL a) { DestroyAcceleratorTable(a); }
inline void DestroyImageList(HIMAGELIST l) { ImageList_Destroy(l); }
}  // namespace owner_traits

// Kernel objects: processes, threads, tokens, events (null when empty).
using HandleOwner = Owned<owner_traits::Of<HANDLE, owner_traits::CloseKernel>>;
using TokenOwner = HandleOwner;
// CreateFile's handles, INVALID_HANDLE_VALUE when empty.
using FileOwner = Owned<owner_traits::Of<HANDLE, owner_traits::CloseKernel, owner_traits::InvalidHandle>>;
using FindOwner = Owned<owner_traits::Of<HANDLE, owner_traits::CloseFind, owner_traits::InvalidHandle>>;
using RegistryKeyOwner = Owned<owner_traits::Of<HKEY, owner_traits::CloseKey>>;
using ModuleOwner = Owned<owner_traits::Of<HMODULE, owner_traits::ReleaseModule>>;
using DeviceSetOwner =
    Owned<owner_traits::Of<HDEVINFO, owner_traits::DestroyDeviceSet, owner_traits::InvalidDeviceSet>>;

// GDI objects (bitmap, font, region, brush, pen) and the user objects drawn with them.
template <typename H>
using GdiObject = Owned<owner_traits::Of<H, owner_traits::DeleteGdi<H>>>;
using BitmapHandle = GdiObject<HBITMAP>;
using FontHandle = GdiObject<HFONT>;
using RegionHandle = GdiObject<HRGN>;
using BrushHandle = GdiObject<HBRUSH>;
using PenHandle = GdiObject<HPEN>;
using MemoryDcOwner = Owned<owner_traits::Of<HDC, owner_traits::DeleteMemoryDc>>;
using IconOwner = Owned<owner_traits::Of<HICON, owner_traits::DestroyIconHandle>>;
using MenuOwner = Owned<owner_traits::Of<HMENU, owner_traits::DestroyMenuHandle>>;
using AcceleratorOwner = Owned<owner_traits::Of<HACCEL, owner_traits::DestroyAccelerators>>;
using ImageListOwner = Owned<owner_traits::Of<HIMAGELIST, owner_traits::DestroyImageList>>;

// A screen DC, released to the window it came from.
class ScreenDc {
 public:
  explicit ScreenDc(HWND hwnd = nullptr) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~ScreenDc() { if (dc_) ReleaseDC(hwnd_, dc_); }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// A memory DC for a scope.
class MemoryDc {
 public:
  explicit MemoryDc(HDC compatibleWith = nullptr) : dc_(CreateCompatibleDC(compatibleWith)) {}
  HDC Get() const { return dc_.Get(); }

 private:
  MemoryDcOwner dc_;
};

// Selects an object into a DC for a scope and puts the previous one back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ obj) : dc_(dc), previous_(SelectObject(dc, obj)) {}
  ~SelectedObject() { if (previous_) SelectObject(dc_, previous_); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace pyr
