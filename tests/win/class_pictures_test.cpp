// The device list's class pictures: the real image list the class icon platform hands out, filled
// from the system's class icons or from a picture source, and the sandbox's own pictures, which
// only the sandbox executable carries.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/win32/class_icon_platform.h"
#include "sandbox/class_pictures.h"
#include "sandbox/simulated_platform.h"
#include "sandbox/win32/class_picture_icons.h"
#include "tests/core/test_fixture.h"
#include "tests/win/win_test_support.h"
#include "ui/draw/win32/images.h"

namespace pyr {
namespace {

constexpr int kSize = 16;

// An icon drawn on white as 0xRRGGBB pixels, then destroyed; empty without one.
std::vector<uint32_t> IconPixels(HICON icon) {
  if (icon == nullptr) return {};
  WhiteCanvas canvas(kSize, kSize);
  EXPECT_TRUE(DrawIconEx(canvas.Dc(), 0, 0, icon, kSize, kSize, 0, nullptr, DI_NORMAL));
  DestroyIcon(icon);
  return canvas.Pixels();
}

size_t PaintedCount(const std::vector<uint32_t>& pixels) {
  size_t painted = 0;
  for (uint32_t v : pixels) painted += v != 0xFFFFFF;
  return painted;
}

// The image list and DrawIconEx blend the edges with a rounding of their own: the same picture
// drawn both ways differs by a count or two in a channel.
bool SamePicture(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  if (a.size() != b.size() || a.empty()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    for (int shift : {0, 8, 16}) {
      const int x = (a[i] >> shift) & 0xFF, y = (b[i] >> shift) & 0xFF;
      if (x - y > 2 || y - x > 2) return false;
    }
  }
  return true;
}

std::string Narrow(std::u16string_view text) { return std::string(text.begin(), text.end()); }

// A square icon of one colour.
HICON SolidIcon(int size, uint32_t argb) {
  const BitmapHandle colour = SolidBitmap(size, size, argb);
  HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
  ICONINFO info{TRUE, 0, 0, mask, colour.Get()};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  return icon;
}

// The class icon platform over the simulated PC, with a picture source of the test's.
class ClassPictureList : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(GetSystemMetrics(SM_CXSMICON), kSize) << "pictures are compared at 16 pixels"; }
  void TearDown() override {
    if (platform_) platform_->DestroyClassImageList(list_);
  }
  void Make(ClassIconSource source = {}, SimulatedPc pc = LoadTestPc()) {
    platform_.reset();
    simulated_ = std::make_unique<SimulatedPlatform>(std::move(pc));
    platform_ = std::make_unique<ClassIconPlatform>(*simulated_, GuidsOf(simulated_->Pc()), std::move(source));
    ASSERT_TRUE(platform_->GetClassImageList(&list_));
    images_ = reinterpret_cast<HIMAGELIST>(list_.imageList.value);
  }
  std::vector<uint32_t> ClassPixels(const Guid& guid) {
    int32_t index = -1;
    EXPECT_TRUE(platform_->GetClassImageIndex(list_, guid, &index));
    WhiteCanvas canvas(kSize, kSize);
    EXPECT_TRUE(ImageList_Draw(images_, index, canvas.Dc(), 0, 0, ILD_NORMAL));
    return canvas.Pixels();
  }
  std::vector<uint32_t> NamedClassPixels(std::u16string_view name) {
    for (const SimulatedClass& c : simulated_->Pc().classes) {
      if (c.name.View() == name) return ClassPixels(c.guid);
    }
    ADD_FAILURE() << "the test PC has no class " << Narrow(name);
    return {};
  }
  // The sandbox's own pictures as the source.
  ClassIconSource SandboxPictures() {
    return [this](const Guid& guid, int size) { return LoadClassPicture(sandbox_.Module(), simulated_->Pc(), guid, size); };
  }

  ExecutableAsData sandbox_{L"pyravel-sandbox.exe"};
  std::unique_ptr<SimulatedPlatform> simulated_;
  std::unique_ptr<ClassIconPlatform> platform_;  // declared after the platform it reads
  ClassImageList list_;
  HIMAGELIST images_ = nullptr;
};

// A real image list of small icons keeping the simulated PC's slots; the inner list goes with it,
// once, and lists still held when the platform goes are released; a failing inner platform gives none.
TEST_F(ClassPictureList, ARealImageListKeepsTheSlotsAndIsReleased) {
  Make();
  int width = 0, height = 0;
  ASSERT_TRUE(ImageList_GetIconSize(images_, &width, &height)) << "not a real image list";
  EXPECT_EQ(width, kSize);
  for (const SimulatedClass& c : simulated_->Pc().classes) {
    int32_t index = -1;
    ASSERT_TRUE(platform_->GetClassImageIndex(list_, c.guid, &index));
    EXPECT_EQ(index, c.image);
    EXPECT_LT(index, ImageList_GetImageCount(images_));
  }
  EXPECT_EQ(simulated_->OpenImageLists(), 1u);
  EXPECT_TRUE(platform_->DestroyClassImageList(list_));
  EXPECT_EQ(simulated_->OpenImageLists(), 0u) << "the inner list goes with the real one";
  EXPECT_FALSE(platform_->DestroyClassImageList(list_)) << "a list is destroyed once";
  ClassImageList a, b;
  ASSERT_TRUE(platform_->GetClassImageList(&a));
  ASSERT_TRUE(platform_->GetClassImageList(&b));
  EXPECT_NE(a.imageList.value, b.imageList.value);
  platform_.reset();
  EXPECT_EQ(simulated_->OpenImageLists(), 0u);
  Make();
  simulated_->SetImageListFails(true);
  ClassImageList none;
  EXPECT_FALSE(platform_->GetClassImageList(&none));
  EXPECT_FALSE(none.Valid());
}

// Only the slots a class refers to are filled: a class with a picture of its own shows it, even
// where the unknown class shares its slot; every other class shows a system icon, never a blank.
TEST_F(ClassPictureList, EveryClassSlotShowsAnIconAndOwnPicturesWin) {
  SimulatedPc pc = LoadTestPc();
  ASSERT_GE(pc.classes.size(), 2u);
  const Guid pictured = pc.classes[0].guid;
  pc.unknownClassImage = pc.classes[0].image;
  Make([&](const Guid& guid, int size) { return guid == pictured ? SolidIcon(size, 0xFFFF0000) : nullptr; }, std::move(pc));
  for (const SimulatedClass& c : simulated_->Pc().classes) {
    const std::vector<uint32_t> pixels = ClassPixels(c.guid);
    const uint32_t centre = pixels[kSize / 2 * kSize + kSize / 2];
    if (c.guid == pictured) {
      EXPECT_EQ(centre, 0xFF0000u) << "the class's own picture";
    } else {
      EXPECT_NE(centre, 0xFFFFFFu) << "class at slot " << c.image << " is blank";
    }
  }
}

// Every sandbox picture differs from the fallback, which shows something; Pyravel.exe carries
// none of them; class names ignore case and unknown names get the fallback.
TEST_F(ClassPictureList, EveryPictureIsInTheSandboxOnlyAndDiffersFromTheFallback) {
  const ExecutableAsData product(L"Pyravel.exe");
  ASSERT_NE(sandbox_.Module(), nullptr);
  ASSERT_NE(product.Module(), nullptr);
  const std::vector<uint32_t> fallback = IconPixels(LoadIconResource(sandbox_.Module(), kFallbackClassPicture, kSize));
  EXPECT_GT(PaintedCount(fallback), 60u);
  EXPECT_EQ(LoadIconResource(product.Module(), kFallbackClassPicture, kSize), nullptr);
  for (const ClassPicture& picture : ClassPictures()) {
    SCOPED_TRACE(Narrow(picture.className));
    const std::vector<uint32_t> pixels = IconPixels(LoadIconResource(sandbox_.Module(), picture.resource, kSize));
    EXPECT_GT(PaintedCount(pixels), 40u);
    EXPECT_FALSE(SamePicture(pixels, fallback));
    EXPECT_EQ(LoadIconResource(product.Module(), picture.resource, kSize), nullptr);
  }
  const auto resource = [](std::u16string_view name) { return std::u16string_view(ClassPictureResource(name)); };
  EXPECT_EQ(resource(u"display"), resource(u"DISPLAY"));
  EXPECT_NE(resource(u"Display"), kFallbackClassPicture);
  EXPECT_EQ(resource(u"Displays"), kFallbackClassPicture);
  EXPECT_EQ(resource(u""), kFallbackClassPicture);
}

// Through the sandbox's source: each class shows the picture drawn for it, different classes
// differ, classes sharing a slot share it, and unknown or unpictured classes show the fallback.
TEST_F(ClassPictureList, TheSandboxListShowsEachClassItsPicture) {
  Make(SandboxPictures());
  for (const SimulatedClass& c : simulated_->Pc().classes) {
    SCOPED_TRACE(Narrow(c.name.View()));
    EXPECT_TRUE(SamePicture(ClassPixels(c.guid), IconPixels(LoadClassPicture(sandbox_.Module(), simulated_->Pc(), c.guid, kSize))));
  }
  const std::vector<uint32_t> display = NamedClassPixels(u"Display"), net = NamedClassPixels(u"Net"),
                              keyboard = NamedClassPixels(u"Keyboard");
  EXPECT_GT(PaintedCount(display), 40u);
  EXPECT_FALSE(SamePicture(display, net));
  EXPECT_FALSE(SamePicture(display, keyboard));
  EXPECT_FALSE(SamePicture(net, keyboard));
  EXPECT_EQ(NamedClassPixels(u"Printer"), NamedClassPixels(u"PrintQueue"));
  const std::vector<uint32_t> fallback = IconPixels(LoadIconResource(sandbox_.Module(), kFallbackClassPicture, kSize));
  Guid unknown;
  ASSERT_TRUE(Guid::Parse(u"{0badc0de-0000-4000-8000-000000000001}", &unknown));
  ASSERT_EQ(simulated_->Pc().ClassByGuid(unknown), nullptr);
  EXPECT_TRUE(SamePicture(ClassPixels(unknown), fallback));
  EXPECT_TRUE(SamePicture(NamedClassPixels(u"Firmware"), fallback)) << "a class without a picture";
  EXPECT_FALSE(SamePicture(display, fallback));
}

}  // namespace
}  // namespace pyr
