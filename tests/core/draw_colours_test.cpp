// Colour conversion and font arithmetic of the drawing helpers.
#include <gtest/gtest.h>

#include "base/colours.h"
#include "ui/draw/font_metrics.h"

namespace pyr {
namespace {

struct ColourCase {
  Argb argb;
  ColourRef ref;
};

TEST(Colours, ArgbBecomesColourRefWithRedAndBlueSwappedAndAlphaDropped) {
  const ColourCase cases[] = {
      {0xFF112233, 0x00332211}, {0x80FF0000, 0x000000FF}, {0x000000FF, 0x00FF0000},
      {0xFF00FF00, 0x0000FF00}, {0xFFFFFFFF, 0x00FFFFFF}, {0xFF1030A0, 0x00A03010},
  };
  for (const auto& c : cases) EXPECT_EQ(ArgbToColourRef(c.argb), c.ref) << std::hex << c.argb;
}

TEST(Colours, ColourRefBecomesOpaqueArgb) {
  const ColourCase cases[] = {
      {0xFF112233, 0x00332211}, {0xFF000000, 0x00000000}, {0xFFFFFFFF, 0x00FFFFFF}, {0xFFF0F0FF, 0x00FFF0F0},
  };
  for (const auto& c : cases) EXPECT_EQ(ColourRefToArgb(c.ref), c.argb) << std::hex << c.ref;
}

TEST(Colours, FillPixelsNeverHaveAlphaZero) {
  for (auto [argb, pixel] : {std::pair{0x00FFFFFFu, 0x01FFFFFFu}, {0u, 0x01000000u}, {0x80FFFFFFu, 0x80FFFFFFu},
                             {0x01123456u, 0x01123456u}}) {
    EXPECT_EQ(SolidFillPixel(argb), pixel) << std::hex << argb;
  }
}

// Sizes below a point are the small UI size; heights are for the DPI asked for (96 without one).
TEST(FontMetrics, HeightIsForTheDpi) {
  struct Case {
    double points;
    int dpi;
    int32_t height;
  } const cases[] = {
      {0.5, 96, -11},  {0.0, 96, -11},  {8.5, 96, -11},  {9.0, 96, -12},  {10.0, 96, -13},
      {12.0, 96, -16}, {1.0, 96, -1},   {9.0, 120, -15}, {9.0, 144, -18}, {10.0, 144, -20},
      {8.5, 192, -22}, {0.5, 144, -17}, {9.0, 0, -12},
  };
  for (const auto& c : cases)
    EXPECT_EQ(UiFontHeight(c.points, c.dpi), c.height) << c.points << " at " << c.dpi;
  EXPECT_EQ(UiFontHeight(9.0), -12);
}

TEST(FontMetrics, WeightBelowOneIsNormal) {
  for (auto [asked, weight] : {std::pair{0, 400}, {-5, 400}, {1, 1}, {700, 700}}) EXPECT_EQ(UiFontWeight(asked), weight);
}

}  // namespace
}  // namespace pyr
