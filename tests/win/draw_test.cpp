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

  // Every pixel of a bitmap as 0xAARRGGBB, read as a top-down 32-bit DIB.
  static std::vector<uint32_t> BitmapPixels(HBITMAP bitmap, int* width = nullptr) {
    BITMAP info{};
    if (!GetObjectW(bitmap, sizeof(info), &info)) return {};
    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof(request.bmiHeader);
    request.bmiHeader.biWidth = info.bmWidth;
    request.bmiHeader.biHeight = -info.bmHeight;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    ScreenDc screen;
    if (!GetDIBits(screen.Get(), bitmap, 0, info.bmHeight, pixels.data(), &request,
                   DIB_RGB_COLORS))
      return {};
    if (width) *width = info.bmWidth;
    return pixels;
  }

  static SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    return {info.bmWidth, info.bmHeight};
  }

};

HMODULE Self() { return GetModuleHandleW(nullptr); }

// ---------------------------------------------------------------- image resources

TEST_F(Drawing, EveryPictureLoadsAtItsOwnSizeWithTransparentCornersAndContent) {
  struct Entry { int id; int size; } const table[] = {
      {21, 32}, {22, 48}, {23, 44}, {24, 32}, {25, 40}, {26, 48}, {27, 48}, {28, 48},
      {29, 40}, {30, 48}, {31, 48}, {32, 40}, {33, 32}, {34, 48}, {35, 48}, {36, 48},
      {37, 48}, {38, 48}, {39, 32}, {40, 48}, {41, 40}, {42, 40},
  };
  for (const auto& e : table) {
    ImagePtr image = LoadImageResource(Self(), e.id);
    ASSERT_TRUE(image) << e.id;
    EXPECT_EQ(SizeOf(image.get()).width, e.size) << e.id;
    EXPECT_EQ(SizeOf(image.get()).height, e.size) << e.id;
    // A picture that decoded to nothing, or to an opaque block, would be a fault.
    ImagePtr small = LoadImageResource(Self(), e.id, 20, 20);
    ASSERT_TRUE(small) << e.id;
    int opaque = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) opaque += (Pixel(small.get(), x, y) >> 24) > 0x80;
    EXPECT_GT(opaque, 20) << e.id;
    EXPECT_LT(opaque, 400) << e.id;
  }
}

// The build turns each drawn PNG into a pixel resource; GDI+'s own decoder, reading the PNG from
// the source tree, must see the same picture, pixel for pixel.
TEST_F(Drawing, EveryPictureHasThePixelsOfItsPng) {
  for (int id = 21; id <= 42; ++id) {
    const std::string png = std::string(PYRAVEL_TEST_DATA) + "/resources/images/" +
                            std::to_string(id) + ".png";
    const std::wstring path(png.begin(), png.end());
    GpBitmap* raw = nullptr;
    ASSERT_TRUE(GpOk(gp::GdipCreateBitmapFromFile(path.c_str(), &raw)) && raw) << png;
    const ImagePtr decoded(raw);
    const ImagePtr linked = LoadImageResource(Self(), id);
    ASSERT_TRUE(linked) << id;
    const ImageSize size = SizeOf(decoded.get());
    ASSERT_EQ(SizeOf(linked.get()).width, size.width) << id;
    ASSERT_EQ(SizeOf(linked.get()).height, size.height) << id;
    int differing = 0;
    for (int y = 0; y < size.height; ++y)
      for (int x = 0; x < size.width; ++x) {
        const Argb a = Pixel(decoded.get(), x, y), b = Pixel(linked.get(), x, y);
        // Fully transparent pixels may differ in colour alone.
        if (a != b && ((a >> 24) != 0 || (b >> 24) != 0)) ++differing;
      }
    EXPECT_EQ(differing, 0) << id;
  }
}

TEST_F(Drawing, PixelResourcesAreCheckedBeforeUse) {
  auto pixels = [](const char* magic, uint32_t width, uint32_t height, size_t rowBytes) {
    std::string bytes(magic, 4);
    for (uint32_t v : {width, height})
      for (int i = 0; i < 4; ++i) bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
    // Opaque blue-green pixels: B=0x80, G=0x40, R=0x00, A=0xFF.
    for (size_t i = 0; i < rowBytes / 4; ++i) bytes += std::string("\x80\x40\x00\xFF", 4);
    return bytes;
  };
  const struct {
    const char* what;
    std::string bytes;
    bool loads;
  } cases[] = {
      {"3 x 2", pixels("PXL1", 3, 2, 24), true},
      {"trailing bytes", pixels("PXL1", 3, 2, 28), true},
      {"one row short", pixels("PXL1", 3, 2, 12), false},
      {"one byte short", pixels("PXL1", 3, 2, 24).substr(0, 12 + 23), false},
      {"header only", pixels("PXL1", 3, 2, 0), false},
      {"cut header", std::string("PXL1\x03\x00", 6), false},
      {"other magic", pixels("PNG1", 3, 2, 24), false},
      {"no width", pixels("PXL1", 0, 2, 24), false},
      {"no height", pixels("PXL1", 3, 0, 24), false},
      {"too wide", pixels("PXL1", 4097, 1, 4097 * 4), false},
      {"huge width", pixels("PXL1", 0x40000001, 4, 16), false},
  };
  for (const auto& c : cases) {
    const ImagePtr image = ImageFromPixels(c.bytes.data(), c.bytes.size());
    EXPECT_EQ(image != nullptr, c.loads) << c.what;
    if (image && c.loads) {
      EXPECT_EQ(SizeOf(image.get()).width, 3) << c.what;
      EXPECT_EQ(Pixel(image.get(), 2, 1), 0xFF004080u) << c.what;
    }
  }
  EXPECT_FALSE(ImageFromPixels(nullptr, 40));
}

TEST_F(Drawing, ScaledPicturesAndBitmapsHaveTheRequestedSize) {
  auto imageSize = [](ImagePtr image) {
    return image ? SIZE{SizeOf(image.get()).width, SizeOf(image.get()).height} : SIZE{};
  };
  auto bitmapSize = [](BitmapHandle bitmap) { return bitmap ? BitmapSize(bitmap.Get()) : SIZE{}; };
  BitmapHandle big = SolidBitmap(64, 32, 0xFF336699);
  ImagePtr background = NewImage(10, 10, kFormatPargb);
  const struct {
    const char* what;
    SIZE got;
    SIZE expected;
  } cases[] = {
      {"picture at 20 x 20", imageSize(LoadImageResource(Self(), 23, 20, 20)), {20, 20}},
      // One dimension given: the other keeps the picture's own size.
      {"picture 60 wide", imageSize(LoadImageResource(Self(), 23, 60, 0)), {60, 44}},
      {"resource bitmap", bitmapSize(LoadResourceBitmap(Self(), 42, 19, 19)), {19, 19}},
      {"check box image", bitmapSize(CheckBoxImage(16, kCheckBoxTicked, 0xFF0000FF)), {16, 16}},
      {"background bitmap", bitmapSize(BackgroundBitmap(background.get(), 30, 20)), {30, 20}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.got.cx, c.expected.cx) << c.what;
    EXPECT_EQ(c.got.cy, c.expected.cy) << c.what;
  }
}

TEST_F(Drawing, MissingPicturesAndBadSizesGiveNothing) {
  ImagePtr source = NewImage(10, 10);
  EXPECT_FALSE(LoadImageResource(Self(), 99));
  EXPECT_FALSE(LoadImageResource(Self(), 20, 20, 20));
  EXPECT_FALSE(LoadResourceBitmap(Self(), 43, 20, 20));
  EXPECT_FALSE(ScaledCopy(nullptr, 30, 30));
  EXPECT_FALSE(ScaledCopy(source.get(), 0, 30));
  EXPECT_FALSE(SolidBitmap(0, 5, 0xFF000000));
  EXPECT_FALSE(FillRoundedRect(nullptr, 0, 0, 4, 4, 0xFF000000, 0));
}

// A fill lands as the colour given: scaled up, converted from a COLORREF, or inside rounded
// corners that stay clear.
TEST_F(Drawing, FillsLandAsGiven) {
  ImagePtr source = NewImage(10, 10);
  ASSERT_TRUE(FillRoundedRect(source.get(), 0, 0, 10, 10, 0xFFFF0000, 0));
  ImagePtr copy = ScaledCopy(source.get(), 30, 30);
  ASSERT_TRUE(copy);
  EXPECT_EQ(SizeOf(copy.get()).width, 30);
  EXPECT_EQ(Pixel(copy.get(), 15, 15), 0xFFFF0000u);
  ImagePtr image = NewImage(4, 4);
  ASSERT_TRUE(FillRoundedRect(image.get(), 0, 0, 4, 4, ColourRefToArgb(RGB(10, 200, 30)), 0));
  EXPECT_EQ(Pixel(image.get(), 2, 2), 0xFF0AC81Eu);
  image = NewImage(40, 40);
  ASSERT_TRUE(FillRoundedRect(image.get(), 0, 0, 40, 40, 0xFF0000FF, 20));
  EXPECT_EQ(Pixel(image.get(), 20, 20), 0xFF0000FFu);
  EXPECT_EQ(Pixel(image.get(), 0, 0) >> 24, 0u);
}

// ---------------------------------------------------------------- solid bitmaps and colours

TEST_F(Drawing, SolidBitmapKeepsItsAlphaButNeverZero) {
  const struct { Argb colour; uint32_t pixel; } cases[] = {
      {0x80123456, 0x80123456u}, {0x00FFFFFF, 0x01FFFFFFu}};
  for (const auto& c : cases) {
    BitmapHandle bitmap = SolidBitmap(3, 5, c.colour);
    ASSERT_TRUE(bitmap);
    std::vector<uint32_t> pixels = BitmapPixels(bitmap.Get());
    ASSERT_EQ(pixels.size(), 15u);
    for (uint32_t p : pixels) EXPECT_EQ(p, c.pixel);
  }
}

// ---------------------------------------------------------------- fonts

// Below one point a UI font is 8.5 points of normal Arial; style flags, face and quality are kept.
TEST_F(Drawing, UiFontsTakeTheirSizeStyleFaceAndQuality) {
  const struct {
    FontHandle font;
    LONG height, weight;
    bool italic, strikeOut;
    const wchar_t* face;
    BYTE quality;
  } cases[] = {
      {CreateUiFont(0.5, 0), -11, 400, false, false, L"Arial", PROOF_QUALITY},
      {CreateUiFont(12, 700, kFontItalic | kFontStrikeOut, L"Tahoma", CLEARTYPE_QUALITY), -16, 700,
       true, true, L"Tahoma", CLEARTYPE_QUALITY},
  };
  for (const auto& c : cases) {
    LOGFONTW lf{};
    ASSERT_TRUE(GetObjectW(c.font.Get(), sizeof(lf), &lf)) << c.height;
    EXPECT_EQ(lf.lfHeight, c.height);
    EXPECT_EQ(lf.lfWeight, c.weight);
    EXPECT_EQ(lf.lfItalic != 0, c.italic);
    EXPECT_FALSE(lf.lfUnderline);
    EXPECT_EQ(lf.lfStrikeOut != 0, c.strikeOut);
    EXPECT_STREQ(lf.lfFaceName, c.face);
    EXPECT_EQ(lf.lfQuality, c.quality);
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(lf.lfOutPrecision, OUT_OUTLINE_PRECIS);
  }
}

// ---------------------------------------------------------------- shapes and regions

class PopupWindow {
 public:
  PopupWindow(int w, int h, DWORD style = WS_POPUP) {
    hwnd_ = CreateWindowExW(0, L"Static", L"", style, 10, 10, w, h, nullptr, nullptr, Self(),
                            nullptr);
  }
  ~PopupWindow() { if (hwnd_) DestroyWindow(hwnd_); }
  HWND Get() const { return hwnd_; }

 private:
  HWND hwnd_;
};

TEST_F(Drawing, RoundedRegionCutsTheCornersOnly) {
  PopupWindow window(100, 60);
  ASSERT_TRUE(window.Get());
  ASSERT_TRUE(SetRoundedRegion(window.Get(), 100, 60, 20));
  RegionHandle rgn(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(window.Get(), rgn.Get()), ERROR);
  RECT box{};
  GetRgnBox(rgn.Get(), &box);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.top, 0);
  EXPECT_GE(box.right, 99);
  EXPECT_GE(box.bottom, 59);
  EXPECT_FALSE(PtInRegion(rgn.Get(), 1, 1));
  EXPECT_FALSE(PtInRegion(rgn.Get(), 97, 57));
  EXPECT_FALSE(PtInRegion(rgn.Get(), 1, 57));
  EXPECT_TRUE(PtInRegion(rgn.Get(), 50, 30));
  EXPECT_TRUE(PtInRegion(rgn.Get(), 50, 1));
  EXPECT_TRUE(PtInRegion(rgn.Get(), 1, 30));
}

TEST_F(Drawing, RoundedPathStartsOnTheTopEdgeAndIsClosed) {
  GpPath* raw = nullptr;
  ASSERT_TRUE(GpOk(gp::GdipCreatePath(Gdiplus::FillModeAlternate, &raw)));
  PathPtr path(raw);
  ASSERT_TRUE(RoundedRectPath(path.get(), 10, 0, 0, 100, 50));
  INT count = 0;
  ASSERT_TRUE(GpOk(gp::GdipGetPointCount(path.get(), &count)));
  ASSERT_GT(count, 8);
  std::vector<Gdiplus::PointF> points(count);
  std::vector<BYTE> types(count);
  ASSERT_TRUE(GpOk(gp::GdipGetPathPoints(path.get(), points.data(), count)));
  ASSERT_TRUE(GpOk(gp::GdipGetPathTypes(path.get(), types.data(), count)));
  EXPECT_FLOAT_EQ(points[0].X, 5);
  EXPECT_FLOAT_EQ(points[0].Y, 0);
  EXPECT_TRUE(types[count - 1] & Gdiplus::PathPointTypeCloseSubpath);
  // Clockwise: the next corner reached is the top-right one.
  EXPECT_FLOAT_EQ(points[1].X, 95);
  EXPECT_FLOAT_EQ(points[1].Y, 0);
}

TEST_F(Drawing, CentredTextInksAroundTheCentre) {
  ImagePtr image = NewImage(120, 60);
  ASSERT_TRUE(DrawTextCentred(image.get(), L"100%", 0, 0, 120, 60, nullptr, 0xFF000000));
  long sumX = 0, sumY = 0, ink = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 120; ++x)
      if ((Pixel(image.get(), x, y) >> 24) > 0x80) { sumX += x; sumY += y; ++ink; }
  ASSERT_GT(ink, 20);
  EXPECT_NEAR(static_cast<double>(sumX) / ink, 60, 5);
  EXPECT_NEAR(static_cast<double>(sumY) / ink, 30, 5);
}

// ---------------------------------------------------------------- window backgrounds

TEST_F(Drawing, BackgroundHasFrameFillAndAFooterBandUnlessLikeTheFill) {
  ImagePtr image = WindowBackgroundImage(450, 150, 0xFF000000, 0xFFFFFFFF, 0xFFF0F0FF, 4, 35);
  ASSERT_TRUE(image);
  EXPECT_EQ(SizeOf(image.get()).width, 450);
  EXPECT_EQ(Pixel(image.get(), 1, 75), 0xFF000000u);      // frame
  EXPECT_EQ(Pixel(image.get(), 448, 75), 0xFF000000u);
  EXPECT_EQ(Pixel(image.get(), 225, 60), 0xFFFFFFFFu);    // body
  EXPECT_EQ(Pixel(image.get(), 225, 130), 0xFFF0F0FFu);   // footer band
  EXPECT_EQ(Pixel(image.get(), 225, 112), 0xFFF0F0FFu);   // its top row: 150 - 4 - 35
  EXPECT_EQ(Pixel(image.get(), 225, 110), 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(image.get(), 225, 148), 0xFF000000u);   // frame below the band
  // A footer like the fill: no band.
  image = WindowBackgroundImage(450, 150, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 4, 35);
  ASSERT_TRUE(image);
  for (int y = 100; y < 146; ++y) EXPECT_EQ(Pixel(image.get(), 225, y), 0xFFFFFFFFu) << y;
}

TEST_F(Drawing, BackgroundBitmapFillsHolesWithTheHoleColour) {
  ImagePtr image = NewImage(10, 10, kFormatPargb);
  ASSERT_TRUE(FillRoundedRect(image.get(), 0, 0, 5, 10, 0xFF204080, 0));
  BitmapHandle same = BackgroundBitmap(image.get(), 10, 10);
  int width = 0;
  std::vector<uint32_t> pixels = BitmapPixels(same.Get(), &width);
  ASSERT_EQ(width, 10);
  EXPECT_EQ(pixels[5 * 10 + 1] & 0xFFFFFF, 0x204080u);
  EXPECT_EQ(pixels[5 * 10 + 8] & 0xFFFFFF, 0xFEFEFEu);
}

TEST_F(Drawing, BackgroundRegionOfAPopupIsRounded) {
  PopupWindow window(200, 100);
  EXPECT_EQ(ApplyBackgroundRegion(window.Get(), 200, 100, 12), FrameNeed::kNone);
  RegionHandle rgn(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(window.Get(), rgn.Get()), ERROR);
  EXPECT_FALSE(PtInRegion(rgn.Get(), 0, 0));
  EXPECT_TRUE(PtInRegion(rgn.Get(), 100, 50));
}

TEST_F(Drawing, BackgroundRegionOfACaptionedWindowIsItsClientArea) {
  PopupWindow window(300, 200, WS_OVERLAPPEDWINDOW);
  ASSERT_TRUE(window.Get());
  EXPECT_EQ(ApplyBackgroundRegion(window.Get(), 300, 200, 0), FrameNeed::kCustomFrame);
  ASSERT_EQ(ApplyBackgroundRegion(window.Get(), 300, 200, 1), FrameNeed::kNone);
  RegionHandle rgn(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(window.Get(), rgn.Get()), ERROR);
  RECT box{}, window_rect{}, client{};
  GetRgnBox(rgn.Get(), &box);
  GetWindowRect(window.Get(), &window_rect);
  GetClientRect(window.Get(), &client);
  POINT origin{0, 0};
  ClientToScreen(window.Get(), &origin);
  EXPECT_EQ(box.left, origin.x - window_rect.left);
  EXPECT_EQ(box.top, origin.y - window_rect.top);
  EXPECT_EQ(box.right - box.left, client.right);
  EXPECT_EQ(box.bottom - box.top, client.bottom);
}

// ---------------------------------------------------------------- check boxes

TEST_F(Drawing, CheckBoxStatesDifferWhereTheyShould) {
  const Argb green = 0xFF00A000;
  ImagePtr empty = CheckBoxPicture(40, kCheckBoxEmpty, green);
  ImagePtr ticked = CheckBoxPicture(40, kCheckBoxTicked, green);
  ImagePtr filled = CheckBoxPicture(40, kCheckBoxFilled, green);
  ASSERT_TRUE(empty && ticked && filled);
  // Centre of the box: white, the mark, the square.
  EXPECT_EQ(Pixel(empty.get(), 20, 20), 0xFFFFFFFFu);
  EXPECT_EQ(Pixel(filled.get(), 20, 20), green);
  EXPECT_EQ(Pixel(ticked.get(), 17, 27), green);
  EXPECT_EQ(Pixel(ticked.get(), 30, 30), 0xFFFFFFFFu);
  // The square leaves a white margin inside the frame.
  EXPECT_EQ(Pixel(filled.get(), 5, 20), 0xFFFFFFFFu);
  // The frame is black on every state.
  for (GpBitmap* image : {empty.get(), ticked.get(), filled.get()})
    EXPECT_EQ(Pixel(image, 2, 20) & 0xFFFFFF, 0u);
}

TEST_F(Drawing, RoundedCheckBoxHasClearCorners) {
  ImagePtr square = CheckBoxPicture(40, kCheckBoxEmpty, 0xFF000000);
  ImagePtr round = CheckBoxPicture(40, kCheckBoxEmpty | kCheckBoxRounded, 0xFF000000);
  EXPECT_EQ(Pixel(square.get(), 1, 1), 0xFF000000u);
  EXPECT_LT(Pixel(round.get(), 1, 1) >> 24, 0x40u);
}

// ---------------------------------------------------------------- window chores

TEST_F(Drawing, PictureBitmapReplacesAndFreesThePreviousOne) {
  HWND picture = CreateWindowExW(0, L"Static", L"", WS_POPUP | SS_BITMAP, 0, 0, 20, 20, nullptr,
                                 nullptr, Self(), nullptr);
  ASSERT_TRUE(picture);
  HBITMAP first = SolidBitmap(20, 20, 0xFFFF0000).Release();
  HBITMAP second = SolidBitmap(20, 20, 0xFF00FF00).Release();
  SetPictureBitmap(picture, first);
  EXPECT_EQ(reinterpret_cast<HBITMAP>(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0)), first);
  SetPictureBitmap(picture, second);
  EXPECT_EQ(GetObjectType(first), 0u);
  EXPECT_EQ(GetObjectType(second), static_cast<DWORD>(OBJ_BITMAP));
  DestroyWindow(picture);
  DeleteObject(second);
}

// Without an owner a window is centred on the work area, else over its owner.
TEST_F(Drawing, WindowIsCentredOverItsOwnerOrTheWorkArea) {
  PopupWindow window(200, 100);
  CentreWindow(window.Get(), nullptr);
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  EXPECT_EQ(WindowRectOf(window.Get()).left, area.left + (area.right - area.left - 200) / 2);
  EXPECT_EQ(WindowRectOf(window.Get()).top, area.top + (area.bottom - area.top - 100) / 2);
  PopupWindow owner(400, 300);
  SetWindowPos(owner.Get(), nullptr, 100, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  CentreWindow(window.Get(), owner.Get());
  EXPECT_EQ(WindowRectOf(window.Get()).left, 200);
  EXPECT_EQ(WindowRectOf(window.Get()).top, 150);
}

}  // namespace
}  // namespace pyr
