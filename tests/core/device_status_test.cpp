#include <gtest/gtest.h>

#include <string>

#include "devices/device_list.h"
#include "devices/device_status.h"

namespace pyr {
namespace {

struct StatusCase {
  bool noClass;
  uint32_t problem;
  bool present;
  const char* status;
  uint32_t colour;
};

TEST(DeviceStatus, TextAndColour) {
  const StatusCase cases[] = {
      {false, 0, true, "Working properly", kDefaultColour},
      {false, 22, true, "Disabled", kColourDisabled},  // grey, not red
      {false, 10, true, "Error: Failed to start", kColourNotWorking},
      {false, 43, true, "Error: Failed post start", kColourNotWorking},
      {true, 28, true, "Error: Failed install", kColourNotWorking},
      {true, 0, true, "No drivers installed", kColourNoDrivers}, {false, 0, false, "Not present", kColourNotPresent},
      // The colour tests the problem before presence; the status tests presence first.
      {false, 10, false, "Not present", kColourNotWorking}, {false, 22, false, "Not present", kColourDisabled},
      // Without a class and without a problem, the missing drivers win over the absence.
      {true, 0, false, "No drivers installed", kColourNoDrivers}, {true, 22, false, "Not present", kColourDisabled},
  };
  for (const StatusCase& c : cases) {
    DeviceState s{c.noClass, c.problem, c.present};
    EXPECT_EQ(DeviceStatusText(s).ToUtf8(), c.status) << c.noClass << " " << c.problem << " " << c.present;
    EXPECT_EQ(DeviceRowColour(s), c.colour) << c.noClass << " " << c.problem << " " << c.present;
  }
}

// The texts are the table's own; what matters is the index and its end.
TEST(ProblemText, IndexedByCodeUnknownPastTheEnd) {
  const std::pair<uint32_t, const char*> cases[] = {{1, "Error: Not configured"}, {22, "Disabled"},
                                                    {57, "Error: Guest assignment failed"},
                                                    {58, "Error: Unknown error code"},
                                                    {0xFFFFFFFF, "Error: Unknown error code"}};
  for (const auto& [code, text] : cases) EXPECT_EQ(WideText(ProblemText(code)).ToUtf8(), text) << code;
}

TEST(DeviceStatus, Classifications) {
  const struct {
    const char16_t* status;
    bool disabled, notPresent, error;
  } cases[] = {
      {u"Working properly", false, false, false}, {u"WORKING PROPERLY", false, false, false},
      {u"Disabled", true, false, false},          {u"disabled", true, false, false},
      {u"Not present", false, true, false},       {u"NOT PRESENT", false, true, false},
      {u"No drivers installed", false, false, true}, {u"Error: Failed install", false, false, true},
      {u"", false, false, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsDisabledStatus(c.status), c.disabled) << WideText(c.status).ToUtf8();
    EXPECT_EQ(IsNotPresentStatus(c.status), c.notPresent) << WideText(c.status).ToUtf8();
    EXPECT_EQ(IsErrorStatus(c.status), c.error) << WideText(c.status).ToUtf8();
  }
}

TEST(DeviceStatus, LegendOrderAndColoursMatchTheRows) {
  auto legend = StatusLegend();
  ASSERT_EQ(legend.size(), 4u);
  const DeviceState states[] = {{false, 22, true}, {false, 10, true}, {false, 0, false}, {true, 0, true}};
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(legend[i].colour, DeviceRowColour(states[i])) << i;
}

}  // namespace
}  // namespace pyr
