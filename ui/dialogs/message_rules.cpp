#include "ui/dialogs/message_rules.h"

#include <algorithm>

namespace pyr {

namespace {

constexpr MessageButton kOk[] = {{u"OK", kAnswerYes}};
constexpr MessageButton kYesNo[] = {{u"Yes", kAnswerYes}, {u"No", kAnswerNo}};
constexpr MessageButton kOkCancel[] = {{u"OK", kAnswerYes}, {u"Cancel", kAnswerCancel}};
constexpr MessageButton kYesNoCancel[] = {
    {u"Yes", kAnswerYes}, {u"No", kAnswerNo}, {u"Cancel", kAnswerCancel}};

// Event codes that do not dismiss a tip: nothing, size changing/changed, files dropped,
// maximize, right button down, right double click, mouse move, wheel, hover, non-client mouse
// leave, moving.
constexpr int32_t kTipSurvivors[] = {0, -1, -3, -4, -5, -9, -12, -15, -16, -17, -21, -23, -24, -26};

constexpr int32_t kTipMinWidth = 75;
constexpr int32_t kTipMinLineHeight = 16;
constexpr int32_t kTipTextMargin = 20;  // 10 on each side
constexpr int32_t kTipChrome = 45;      // title strip above, margin below

}  // namespace

std::span<const MessageButton> MessageButtons(int32_t kind) {
  switch (kind) {
    case kMessageOk: return kOk;
    case kMessageYesNo: return kYesNo;
    case kMessageOkCancel: return kOkCancel;
    case kMessageYesNoCancel: return kYesNoCancel;
    default: return {};
  }
}

int32_t NegativeButton(int32_t kind) { return static_cast<int32_t>(MessageButtons(kind).size()); }

int32_t NegativeAnswer(int32_t kind) {
  const auto buttons = MessageButtons(kind);
  return buttons.empty() ? kAnswerNo : buttons.back().answer;
}

std::vector<Point32> MessageButtonPlaces(int32_t kind, int32_t width, int32_t height) {
  const int32_t y = height - 35;
  const int32_t count = static_cast<int32_t>(MessageButtons(kind).size());
  std::vector<Point32> places;
  if (count == 1) {
    places.push_back({width - 135, y});  // OK sits at the right, where the eye ends
    return places;
  }
  if (count == 0) return places;
  const int32_t gap = (width - count * kMessageButtonWidth) / (count + 1);
  for (int32_t i = 0; i < count; ++i)
    places.push_back({(i + 1) * gap + i * kMessageButtonWidth, y});
  return places;
}

TipText SplitTipText(std::u16string_view text) {
  const size_t at = text.find(u"||");
  if (at == std::u16string_view::npos) return {WideText(text), WideText(u"Information")};
  return {WideText(text.substr(0, at)), WideText(text.substr(at + 2))};
}

std::vector<std::u16string_view> MessageLines(std::u16string_view message) {
  std::vector<std::u16string_view> lines;
  size_t start = 0;
  for (;;) {
    const size_t at = message.find(u"\r\n", start);
    if (at == std::u16string_view::npos) break;
    lines.push_back(message.substr(start, at - start));
    start = at + 2;
  }
  lines.push_back(message.substr(start));
  return lines;
}

TipSize TipSizeFor(std::span<const TextExtent> lineExtents) {
  int32_t widest = 0, tallest = 0;
  for (const TextExtent& e : lineExtents) {
    widest = std::max(widest, e.width);
    tallest = std::max(tallest, e.height);
  }
  TipSize size;
  size.lines = static_cast<int32_t>(lineExtents.size());
  size.lineHeight = std::max(kTipMinLineHeight, tallest);
  size.width = std::max(kTipMinWidth, widest + kTipTextMargin);
  size.height = size.lines * size.lineHeight + kTipChrome;
  return size;
}

bool TipSurvivesEvent(int32_t code) {
  return std::find(std::begin(kTipSurvivors), std::end(kTipSurvivors), code) !=
         std::end(kTipSurvivors);
}

}  // namespace pyr
