// The drawing helpers on real GDI and GDI+, with the program's own pictures linked in.
#include "tests/win/win_test_support.h"

#include <string>
#include <vector>

#include "ui/draw/win32/fonts.h"
#include "ui/draw/win32/images.h"
#include "ui/draw/win32/shapes.h"
#include "ui/draw/win32/window_background.h"
#include "ui/draw/win32/window_helpers.h"

namespace pyr {
namespace {

class Drawing : public GdiplusSuite {
 protected:
  static Argb Pixel(GpBitmap* image, int x, int y) {
    Gdiplus::ARGB argb = 0;
    EXPECT_TRUE(GpOk(gp::GdipBitmapGetPixel(image, x, y, &argb)));
    return argb;
  }
  static SIZE Size(const ImagePtr& image) {
    return image ? SIZE{SizeOf(image.get()).width, SizeOf(image.get()).height} : SIZE{};
  }
};

HMODULE Self() { return GetModuleHandleW(nullptr); }

// The build turns each drawn PNG into a pixel resource: GDI+'s own decoder, reading the PNG from
// the source tree, sees the same picture pixel for pixel; scaled to 20 pixels it is neither empty
// nor an opaque block.
TEST_F(Drawing, EveryPictureHasThePixelsOfItsPng) {
  for (int id = 21; id <= 42; ++id) {
    const std::string png =
        std::string(PYRAVEL_TEST_DATA) + "/resources/images/" + std::to_string(id) + ".png";
    GpBitmap* raw = nullptr;
    ASSERT_TRUE(
        GpOk(gp::GdipCreateBitmapFromFile(std::wstring(png.begin(), png.end()).c_str(), &raw)) &&
        raw)
        << png;
    const ImagePtr decoded(raw);
    const ImagePtr linked = LoadImageResource(Self(), id);
    ASSERT_EQ(Size(linked).cx, Size(decoded).cx) << id;
    ASSERT_EQ(Size(linked).cy, Size(decoded).cy) << id;
    int differing = 0;
    for (int y = 0; y < Size(decoded).cy; ++y)
      for (int x = 0; x < Size(decoded).cx; ++x) {
        const Argb a = Pixel(decoded.get(), x, y), b = Pixel(linked.get(), x, y);
        // Fully transparent pixels may differ in colour alone.
        if (a != b && ((a >> 24) != 0 || (b >> 24) != 0)) ++differing;
      }
    EXPECT_EQ(differing, 0) << id;
    const ImagePtr small = LoadImageResource(Self(), id, 20, 20);
    int opaque = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) opaque += (Pixel(small.get(), x, y) >> 24) > 0x80;
    EXPECT_GT(opaque, 20) << id;
    EXPECT_LT(opaque, 400) << id;
  }
}

TEST_F(Drawing, PixelResourcesAreCheckedBeforeUse) {
  const auto pixels = [](const char* magic, uint32_t width, uint32_t height, size_t rowBytes) {
    std::string bytes(magic, 4);
    for (uint32_t v : {width, height})
      for (int i = 0; i < 4; ++i) bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
    // Opaque blue-green pixels: B=0x80, G=0x40, R=0x00, A=0xFF.
    for (size_t i = 0; i < rowBytes / 4; ++i) bytes += std::string("\x80\x40\x00\xFF", 4);
    return bytes;
  };
  const std::pair<std::string, bool> cases[] = {
      {pixels("PXL1", 3, 2, 24), true},
      {pixels("PXL1", 3, 2, 24).substr(0, 12 + 23), false},  // one byte short
      {std::string("PXL1\x03\x00", 6), false},               // cut header
      {pixels("PNG1", 3, 2, 24), false},
      {pixels("PXL1", 3, 0, 24), false},
      {pixels("PXL1", 4097, 1, 4097 * 4), false},
      {pixels("PXL1", 0x40000001, 4, 16), false},  // a width whose byte count overflows
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const ImagePtr image = ImageFromPixels(cases[i].first.data(), cases[i].first.size());
    ASSERT_EQ(image != nullptr, cases[i].second) << i;
    if (image) {
      EXPECT_EQ(Pixel(image.get(), 2, 1), 0xFF004080u) << i;
    }
  }
  EXPECT_FALSE(ImageFromPixels(nullptr, 40));
}

// A picture given one dimension keeps its own size in the other (bitmaps at the size asked for
// are measured on the buttons at every scale); what cannot be made gives nothing.
TEST_F(Drawing, PicturesTakeTheirSizeOrGiveNothing) {
  const ImagePtr background = NewImage(10, 10, kFormatPargb);
  EXPECT_EQ(Size(LoadImageResource(Self(), 23, 60, 0)).cx, 60);
  EXPECT_EQ(Size(LoadImageResource(Self(), 23, 60, 0)).cy, 44);
  EXPECT_FALSE(LoadImageResource(Self(), 20, 20, 20));
  EXPECT_FALSE(LoadResourceBitmap(Self(), 43, 20, 20));
  EXPECT_FALSE(ScaledCopy(nullptr, 30, 30));
  EXPECT_FALSE(ScaledCopy(background.get(), 0, 30));
  EXPECT_FALSE(SolidBitmap(0, 5, 0xFF000000));
  EXPECT_FALSE(FillRoundedRect(nullptr, 0, 0, 4, 4, 0xFF000000, 0));
}

class PopupWindow {
 public:
  PopupWindow(int w, int h, DWORD style = WS_POPUP)
      : hwnd_(CreateWindowExW(0, L"Static", L"", style, 10, 10, w, h, nullptr, nullptr, Self(),
                              nullptr)) {}
  ~PopupWindow() { DestroyWindow(hwnd_); }
  HWND Get() const { return hwnd_; }

 private:
  HWND hwnd_;
};

// A popup's background region is rounded at its corners only. (Every window the program paints
// a background on is a popup.)
TEST_F(Drawing, BackgroundRegionOfAPopupIsRoundedAtItsCorners) {
  const PopupWindow popup(100, 60);
  ASSERT_EQ(ApplyBackgroundRegion(popup.Get(), 100, 60, 20), FrameNeed::kNone);
  RegionHandle rgn(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(popup.Get(), rgn.Get()), ERROR);
  for (const POINT corner : {POINT{1, 1}, {97, 57}, {1, 57}})
    EXPECT_FALSE(PtInRegion(rgn.Get(), corner.x, corner.y));
  for (const POINT inside : {POINT{50, 30}, {50, 1}, {1, 30}})
    EXPECT_TRUE(PtInRegion(rgn.Get(), inside.x, inside.y));
}

// A frame, the fill, and a footer band unless it is like the fill: at 100 % and at 150 %, where
// the frame is 6 pixels and the band 53.
TEST_F(Drawing, BackgroundHasFrameFillAndAFooterBandUnlessLikeTheFill) {
  for (const auto& [scale, border, band] : {std::tuple{2, 4, 35}, {3, 6, 53}}) {
    const int w = 225 * scale, h = 75 * scale, bandTop = h - border - band;
    ImagePtr image = WindowBackgroundImage(w, h, 0xFF000000, 0xFFFFFFFF, 0xFFF0F0FF, border, band);
    ASSERT_TRUE(image);
    const std::pair<POINT, Argb> expected[] = {{{1, h / 2}, 0xFF000000},
                                               {{w - 2, h / 2}, 0xFF000000},
                                               {{w / 2, bandTop - 2}, 0xFFFFFFFF},
                                               {{w / 2, bandTop + 1}, 0xFFF0F0FF},
                                               {{w / 2, h - border - 1}, 0xFFF0F0FF},
                                               {{w / 2, h - 2}, 0xFF000000}};
    for (const auto& [at, colour] : expected)
      EXPECT_EQ(Pixel(image.get(), at.x, at.y), colour) << at.x << "," << at.y;
    image = WindowBackgroundImage(w, h, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, border, band);
    for (int y = bandTop - 5; y < h - border; ++y)
      EXPECT_EQ(Pixel(image.get(), w / 2, y), 0xFFFFFFFFu) << y;
  }
}

TEST_F(Drawing, BackgroundBitmapFillsHolesWithTheHoleColour) {
  ImagePtr image = NewImage(10, 10, kFormatPargb);
  ASSERT_TRUE(FillRoundedRect(image.get(), 0, 0, 5, 10, 0xFF204080, 0));
  const BitmapHandle bitmap = BackgroundBitmap(image.get(), 10, 10);
  const MemoryDc source;
  const SelectedObject selected(source.Get(), bitmap.Get());
  const std::vector<uint32_t> pixels =
      PaintedPixels(10, 10, [&](HDC dc) { BitBlt(dc, 0, 0, 10, 10, source.Get(), 0, 0, SRCCOPY); });
  EXPECT_EQ(pixels[5 * 10 + 1], 0x204080u);
  EXPECT_EQ(pixels[5 * 10 + 8], 0xFEFEFEu);
}

TEST_F(Drawing, CheckBoxStatesDifferWhereTheyShould) {
  const Argb green = 0xFF00A000;
  // The list's two states; the filled and rounded styles are no picture the program shows.
  ImagePtr empty = CheckBoxPicture(40, kCheckBoxEmpty, green);
  ImagePtr ticked = CheckBoxPicture(40, kCheckBoxTicked, green);
  ASSERT_TRUE(empty && ticked);
  // Centre of the box: white, or the mark; the frame is black on both.
  EXPECT_EQ(Pixel(empty.get(), 20, 20), 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(ticked.get(), 17, 27), green);
  EXPECT_EQ(Pixel(ticked.get(), 30, 30), 0xFFFFFFFFu);
  for (GpBitmap* image : {empty.get(), ticked.get()}) EXPECT_EQ(Pixel(image, 2, 20) & 0xFFFFFF, 0u);
}

TEST_F(Drawing, PictureBitmapReplacesAndFreesThePreviousOne) {
  const PopupWindow picture(20, 20, WS_POPUP | SS_BITMAP);
  HBITMAP first = SolidBitmap(20, 20, 0xFFFF0000).Release();
  HBITMAP second = SolidBitmap(20, 20, 0xFF00FF00).Release();
  SetPictureBitmap(picture.Get(), first);
  EXPECT_EQ(reinterpret_cast<HBITMAP>(SendMessageW(picture.Get(), STM_GETIMAGE, IMAGE_BITMAP, 0)),
            first);
  SetPictureBitmap(picture.Get(), second);
  EXPECT_EQ(GetObjectType(first), 0u);
  EXPECT_EQ(GetObjectType(second), static_cast<DWORD>(OBJ_BITMAP));
  ClearPictureBitmap(picture.Get());
  EXPECT_EQ(GetObjectType(second), 0u);
}

// Without an owner a window is centred on the work area, else over its owner.
TEST_F(Drawing, WindowIsCentredOverItsOwnerOrTheWorkArea) {
  const PopupWindow window(200, 100), owner(400, 300);
  CentreWindow(window.Get(), nullptr);
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  EXPECT_EQ(WindowRectOf(window.Get()).left, area.left + (area.right - area.left - 200) / 2);
  EXPECT_EQ(WindowRectOf(window.Get()).top, area.top + (area.bottom - area.top - 100) / 2);
  SetWindowPos(owner.Get(), nullptr, 100, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  CentreWindow(window.Get(), owner.Get());
  EXPECT_EQ(WindowRectOf(window.Get()).left, 200);
  EXPECT_EQ(WindowRectOf(window.Get()).top, 150);
}

}  // namespace
}  // namespace pyr
