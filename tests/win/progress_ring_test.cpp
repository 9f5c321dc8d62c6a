// The progress ring on a real picture control: what it draws, what the taskbar is told, and
// that the spinner really turns on screen; its label.
#include "tests/win/win_test_support.h"

#include <string>
#include <vector>

#include "ui/dialogs/win32/dialog_pictures.h"
#include "ui/dialogs/win32/progress_ring.h"
#include "ui/draw/win32/images.h"

namespace pyr {
namespace {

// Records what the taskbar button was told, in order.
class TaskbarLog final : public TaskbarProgress {
 public:
  explicit TaskbarLog(std::vector<std::string>* log) : log_(log) {}
  void SetState(HWND, State state) override {
    log_->push_back(state == State::kNormal          ? "normal"
                    : state == State::kIndeterminate ? "indeterminate"
                                                     : "none");
  }
  void SetValue(HWND, unsigned long long done, unsigned long long total) override {
    log_->push_back(std::to_string(done) + "/" + std::to_string(total));
  }

 private:
  std::vector<std::string>* log_;
};

constexpr Argb kArc = 0xFF1030A0;
constexpr COLORREF kArcRef = RGB(0x10, 0x30, 0xA0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

class RingControl : public GdiplusSuite {
 protected:
  void SetUp() override {
    GdiplusSuite::SetUp();
    window_ = CreateWindowExW(WS_EX_TOPMOST, L"Static", L"", WS_POPUP | WS_CLIPCHILDREN, 100, 100,
                              200, 120, nullptr, nullptr, nullptr, nullptr);
    picture_ = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE | SS_BITMAP, 10, 10, 70, 70,
                               window_, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window_ && picture_);
    ring_.SetTaskbar(std::make_unique<TaskbarLog>(&taskbar_));
  }
  void TearDown() override {
    ring_.Stop();
    if (window_) DestroyWindow(window_);
  }
  void Attach(Argb text = 0xFF000000) { ring_.Attach(picture_, window_, kArc, text, 0xFFFFFFFF); }
  // The colour of a pixel of the bitmap the control shows.
  COLORREF ShownPixel(int x, int y) {
    auto bitmap = reinterpret_cast<HBITMAP>(SendMessageW(picture_, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (!bitmap) return CLR_INVALID;
    MemoryDc dc;
    SelectedObject selected(dc.Get(), bitmap);
    return GetPixel(dc.Get(), x, y);
  }

  HWND window_ = nullptr;
  HWND picture_ = nullptr;
  std::vector<std::string> taskbar_;
  ProgressRing ring_;
};

// Attaching draws 0 % and tells the taskbar; a half fills the right half (a whole, after values
// over a hundred, is read below).
TEST_F(RingControl, TheArcCoversTheValue) {
  Attach();
  EXPECT_EQ(ring_.Side(), 70);
  EXPECT_EQ(ring_.CurrentMode(), ProgressRing::kModePercent);
  EXPECT_EQ(taskbar_, (std::vector<std::string>{"normal", "0/100"}));
  const struct {
    int32_t value;
    COLORREF nine, three, six;  // at nine, three and six o'clock; CLR_INVALID: an arc's end
  } cases[] = {{0, kWhite, kWhite, kWhite}, {50, kWhite, kArcRef, CLR_INVALID}};
  for (const auto& c : cases) {
    ring_.Apply(c.value);
    EXPECT_EQ(ShownPixel(4, 35), c.nine) << c.value;
    EXPECT_EQ(ShownPixel(65, 35), c.three) << c.value;
    if (c.six != CLR_INVALID) {
      EXPECT_EQ(ShownPixel(35, 65), c.six) << c.value;
    }
  }
}

// What a run of values leaves on the ring and tells the taskbar (how each value reads, capped
// spin speeds too, is checked natively): repeats and -1 change nothing, the taskbar hears the
// value the caller gave; a percent after spinning stops the spinner and draws the arc; Stop
// clears the taskbar.
TEST_F(RingControl, ValuesInARow) {
  const struct {
    std::vector<int32_t> values;
    std::vector<std::string> taskbar;
    int mode;
    int32_t value;
  } cases[] = {
      {{40, 40, 41}, {"normal", "40/100", "normal", "41/100"}, ProgressRing::kModePercent, 41},
      {{-80, -1, 150}, {"indeterminate", "normal", "150/100"}, ProgressRing::kModePercent, 100},
  };
  for (const auto& c : cases) {
    ring_.Stop();
    Attach();
    taskbar_.clear();
    for (int32_t v : c.values) ring_.Apply(v);
    EXPECT_EQ(taskbar_, c.taskbar) << c.values.front();
    EXPECT_EQ(ring_.CurrentMode(), c.mode) << c.values.front();
    EXPECT_EQ(ring_.Value(), c.value) << c.values.front();
    EXPECT_EQ(ring_.SpinnerRunning(), c.mode == ProgressRing::kModeSpin) << c.values.front();
  }
  EXPECT_EQ(ShownPixel(4, 35), kArcRef);
  taskbar_.clear();
  ring_.Stop();
  EXPECT_EQ(ring_.CurrentMode(), ProgressRing::kModeNone);
  EXPECT_EQ(taskbar_, (std::vector<std::string>{"none"}));
}

// The spinner draws on the visible control, and ends when the control is destroyed.
TEST_F(RingControl, SpinnerDrawsOnTheVisibleControlAndEndsWithIt) {
  Attach(0xFFFF0000);
  ShowWindow(window_, SW_SHOWNOACTIVATE);
  UpdateWindow(window_);
  ring_.Apply(-80);
  // Let the spinner draw frames while this thread keeps the windows served.
  int red = 0;
  for (int attempt = 0; attempt < 100 && red <= 10; ++attempt) {
    DrainMessages();
    Sleep(20);
    red = 0;
    HDC dc = GetDC(picture_);
    for (int y = 0; y < 70; y += 2)
      for (int x = 0; x < 70; x += 2) red += GetPixel(dc, x, y) == RGB(255, 0, 0);
    ReleaseDC(picture_, dc);
  }
  EXPECT_GT(red, 10);
  DestroyWindow(window_);
  window_ = nullptr;
  ring_.Apply(50);  // joins the spinner: this must not hang
  EXPECT_FALSE(ring_.SpinnerRunning());
}

// The ring's label is inked around its middle (its text box is centred in the ring).
TEST_F(RingControl, TheLabelIsInkedAroundTheMiddle) {
  const ImagePtr ring = RingImage(70, 7, kArc, 0xFFFF0000, 0xFFFFFFFF);
  int ink = 0, sumX = 0, sumY = 0;
  for (int y = 0; y < 70; ++y) {
    for (int x = 0; x < 70; ++x) {
      Gdiplus::ARGB argb = 0;
      gp::GdipBitmapGetPixel(ring.get(), x, y, &argb);
      const bool red = (argb & 0xFFFFFF) == 0xFF0000;
      ink += red;
      sumX += red * x;
      sumY += red * y;
    }
  }
  ASSERT_GT(ink, 10);
  EXPECT_NEAR(sumX / ink, 35, 5);
  EXPECT_NEAR(sumY / ink, 35, 5);
}

}  // namespace
}  // namespace pyr
