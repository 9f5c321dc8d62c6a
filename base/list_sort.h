// How the device list (and every list of the program) sorts: the comparison of two cell texts
// and the rules that turn a requested column and direction into the ones used.
#pragma once

#include <string_view>

namespace pyr {

// Sort directions for SortRows.
constexpr int kSortAscending = 1;
constexpr int kSortDescending = -1;
constexpr int kSortToggle = 0;
constexpr int kSortKeepShown = -2;
constexpr int kSortReverseShown = -3;

// The arrow a column header shows.
enum class SortArrow { kNone, kUp, kDown };

// Compares two cell texts for an ascending sort: < 0, 0 or > 0.
// Texts that start with a digit (after an optional sign) compare as numbers, with commas read as
// decimal points and " KB", " MB", " GB", " TB" scaling by powers of 1024; equal numbers and other
// texts compare case-insensitively per unit. Numbers form one block that sorts after texts that
// compare below "0" and before the others, which keeps the order strict and weak.
int CompareCellTexts(std::u16string_view a, std::u16string_view b);

// What the comparison needs of one text, worked out once when many comparisons follow.
struct CellSortKey {
  std::u16string_view text;  // at most the characters that count
  int block = 0;             // 0 text before the numbers, 1 number, 2 text after them
  double number = 0;
};
CellSortKey MakeCellSortKey(std::u16string_view text);
int CompareCellSortKeys(const CellSortKey& a, const CellSortKey& b);

// The column a sort acts on: requested when >= 0, else the one showing an arrow, else 0.
int ResolveSortColumn(int requested, int arrowColumn);
// Whether a sort in direction (kSortAscending ... kSortReverseShown) is descending, given the
// arrow the column shows now.
bool ResolveSortDescending(int direction, SortArrow shown);

}  // namespace pyr
