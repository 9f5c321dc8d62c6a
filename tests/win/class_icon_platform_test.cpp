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
