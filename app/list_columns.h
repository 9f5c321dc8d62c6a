// The device list's ten columns: titles as the header shows them and their default widths, which
// are also the widths the settings fall back to.
#pragma once

#include <array>
#include <cstdint>

namespace pyr {

inline constexpr int kListColumnCount = 10;

// Split at the line breaks; every title keeps its leading blank.
inline constexpr char16_t kListColumnTitles[] =
    u" Device name\n Status\n Class\n Manufacturer\n Driver date\n Driver version\n Service name\n"
    u" Hardware ID\n Inf path\n Instance ID";

inline constexpr std::array<int, kListColumnCount> kDefaultColumnWidths = {
    270, 120, 120, 150, 100, 120, 100, 200, 100, 300};

}  // namespace pyr
