#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <set>

#include "app/win32/class_icon_platform.h"
#include "sandbox/simulated_platform.h"
#include "tests/core/test_fixture.h"
#include "tests/win/win_test_support.h"

namespace pyr {
namespace {

TEST(ClassIconPlatform, HandsOutARealImageListWithASlotForEveryClassImage) {
  SimulatedPlatform simulated(LoadTestPc());
  ASSERT_FALSE(simulated.Pc().classes.empty());
  ClassIconPlatform platform(simulated, GuidsOf(simulated.Pc()));

  ClassImageList list;
  ASSERT_TRUE(platform.GetClassImageList(&list));
  const HIMAGELIST images = reinterpret_cast<HIMAGELIST>(list.imageList.value);
  int width = 0, height = 0;
  ASSERT_TRUE(ImageList_GetIconSize(images, &width, &height)) << "not a real image list";
  EXPECT_EQ(width, GetSystemMetrics(SM_CXSMICON));

  const int count = ImageList_GetImageCount(images);
  for (const SimulatedClass& c : simulated.Pc().classes) {
    int32_t index = -1;
    ASSERT_TRUE(platform.GetClassImageIndex(list, c.guid, &index));
    EXPECT_EQ(index, c.image) << "the simulated PC's own index is kept";
    EXPECT_LT(index, count);
  }
  EXPECT_EQ(simulated.OpenImageLists(), 1u);
  EXPECT_TRUE(platform.DestroyClassImageList(list));
  EXPECT_EQ(simulated.OpenImageLists(), 0u) << "the inner list goes with the real one";
  EXPECT_FALSE(platform.DestroyClassImageList(list)) << "a list is destroyed once";
}

// A square icon of one colour, made from bits.
HICON SolidIcon(int size, uint32_t argb) {
  BITMAPV5HEADER header{};
  header.bV5Size = sizeof(header);
  header.bV5Width = size;
  header.bV5Height = -size;
  header.bV5Planes = 1;
  header.bV5BitCount = 32;
  header.bV5Compression = BI_RGB;
  void* bits = nullptr;
  HBITMAP colour = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&header),
                                    DIB_RGB_COLORS, &bits, nullptr, 0);
  for (int i = 0; i < size * size; ++i) static_cast<uint32_t*>(bits)[i] = argb;
  HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
  ICONINFO info{TRUE, 0, 0, mask, colour};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  DeleteObject(colour);
  return icon;
}

// The colour at the centre of an image list's slot, drawn on white.
COLORREF CentreOf(HIMAGELIST images, int index, int size) {
  WhiteCanvas canvas(size, size);
  ImageList_Draw(images, index, canvas.Dc(), 0, 0, ILD_NORMAL);
  const uint32_t centre = canvas.Pixels()[static_cast<size_t>(size / 2) * size + size / 2];
  return RGB((centre >> 16) & 0xFF, (centre >> 8) & 0xFF, centre & 0xFF);
}

// Only the slots a class refers to are filled: a class with a picture of its own shows it, even
// where the unknown class shares its slot; every other class shows some icon, never a blank.
TEST(ClassIconPlatform, EveryClassSlotShowsAnIconAndOwnPicturesWin) {
  SimulatedPc pc = LoadTestPc();
  ASSERT_GE(pc.classes.size(), 2u);
  const Guid pictured = pc.classes[0].guid;
  pc.unknownClassImage = pc.classes[0].image;
  SimulatedPlatform simulated(std::move(pc));
  ClassIconPlatform platform(simulated, GuidsOf(simulated.Pc()),
                             [&](const Guid& guid, int size) -> HICON {
                               return guid == pictured ? SolidIcon(size, 0xFFFF0000) : nullptr;
                             });
  ClassImageList list;
  ASSERT_TRUE(platform.GetClassImageList(&list));
  const auto images = reinterpret_cast<HIMAGELIST>(list.imageList.value);
  const int size = GetSystemMetrics(SM_CXSMICON);
  for (const SimulatedClass& c : simulated.Pc().classes) {
    const COLORREF centre = CentreOf(images, c.image, size);
    if (c.guid == pictured) {
      EXPECT_EQ(centre, RGB(255, 0, 0)) << "the class's own picture";
    } else {
      EXPECT_NE(centre, RGB(255, 255, 255)) << "class at slot " << c.image << " is blank";
    }
  }
  platform.DestroyClassImageList(list);
}

TEST(ClassIconPlatform, ListsStillHeldAtTheEndAreReleased) {
  SimulatedPlatform simulated(LoadTestPc());
  {
    ClassIconPlatform platform(simulated, GuidsOf(simulated.Pc()));
    ClassImageList a, b;
    ASSERT_TRUE(platform.GetClassImageList(&a));
    ASSERT_TRUE(platform.GetClassImageList(&b));
    EXPECT_NE(a.imageList.value, b.imageList.value);
  }
  EXPECT_EQ(simulated.OpenImageLists(), 0u);
}

TEST(ClassIconPlatform, AFailingInnerPlatformGivesNoList) {
  SimulatedPlatform simulated(LoadTestPc());
  simulated.SetImageListFails(true);
  ClassIconPlatform platform(simulated, GuidsOf(simulated.Pc()));
  ClassImageList list;
  EXPECT_FALSE(platform.GetClassImageList(&list));
  EXPECT_FALSE(list.Valid());
}

}  // namespace
}  // namespace pyr
