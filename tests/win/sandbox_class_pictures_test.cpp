// The sandbox's own class pictures: carried by the sandbox executable alone, one per kind of
// device, and handed to the device list by the sandbox's platform.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/win32/class_icon_platform.h"
#include "base/win32/wchar.h"
#include "sandbox/class_pictures.h"
#include "sandbox/simulated_platform.h"
#include "sandbox/win32/class_picture_icons.h"
#include "tests/core/test_fixture.h"
#include "tests/win/win_test_support.h"

namespace pyr {
namespace {

constexpr int kSize = 16;

std::vector<uint32_t> IconPixels(HICON icon) {
  WhiteCanvas canvas(kSize, kSize);
  EXPECT_TRUE(DrawIconEx(canvas.Dc(), 0, 0, icon, kSize, kSize, 0, nullptr, DI_NORMAL));
  return canvas.Pixels();
}

std::vector<uint32_t> ResourcePixels(HMODULE module, const char16_t* name) {
  const HICON icon = LoadIconResource(module, name, kSize);
  EXPECT_NE(icon, nullptr) << "no picture " << std::string(name, name + std::char_traits<char16_t>::length(name));
  if (icon == nullptr) return {};
  std::vector<uint32_t> pixels = IconPixels(icon);
  DestroyIcon(icon);
  return pixels;
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

TEST(SandboxClassPictures, EveryPictureIsInTheSandboxOnlyAndDiffersFromTheFallback) {
  const ExecutableAsData sandbox(L"pyravel-sandbox.exe");
  const ExecutableAsData product(L"Pyravel.exe");
  ASSERT_NE(sandbox.Module(), nullptr);
  ASSERT_NE(product.Module(), nullptr);

  const std::vector<uint32_t> fallback = ResourcePixels(sandbox.Module(), kFallbackClassPicture);
  EXPECT_GT(PaintedCount(fallback), 60u) << "the fallback shows something";
  EXPECT_EQ(LoadIconResource(product.Module(), kFallbackClassPicture, kSize), nullptr)
      << "Pyravel.exe shows the system's class icons and carries none of its own";
  for (const ClassPicture& picture : ClassPictures()) {
    SCOPED_TRACE(Narrow(picture.className));
    const std::vector<uint32_t> pixels = ResourcePixels(sandbox.Module(), picture.resource);
    EXPECT_GT(PaintedCount(pixels), 40u);
    EXPECT_FALSE(SamePicture(pixels, fallback));
    EXPECT_EQ(LoadIconResource(product.Module(), picture.resource, kSize), nullptr);
  }
}

TEST(SandboxClassPictures, ClassNamesIgnoreCaseAndUnknownNamesGetTheFallback) {
  EXPECT_EQ(std::u16string_view(ClassPictureResource(u"display")),
            std::u16string_view(ClassPictureResource(u"DISPLAY")));
  EXPECT_NE(std::u16string_view(ClassPictureResource(u"Display")),
            std::u16string_view(kFallbackClassPicture));
  EXPECT_EQ(std::u16string_view(ClassPictureResource(u"Displays")),
            std::u16string_view(kFallbackClassPicture));
  EXPECT_EQ(std::u16string_view(ClassPictureResource(u"")),
            std::u16string_view(kFallbackClassPicture));
}

// The device list's image list as the sandbox's platform builds it.
class SandboxImageList : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(sandbox_.Module(), nullptr);
    ASSERT_EQ(GetSystemMetrics(SM_CXSMICON), kSize) << "the pictures are compared at 16 pixels";
    ASSERT_TRUE(platform_.GetClassImageList(&list_));
    images_ = reinterpret_cast<HIMAGELIST>(list_.imageList.value);
  }
  void TearDown() override { platform_.DestroyClassImageList(list_); }

  std::vector<uint32_t> ClassPixels(const Guid& guid) {
    int32_t index = -1;
    EXPECT_TRUE(platform_.GetClassImageIndex(list_, guid, &index));
    WhiteCanvas canvas(kSize, kSize);
    EXPECT_TRUE(ImageList_Draw(images_, index, canvas.Dc(), 0, 0, ILD_NORMAL));
    return canvas.Pixels();
  }
  std::vector<uint32_t> NamedClassPixels(std::u16string_view name) {
    for (const SimulatedClass& c : simulated_.Pc().classes) {
      if (c.name.View() == name) return ClassPixels(c.guid);
    }
    ADD_FAILURE() << "the test PC has no class " << Narrow(name);
    return {};
  }
  std::vector<uint32_t> PicturePixels(const Guid& guid) {
    const HICON icon = LoadClassPicture(sandbox_.Module(), simulated_.Pc(), guid, kSize);
    EXPECT_NE(icon, nullptr);
    if (icon == nullptr) return {};
    std::vector<uint32_t> pixels = IconPixels(icon);
    DestroyIcon(icon);
    return pixels;
  }

  ExecutableAsData sandbox_{L"pyravel-sandbox.exe"};
  SimulatedPlatform simulated_{LoadTestPc()};
  ClassIconPlatform platform_{simulated_, GuidsOf(simulated_.Pc()),
                              [this](const Guid& guid, int size) {
                                return LoadClassPicture(sandbox_.Module(), simulated_.Pc(), guid,
                                                        size);
                              }};
  ClassImageList list_;
  HIMAGELIST images_ = nullptr;
};

TEST_F(SandboxImageList, DifferentClassesShowDifferentPictures) {
  const std::vector<uint32_t> display = NamedClassPixels(u"Display");
  const std::vector<uint32_t> net = NamedClassPixels(u"Net");
  const std::vector<uint32_t> keyboard = NamedClassPixels(u"Keyboard");
  EXPECT_GT(PaintedCount(display), 40u);
  EXPECT_FALSE(SamePicture(display, net));
  EXPECT_FALSE(SamePicture(display, keyboard));
  EXPECT_FALSE(SamePicture(net, keyboard));
  // Classes sharing a slot of the simulated PC share their picture too.
  EXPECT_EQ(NamedClassPixels(u"Printer"), NamedClassPixels(u"PrintQueue"));
}

TEST_F(SandboxImageList, EachClassShowsThePictureDrawnForIt) {
  for (const SimulatedClass& c : simulated_.Pc().classes) {
    SCOPED_TRACE(Narrow(c.name.View()));
    EXPECT_TRUE(SamePicture(ClassPixels(c.guid), PicturePixels(c.guid)));
  }
}

TEST_F(SandboxImageList, UnknownAndUnpicturedClassesShowTheFallback) {
  const std::vector<uint32_t> fallback = ResourcePixels(sandbox_.Module(), kFallbackClassPicture);
  Guid unknown;
  ASSERT_TRUE(Guid::Parse(u"{0badc0de-0000-4000-8000-000000000001}", &unknown));
  ASSERT_EQ(simulated_.Pc().ClassByGuid(unknown), nullptr);
  EXPECT_TRUE(SamePicture(ClassPixels(unknown), fallback));
  EXPECT_TRUE(SamePicture(NamedClassPixels(u"Firmware"), fallback)) << "a class without a picture";
  EXPECT_FALSE(SamePicture(NamedClassPixels(u"Display"), fallback));
}

}  // namespace
}  // namespace pyr
