#include "ui/win32/toolkit_images.h"

#include "ui/draw/win32/images.h"
#include "ui/draw/win32/shapes.h"

namespace pyr {
namespace {

// Draws at a large size and shrinks with HALFTONE, which smooths the edges.
template <class Paint>
HBITMAP DrawShrunk(int big, int size, Paint paint) {
  const ScreenDc screenDc;
  HDC screen = screenDc.Get();
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  BitmapHandle result(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const BitmapHandle bigBitmap(CreateCompatibleBitmap(screen, big, big));
  const MemoryDc bigDcOwner(screen);
  const MemoryDc smallDcOwner(screen);
  HDC bigDc = bigDcOwner.Get();
  HDC smallDc = smallDcOwner.Get();
  if (!result || !bigBitmap || !bigDc || !smallDc) return nullptr;
  {
    const SelectedObject bigSelected(bigDc, bigBitmap.Get());
    const SelectedObject smallSelected(smallDc, result.Get());
    RECT all{0, 0, big, big};
    FillRect(bigDc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    paint(bigDc);
    SetStretchBltMode(smallDc, HALFTONE);
    SetBrushOrgEx(smallDc, 0, 0, nullptr);
    StretchBlt(smallDc, 0, 0, size, size, bigDc, 0, 0, big, big, SRCCOPY);
    GdiFlush();
    // Opaque pixels for image lists and menus that honour alpha.
    auto* pixel = static_cast<DWORD*>(bits);
    for (int i = 0; i < size * size; ++i) pixel[i] |= 0xFF000000u;
  }
  return result.Release();
}

HBITMAP GdiCheckBox(int size, bool checked) {
  return DrawShrunk(40, size, [checked](HDC dc) {
    const PenHandle frame(CreatePen(PS_SOLID, 2, RGB(0, 0, 0)));
    const SelectedObject framePen(dc, frame.Get());
    const SelectedObject whiteBrush(dc, GetStockObject(WHITE_BRUSH));
    Rectangle(dc, 1, 1, 39, 39);
    if (checked) {
      // Seven-point check mark in dark green.
      const POINT mark[7] = {{8, 20}, {13, 15}, {18, 21}, {30, 8}, {35, 13}, {18, 31}, {8, 21}};
      const BrushHandle green(CreateSolidBrush(RGB(0x20, 0x30, 0x00)));
      const SelectedObject noPen(dc, GetStockObject(NULL_PEN));
      const SelectedObject greenBrush(dc, green.Get());
      Polygon(dc, mark, 7);
    }
  });
}

HBITMAP GdiCloseCross(int size) {
  return DrawShrunk(300, size, [](HDC dc) {
    LOGBRUSH black{BS_SOLID, RGB(0, 0, 0), 0};
    const PenHandle pen(ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, 40, &black, 0, nullptr));
    const SelectedObject selected(dc, pen.Get());
    MoveToEx(dc, 30, 30, nullptr);
    LineTo(dc, 270, 270);
    MoveToEx(dc, 270, 30, nullptr);
    LineTo(dc, 30, 270);
  });
}

}  // namespace

HBITMAP MakeCheckBoxBitmap(int size, bool checked) {
  BitmapHandle drawn = CheckBoxImage(size, checked ? kCheckBoxTicked : kCheckBoxEmpty, 0xFF203000);
  return drawn ? drawn.Release() : GdiCheckBox(size, checked);
}

HBITMAP MakeCloseCrossBitmap(int size) {
  constexpr int kDrawn = 300;
  ImagePtr big = NewImage(kDrawn, kDrawn, kFormatPargb);
  GraphicsPtr g = big ? ImageGraphics(big.get()) : nullptr;
  Gdiplus::GpPen* pen = nullptr;
  if (g && GpOk(gp::GdipCreatePen1(0xFF000000, 40, Gdiplus::UnitPixel, &pen))) {
    GpPenPtr owned(pen);
    bool ok = GpOk(gp::GdipDrawLineI(g.get(), pen, 30, 30, 270, 270)) &&
              GpOk(gp::GdipDrawLineI(g.get(), pen, 270, 30, 30, 270));
    g.reset();
    if (ok) {
      ImagePtr small = ScaledCopy(big.get(), size, size);
      if (small) {
        if (BitmapHandle bitmap = ImageToBitmap(small.get(), 0xFFFFFFFF)) return bitmap.Release();
      }
    }
  }
  return GdiCloseCross(size);
}

}  // namespace pyr
