#include "ui/dialogs/win32/progress_ring.h"

#include <system_error>

#include "ui/dialogs/progress_rules.h"
#include "ui/dialogs/win32/dialog_pictures.h"
#include "ui/draw/win32/gdi_handles.h"
#include "ui/draw/win32/images.h"
#include "ui/draw/win32/window_helpers.h"

namespace pyr {

ProgressRing::~ProgressRing() { EndSpinner(); }

void ProgressRing::SetTaskbar(std::unique_ptr<TaskbarProgress> taskbar) {
  taskbar_ = std::move(taskbar);
  taskbarTried_ = true;
}

void ProgressRing::Taskbar(TaskbarProgress::State state) {
  if (taskbar_ && topLevel_) taskbar_->SetState(topLevel_, state);
}

void ProgressRing::Attach(HWND control, HWND topLevel, Argb arc, Argb text, Argb background) {
  Stop();
  EndSpinner();
  RECT client{};
  GetClientRect(control, &client);
  side_ = client.right;
  if (!taskbarTried_) {
    taskbarTried_ = true;
    taskbar_ = CreateSystemTaskbarProgress();
  }
  control_ = control;
  topLevel_ = topLevel;
  arc_ = arc;
  text_ = text;
  background_ = background;
  lastPercentRequest_ = -1;
  ShowPercent(0);
}

void ProgressRing::Apply(int32_t value) {
  if (!control_) return;
  const RingRequest request = InterpretProgress(value);
  if (request.change == RingChange::kPercent) ShowPercent(value);
  if (request.change == RingChange::kSpin) Spin(value);
}

void ProgressRing::ShowPercent(int32_t value) {
  if (mode_ == kModePercent && lastPercentRequest_ == value) return;  // drawn already
  EndSpinner();
  const RingRequest request = InterpretProgress(value);
  if (taskbar_ && topLevel_) {
    taskbar_->SetState(topLevel_, TaskbarProgress::State::kNormal);
    taskbar_->SetValue(topLevel_, static_cast<unsigned long long>(request.taskbar), 100);
  }
  mode_ = kModePercent;
  value_ = request.percent;
  lastPercentRequest_ = value;
  ImagePtr image = RingImage(side_, request.percent, arc_, text_, background_);
  BitmapHandle bitmap = ImageToBitmap(image.get());
  if (bitmap) SetPictureBitmap(control_, bitmap.Release());  // no picture: the ring stays blank
}

void ProgressRing::Spin(int32_t value) {
  const RingRequest request = InterpretProgress(value);
  if (mode_ == kModeSpin && value_ == request.stored && spinner_.joinable()) return;
  EndSpinner();
  SpinnerSettings settings;
  settings.control = control_;
  settings.colour = text_;
  settings.background = ArgbToColourRef(background_);
  settings.side = side_;
  settings.speed = request.speed;
  stop_ = false;
  try {
    spinner_ = std::thread(SpinLoop, settings, &stop_);
  } catch (const std::system_error&) {
    // Without a thread the ring just does not turn; the operation goes on.
  }
  mode_ = kModeSpin;
  value_ = request.stored;
  lastPercentRequest_ = -1;
  Taskbar(TaskbarProgress::State::kIndeterminate);
}

void ProgressRing::Refit() {
  if (!control_) return;
  RECT client{};
  GetClientRect(control_, &client);
  if (client.right == side_) return;
  side_ = client.right;
  if (mode_ == kModePercent) {
    const int32_t shown = lastPercentRequest_;
    lastPercentRequest_ = -1;
    ShowPercent(shown);
  } else if (mode_ == kModeSpin) {
    EndSpinner();  // a spinner of the new side starts in its place
    Spin(value_);
  }
}

void ProgressRing::Stop() {
  stop_ = true;
  mode_ = kModeNone;
  lastPercentRequest_ = -1;
  Taskbar(TaskbarProgress::State::kNone);
}

void ProgressRing::EndSpinner() {
  stop_ = true;
  if (spinner_.joinable()) spinner_.join();  // it leaves within one 10 ms frame
}

void ProgressRing::SpinLoop(SpinnerSettings s, std::atomic<bool>* stop) {
  const HWND control = s.control;
  auto waitVisible = [&]() {
    while (!IsWindowVisible(control)) {
      if (!IsWindow(control) || *stop) return false;
      Sleep(10);
    }
    return !*stop;
  };
  if (!waitVisible()) return;

  ScreenDc controlDc(control);
  if (!controlDc.Get()) return;
  MemoryDc memory(controlDc.Get());
  BitmapHandle frame(CreateCompatibleBitmap(controlDc.Get(), s.side, s.side));
  if (!memory.Get() || !frame) return;
  SelectedObject selected(memory.Get(), frame.Get());

  // A background colour above 0xFFFFFF stands for "what the control shows now".
  BrushHandle background;
  if (s.background > 0x00FFFFFF) {
    BitmapHandle snapshot(CreateCompatibleBitmap(controlDc.Get(), s.side, s.side));
    MemoryDc copyDc(controlDc.Get());
    if (snapshot && copyDc.Get()) {
      SelectedObject keep(copyDc.Get(), snapshot.Get());
      BitBlt(copyDc.Get(), 0, 0, s.side, s.side, controlDc.Get(), 0, 0, SRCCOPY);
    }
    background.Reset(CreatePatternBrush(snapshot.Get()));
  } else {
    background.Reset(CreateSolidBrush(s.background));
  }
  if (!background) return;

  const SpinnerGeometry geo = SpinnerGeometryFor(s.side);
  GpGraphics* rawGraphics = nullptr;
  Gdiplus::GpPen* rawPen = nullptr;
  if (!GpOk(gp::GdipCreateFromHDC(memory.Get(), &rawGraphics))) return;
  GraphicsPtr graphics(rawGraphics);
  if (!GpOk(gp::GdipCreatePen1(s.colour, static_cast<float>(geo.penWidth), Gdiplus::UnitPixel,
                               &rawPen)))
    return;
  GpPenPtr pen(rawPen);
  gp::GdipSetPenEndCap(pen.get(), Gdiplus::LineCapTriangle);
  gp::GdipSetSmoothingMode(graphics.get(), Gdiplus::SmoothingModeAntiAlias);
  gp::GdipSetPixelOffsetMode(graphics.get(), Gdiplus::PixelOffsetModeHighQuality);

  const RECT all{0, 0, s.side, s.side};
  int32_t angle = kSpinnerStartAngle;
  while (!*stop) {
    SleepEx(10, FALSE);
    if (!waitVisible()) break;
    FillRect(memory.Get(), &all, background.Get());
    gp::GdipDrawArc(graphics.get(), pen.get(), geo.arcBox.x, geo.arcBox.y, geo.arcBox.w,
                    geo.arcBox.h, static_cast<float>(angle), static_cast<float>(kSpinnerSweep));
    if (!BitBlt(controlDc.Get(), 0, 0, s.side, s.side, memory.Get(), 0, 0, SRCCOPY)) break;
    angle = NextSpinAngle(angle, s.speed);
  }
}

}  // namespace pyr
