#include <gtest/gtest.h>

#include "base/text_list.h"
#include "base/printable_text.h"
#include "base/wide_text.h"

namespace pyr {
namespace {

struct FindCase {
  const char16_t* text;
  const char16_t* needle;
  bool caseSensitive;
  int occurrence, start, end, expected;
};

TEST(WideTextFind, Table) {
  const FindCase cases[] = {
      {u"C:\\Windows\\System32\\drivers", u"\\", true, -1, 1, 0, 20},
      {u"C:\\Windows\\System32\\drivers", u"\\", true, 1, 1, 0, 3},
      {u"C:\\Windows\\System32\\drivers", u"\\", true, 2, 1, 0, 11},
      {u"C:\\Windows\\System32\\drivers", u"\\", true, -2, 1, 0, 11},
      {u"C:\\Windows\\System32\\drivers", u"\\", true, 4, 1, 0, 0},
      {u"D:\\backup\\driverbackup\\x", u"\\DriverBackup", false, 1, 1, 0, 10},
      {u"D:\\backup\\driverbackup\\x", u"\\DriverBackup", true, 1, 1, 0, 0},
      {u"aaaa", u"aa", true, 2, 1, 0, 2},   // matches overlap
      {u"aaaa", u"aa", true, 3, 1, 0, 3}, {u"aaaa", u"aa", true, -1, 1, 0, 3},
      {u"abcabc", u"abc", true, 0, 1, 0, 1},  // occurrence 0 counts as 1
      {u"abcabc", u"abc", true, 1, 2, 0, 4},
      {u"abcabc", u"abc", true, 1, -5, 0, 1},  // start below 1 counts as 1
      {u"abcabc", u"abc", true, 1, 5, 0, 0},   // start past the last possible position
      {u"ftp://host", u"ftp", false, 1, 1, 3, 1},
      {u"http://ftp", u"ftp", false, 1, 1, 3, 0},  // window of three units
      {u"abcabc", u"abc", true, -1, 1, 5, 1},      // the window ends before the second match
      {u"abcabc", u"abc", true, 1, 1, 2, 0},       // window shorter than the needle
      {u"abcabc", u"abc", true, -1, 1, 99, 4},     // window past the end: the whole rest
      {u"", u"a", true, 1, 1, 0, 0}, {u"abc", u"", true, 1, 1, 0, 0}, {u"ab", u"abc", true, 1, 1, 0, 0},
  };
  for (const FindCase& c : cases) {
    EXPECT_EQ(WideText(c.text).Find(c.needle, c.caseSensitive, c.occurrence, c.start, c.end), c.expected)
        << WideText(c.text).ToUtf8() << " / " << WideText(c.needle).ToUtf8() << " occ " << c.occurrence
        << " start " << c.start << " end " << c.end;
  }
}

// The text an edit leaves.
template <typename Edit>
WideText After(const char16_t* text, Edit edit) {
  WideText t(text);
  edit(t);
  return t;
}

TEST(WideTextReplace, AllOrTheNthMatchWithoutRescanningInsertedText) {
  const struct {
    const char16_t *text, *from, *to;
    int occurrence;
    bool caseSensitive;
    int count;
    const char16_t* after;
  } cases[] = {{u"aXbXc", u"X", u"XX", 0, true, 2, u"aXXbXXc"}, {u"aaaa", u"aa", u"b", 0, true, 2, u"bb"},
               {u"one ONE one", u"one", u"1", 2, false, 1, u"one 1 one"},
               {u"one 1 one", u"ONE", u"2", 0, true, 0, u"one 1 one"}};
  for (const auto& c : cases) {
    int count = -1;
    EXPECT_EQ(After(c.text, [&](WideText& t) { count = t.Replace(c.from, c.to, c.occurrence, c.caseSensitive); }),
              c.after);
    EXPECT_EQ(count, c.count) << WideText(c.text).ToUtf8();
  }
}

TEST(WideTextCut, LeftRightDropMid) {
  EXPECT_EQ(After(u"abcdef", [](WideText& t) { t.Left(10); }), u"abcdef");  // shorter than n: nothing happens
  EXPECT_EQ(After(u"abcdef", [](WideText& t) { t.Left(4); }), u"abcd");
  EXPECT_EQ(After(u"abcd", [](WideText& t) { t.Right(9); }), u"abcd");
  EXPECT_EQ(After(u"abcd", [](WideText& t) { t.Right(3); }), u"bcd");
  EXPECT_EQ(After(u"abc", [](WideText& t) { t.Right(0); }), u"");
  EXPECT_EQ(After(u"bcd", [](WideText& t) { t.DropLeft(-2); }), u"bcd");
  EXPECT_EQ(After(u"bcd", [](WideText& t) { t.DropLeft(1); }), u"cd");
  EXPECT_EQ(After(u"cd", [](WideText& t) { t.DropRight(5); }), u"");
  // Positions outside the text read as 0.
  for (auto [at, unit] : {std::pair{1, u'a'}, {3, u'c'}, {0, u'\0'}, {4, u'\0'}}) {
    EXPECT_EQ(WideText(u"abc").At(at), unit) << at;
  }
  const struct {
    const char16_t* source;
    int start, length;
    const char16_t* mid;
  } mids[] = {{u"hello world", 7, 0, u"world"}, {u"hello world", -3, 5, u"hello"}, {u"hello", 4, 100, u"lo"},
              {u"hello", 9, 1, u""}};
  for (const auto& m : mids) EXPECT_EQ(After(u"x", [&](WideText& t) { t.Mid(m.source, m.start, m.length); }), m.mid);
  EXPECT_EQ(After(u"abcdef", [](WideText& t) { t.Mid(t.View(), 2, 3); }), u"bcd");
}

TEST(WideTextCut, TrimOnlyTheFourWhitespaceUnits) {
  EXPECT_EQ(After(u"\t\r\n x y \x0B\n ", [](WideText& t) { t.Trim(); }), u"x y \x0B");
  EXPECT_TRUE(After(u" \t ", [](WideText& b) { b.Trim(); }).Empty());
}

TEST(WideTextPaths, LongPathPrefix) {
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"C:\\x", u"\\\\?\\C:\\x"}, {u"\\\\server\\share", u"\\\\?\\UNC\\server\\share"}, {u"x\\y", u"x\\y"},
      {u"\\\\?\\C:\\x", u"\\\\?\\C:\\x"}, {u"", u""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(After(in, [](WideText& t) { t.AddLongPathPrefix(); }), out);
}

TEST(WideTextPaths, ParentPath) {
  struct Case {
    const char16_t* in;
    bool keep;
    const char16_t* out;
  };
  const Case cases[] = {
      {u"C:\\a\\b\\", false, u"C:\\a"},   {u"C:\\a\\b", true, u"C:\\a\\"}, {u"C:\\a", false, u"C:"},
      {u"C:\\a", true, u"C:\\"},          {u"C:\\", true, u"C:\\"},        {u"C:\\", false, u"C:"},
      {u"name", true, u"name\\"},         {u"name", false, u"name"},       {u"\\x", false, u"\\x"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(After(c.in, [&](WideText& t) { t.ParentPath(c.keep); }), c.out) << WideText(c.in).ToUtf8() << c.keep;
  }
}

TEST(WideTextPaths, ExtensionAndBackslashes) {
  EXPECT_EQ(WideText(u"C:\\d\\oem12.inf").Extension(), u".inf");
  EXPECT_EQ(WideText(u"C:\\d.x\\file").Extension(), u"");
  EXPECT_EQ(WideText(u"file.").Extension(), u"");
  EXPECT_EQ(WideText(u"a.b.cat").Extension(), u".cat");
  EXPECT_EQ(After(u"C:\\x\\\\\\", [](WideText& t) { t.StripTrailingBackslashes(); }), u"C:\\x");
}

TEST(WideTextCompare, EqualsAndCompare) {
  const char16_t* a = u"Disabled";
  EXPECT_TRUE(WideText::EqualsNoCase(a, a));
  EXPECT_TRUE(WideText::EqualsNoCase(u"DISABLED", u"disabled"));
  EXPECT_FALSE(WideText::EqualsNoCase(u"Disabled", u"Disable"));
  EXPECT_FALSE(WideText::EqualsNoCase(static_cast<const char16_t*>(nullptr), u""));
  EXPECT_EQ(WideText::Compare(u"abc", u"ABD", false), -1);
  EXPECT_EQ(WideText::Compare(u"abc", u"ABC", true), 1);
  EXPECT_EQ(WideText::Compare(u"abc", u"ABC", false), 0);
  EXPECT_EQ(WideText::Compare(u"ab", u"abc", true), -1);
  EXPECT_EQ(WideText::Compare(nullptr, u"", true), -1);
  EXPECT_EQ(WideText::Compare(u"", static_cast<const char16_t*>(nullptr), true), 1);
}

// Both builds must ignore case the same way beyond ASCII.
TEST(WideTextCompare, NonAsciiLettersIgnoreCase) {
  EXPECT_TRUE(WideText::EqualsNoCase(u"ÉCRAN Ärger ΣΩ Жук", u"écran ärger σω жук"));
  EXPECT_EQ(WideText(u"Grafikkarte ÜBER").Find(u"über", false), 13);
  EXPECT_EQ(LowerUnit(u'Ω'), u'ω');
  EXPECT_EQ(LowerUnit(u'ß'), u'ß');
  EXPECT_EQ(LowerUnit(u'1'), u'1');
}

TEST(WideTextSplit, Pieces) {
  struct Case {
    const char16_t* text;
    const char16_t* delimiters;
    bool whole;
    std::vector<std::u16string> pieces;
  };
  const Case cases[] = {
      {u"a,,b,", u",", false, {u"a", u"", u"b"}}, {u",a", u",", false, {u"", u"a"}},
      {u"a;b,c", u",;", false, {u"a", u"b", u"c"}}, {u"", u",", false, {u""}}, {u"abc", u"", false, {u"abc"}},
      {u"C:\\x\\\\y", u"\\", true, {u"C:", u"x", u"", u"y"}}, {u"a--b--", u"--", true, {u"a", u"b"}},
      {u"a-b", u"--", true, {u"a-b"}}, {u" Device name\n Status", u"\n", false, {u" Device name", u" Status"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Split(c.text, c.delimiters, c.whole).Pieces(), c.pieces) << WideText(c.text).ToUtf8();
  }
}

TEST(WideTextSplit, PieceIndexPastTheEndGivesTheLast) {
  TextList list = Split(u"x|y|z", u"|", false);
  ASSERT_EQ(list.Count(), 3u);
  EXPECT_EQ(std::u16string(list.Piece(7)), u"z");
  EXPECT_EQ(TextList().Piece(0), nullptr);
}

TEST(WideTextNumbers, Formatting) {
  EXPECT_EQ(WideText::FromInt32(-2147483647 - 1), u"-2147483648");
  EXPECT_EQ(WideText::FromUInt32(4294967295u), u"4294967295");
  EXPECT_EQ(WideText::FromInt64(INT64_MIN), u"-9223372036854775808");
  EXPECT_EQ(WideText::FromUInt64(0), u"0");
  const std::pair<double, const char16_t*> doubles[] = {
      {2.5, u"2.5"}, {3.0, u"3"}, {-0.25, u"-0.25"}, {-2.5, u"-2.5"}, {2.0, u"2"},
      {0.1, u"0.1"}, {-7.0, u"-7"}, {1e-12, u"0"}, {1234.125, u"1234.125"},
  };
  for (const auto& [value, text] : doubles) EXPECT_EQ(WideText::FromDouble(value), text) << value;
  // A fraction that never settles stops at the precision a double has.
  EXPECT_LE(WideText::FromDouble(1.0 / 3).Length(), 2u + 17u);
}

TEST(WideTextNumbers, Parsing) {
  EXPECT_EQ(WideText(u"123abc").ToUInt64(), 123u);
  EXPECT_EQ(WideText(u"").ToUInt64(), 0u);
  EXPECT_EQ(WideText(u"18446744073709551615").ToUInt64(), UINT64_MAX);
  EXPECT_EQ(WideText(u"-42").ToInt32(), -42);
  EXPECT_EQ(WideText(u"  17").ToInt32(), 17);
  EXPECT_DOUBLE_EQ(WideText(u"2.75MB").ToDouble(), 2.75);
  for (auto [text, number] : {std::pair{u"7", true}, {u"-7", true}, {u"-", false}, {u"x7", false}, {u"", false}}) {
    EXPECT_EQ(WideText(text).IsNumber(), number) << WideText(text).ToUtf8();
  }
}

TEST(WideTextEncoding, HexEncodeOptions) {
  const unsigned char bytes[] = {0x01, 0xAB};
  EXPECT_EQ(WideText::HexEncode(bytes, 2, WideText::kHexPrefix | WideText::kHexLower), u"0x01ab");
  EXPECT_EQ(WideText::HexEncode(bytes, 2, WideText::kHexReverse), u"AB01");
  EXPECT_EQ(WideText::HexEncode(bytes, 2), u"01AB");
  EXPECT_EQ(WideText::HexEncode(bytes, 0, WideText::kHexPrefix), u"0x");
}

TEST(WideTextEncoding, CodePages) {
  EXPECT_EQ(WideText::FromUtf8("Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC"), u"Grüße €");
  EXPECT_EQ(WideText::FromUtf8("ab\0cd", 5).Length(), 2u);  // stops at the zero byte
  EXPECT_EQ(WideText::FromUtf8("abcdef", 3), u"abc");
  EXPECT_EQ(WideText::FromUtf8("\xF0\x9F\x98\x80"), u"\U0001F600");
  // A stray byte is one U+FFFD; the smallest two- and three-byte forms are valid.
  EXPECT_EQ(WideText::FromUtf8("a\x80" "b\xC2\x80\xE0\xA0\x80"), u"a\uFFFDb\u0080\u0800");
  // The first and last code points beyond the basic plane: the low surrogates' own edges.
  EXPECT_EQ(WideText(u"\U00010000\uFFFD\U0010FFFF").ToUtf8(), "\xF0\x90\x80\x80\xEF\xBF\xBD\xF4\x8F\xBF\xBF");
  // A lone or reversed surrogate has no UTF-8 form: each is one U+FFFD, so the output stays valid.
  EXPECT_EQ(WideText(std::u16string{u'a', 0xD800, u'b', 0xDC00, 0xD800}).ToUtf8(),
            "a\xEF\xBF\xBD" "b\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(WideText::FromAnsi("caf\xE9"), u"café");
  const char16_t be[] = {0x4100, 0x4200, 0, 0x4300};
  EXPECT_EQ(WideText::FromUtf16BigEndian(be, 4), u"AB");
}

// A device name on the console: nothing in it may forge, hide or reorder a result line.
TEST(WideTextEncoding, PrintableLineReplacesControlsAndWholeEscapeSequences) {
  const std::pair<std::u16string_view, std::u16string_view> cases[] = {
      {u"Caf\u00e9 \U0001F600 ok", u"Caf\u00e9 \U0001F600 ok"},
      {u"A\r\nB was successfully backed up.\tx\x7F\x85", u"A\uFFFD\uFFFDB was successfully backed up.\uFFFDx\uFFFD\uFFFD"},
      {u"\x1B[2K\x1B[1A\x1B[31mRed\x1B[0m", u"\uFFFD\uFFFD\uFFFDRed\uFFFD"},   // CSI with parameters
      {u"\x9B" u"2KA\x1B" u"7B\x1B(0C\x1B", u"\uFFFDA\uFFFDB\uFFFDC\uFFFD"},      // 8-bit CSI, short escapes
      {u"\x1B]0;title\x07T\x1B]8;;x\x1B\\L\x1BPq#0", u"\uFFFDT\uFFFDL\uFFFD"},  // OSC, DCS to the end
      {u"a\x1B[12", u"a\uFFFD"},
      {u"x\u202Edeliaf\u2066y\u2028z\u200F", u"x\uFFFDdeliaf\uFFFDy\uFFFDz\uFFFD"},
      {u"s\xD800t\xDC00", u"s\uFFFDt\uFFFD"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(PrintableLine(in), out) << WideText(in).ToUtf8();
}

TEST(WideTextBuffer, ReserveLetsCallersWriteAndFindsTheLength) {
  WideText t;
  EXPECT_NE(t.Buffer(), nullptr);
  EXPECT_EQ(t.Buffer()[0], 0);
  char16_t* b = t.Reserve(16, u"abcdef");
  EXPECT_EQ(t.Length(), 6u);
  b = t.Reserve(16, u"abcdef");
  b[2] = 0;
  EXPECT_EQ(t.Length(), 2u);
  EXPECT_EQ(t, u"ab");
  t.Reserve(3, u"abcdef");
  EXPECT_EQ(t, u"abc");
}

TEST(WideTextBuffer, JoiningMayUseItsOwnContent) {
  WideText t(u"ab");
  t.AssignConcat({t, u"-", nullptr, t});
  EXPECT_EQ(t, u"ab-ab");
  t.Append({u"!", t});
  EXPECT_EQ(t, u"ab-ab!ab-ab");
  t.Assign(u"x");
  t.Prepend({u"1", nullptr, u"2"});
  EXPECT_EQ(t, u"12x");
}

}  // namespace
}  // namespace pyr
