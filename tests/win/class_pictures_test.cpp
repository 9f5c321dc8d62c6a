// The device list's class pictures: the real image list the class icon platform hands out, filled
// from the system's class icons or from a picture source.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/win32/class_icon_platform.h"
#include "sandbox/simulated_platform.h"
#include "tests/core/test_fixture.h"
#include "tests/win/win_test_support.h"
#include "ui/draw/win32/images.h"

namespace pyr {
namespace {

constexpr int kSize = 16;

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
    return PaintedPixels(kSize, kSize, [&](HDC dc) {
      EXPECT_TRUE(ImageList_Draw(images_, index, dc, 0, 0, ILD_NORMAL));
    });
  }
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

}  // namespace
}  // namespace pyr
