// Thin owners for GDI and GDI+ objects: each frees its handle exactly once.
#pragma once

#include "ui/draw/win32/gdiplus_api.h"

#include <memory>
#include <utility>

namespace pyr {

// An owned GDI object (bitmap, font, region, brush, pen).
template <typename Handle>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(Handle h) : handle_(h) {}
  GdiObject(GdiObject&& o) noexcept : handle_(std::exchange(o.handle_, nullptr)) {}
  GdiObject& operator=(GdiObject&& o) noexcept {
    if (this != &o) Reset(std::exchange(o.handle_, nullptr));
    return *this;
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  ~GdiObject() { Reset(); }

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  // Hands the handle to a new owner (a control, a window, the caller).
  Handle Release() { return std::exchange(handle_, nullptr); }
  void Reset(Handle h = nullptr) {
    if (handle_ && handle_ != h) DeleteObject(handle_);
    handle_ = h;
  }

 private:
  Handle handle_ = nullptr;
};

using BitmapHandle = GdiObject<HBITMAP>;
using FontHandle = GdiObject<HFONT>;
using RegionHandle = GdiObject<HRGN>;
using BrushHandle = GdiObject<HBRUSH>;
using PenHandle = GdiObject<HPEN>;

namespace detail {
struct ImageDeleter { void operator()(GpImage* p) const { gp::GdipDisposeImage(p); } };
struct GraphicsDeleter { void operator()(GpGraphics* p) const { gp::GdipDeleteGraphics(p); } };
struct PathDeleter { void operator()(GpPath* p) const { gp::GdipDeletePath(p); } };
struct RegionDeleter {
  void operator()(Gdiplus::GpRegion* p) const { gp::GdipDeleteRegion(p); }
};
struct PenDeleter { void operator()(Gdiplus::GpPen* p) const { gp::GdipDeletePen(p); } };
struct BrushDeleter { void operator()(Gdiplus::GpBrush* p) const { gp::GdipDeleteBrush(p); } };
struct FontDeleter { void operator()(Gdiplus::GpFont* p) const { gp::GdipDeleteFont(p); } };
struct FontFamilyDeleter {
  void operator()(Gdiplus::GpFontFamily* p) const { gp::GdipDeleteFontFamily(p); }
};
struct StringFormatDeleter {
  void operator()(Gdiplus::GpStringFormat* p) const { gp::GdipDeleteStringFormat(p); }
};
struct ComReleaser { void operator()(IUnknown* p) const { p->Release(); } };
}  // namespace detail

// GDI+ images are bitmaps everywhere in this program; the owner keeps the bitmap type.
using ImagePtr = std::unique_ptr<GpBitmap, detail::ImageDeleter>;
using GraphicsPtr = std::unique_ptr<GpGraphics, detail::GraphicsDeleter>;
using PathPtr = std::unique_ptr<GpPath, detail::PathDeleter>;
using GpRegionPtr = std::unique_ptr<Gdiplus::GpRegion, detail::RegionDeleter>;
using GpPenPtr = std::unique_ptr<Gdiplus::GpPen, detail::PenDeleter>;
using GpBrushPtr = std::unique_ptr<Gdiplus::GpBrush, detail::BrushDeleter>;
using GpFontPtr = std::unique_ptr<Gdiplus::GpFont, detail::FontDeleter>;
using GpFontFamilyPtr = std::unique_ptr<Gdiplus::GpFontFamily, detail::FontFamilyDeleter>;
using GpStringFormatPtr = std::unique_ptr<Gdiplus::GpStringFormat, detail::StringFormatDeleter>;

// A screen or memory device context released the way it was obtained.
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

class MemoryDc {
 public:
  explicit MemoryDc(HDC compatibleWith = nullptr) : dc_(CreateCompatibleDC(compatibleWith)) {}
  ~MemoryDc() { if (dc_) DeleteDC(dc_); }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
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
