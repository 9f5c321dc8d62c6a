// WideText: the program's one owning UTF-16 text type.
// Positions are 1-based and 0 means "not found"; case is ignored per 16-bit unit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pyr {

class WideText;

// A piece for the joining operations: any text, or an absent (null) string that is skipped.
class TextPiece {
 public:
  TextPiece(const char16_t* s) : view_(s ? std::u16string_view(s) : std::u16string_view()) {}
  TextPiece(std::u16string_view s) : view_(s) {}
  TextPiece(const std::u16string& s) : view_(s) {}
  TextPiece(const WideText& t);
  std::u16string_view View() const { return view_; }

 private:
  std::u16string_view view_;
};

class WideText {
 public:
  WideText() = default;
  WideText(const char16_t* s) { Assign(s); }
  WideText(std::u16string_view s) : text_(s) {}
  WideText(std::u16string&& s) : text_(std::move(s)) {}

  // Content.
  void Assign(const char16_t* s) { text_ = s ? s : u""; lengthUnknown_ = false; }
  void Assign(std::u16string_view s) { text_.assign(s); lengthUnknown_ = false; }
  // Takes the buffer over instead of copying it.
  void Adopt(std::u16string&& s) { text_ = std::move(s); lengthUnknown_ = false; }
  void AssignConcat(std::initializer_list<TextPiece> pieces);
  void Append(std::initializer_list<TextPiece> pieces);
  void Append(TextPiece piece) { Append({piece}); }
  void Prepend(std::initializer_list<TextPiece> pieces);
  void Clear() { text_.clear(); lengthUnknown_ = false; }

  // Length in units; after Reserve it is found from the terminator on the next query.
  uint32_t Length() const;
  bool Empty() const { return Length() == 0; }
  // Zero-terminated, never null.
  const char16_t* Buffer() const { return text_.c_str(); }
  // A buffer of n + 1 units that a system call may write into, holding the first units of
  // initial; the length is unknown until next asked for.
  char16_t* Reserve(uint32_t n, const char16_t* initial = nullptr, bool zeroFill = true);

  std::u16string_view View() const { Length(); return text_; }
  const std::u16string& Str() const { Length(); return text_; }
  char16_t At(uint32_t position) const;  // 1-based; 0 outside the text

  int Find(std::u16string_view needle, bool caseSensitive = true, int occurrence = 1, int start = 1,
           int end = 0) const;
  // occurrence n >= 1 replaces the n-th match only; 0 replaces every match, left to right.
  int Replace(std::u16string_view needle, std::u16string_view replacement, int occurrence = 0,
              bool caseSensitive = true);
  bool Contains(std::u16string_view needle, bool caseSensitive = false) const {
    return Find(needle, caseSensitive) != 0;
  }

  void Left(int n);
  void Right(int n);
  void DropLeft(int n);
  void DropRight(int n);
  // The content becomes count units of source from start (1-based); count < 1 means to the end.
  void Mid(std::u16string_view source, int start, int count = 0);
  void Trim();
  void StripTrailingBackslashes();
  void AddLongPathPrefix();
  void ParentPath(bool keepSlash);
  WideText Extension() const;

  static bool EqualsNoCase(const char16_t* a, const char16_t* b);
  static bool EqualsNoCase(std::u16string_view a, std::u16string_view b);
  static int Compare(const char16_t* a, const char16_t* b, bool caseSensitive);
  static int Compare(std::u16string_view a, std::u16string_view b, bool caseSensitive);

  static WideText FromInt32(int32_t v) { return FromInt64(v); }
  static WideText FromUInt32(uint32_t v) { return FromUInt64(v); }
  static WideText FromInt64(int64_t v);
  static WideText FromUInt64(uint64_t v);
  static WideText FromDouble(double v);
  uint64_t ToUInt64() const;
  int32_t ToInt32() const;
  double ToDouble() const;
  bool IsNumber() const;

  static WideText FromAnsi(const char* bytes);
  // count 0: up to the first zero byte.
  static WideText FromUtf8(const char* bytes, size_t count = 0);
  static WideText FromUtf16BigEndian(const char16_t* units, size_t count);
  enum HexOptions : unsigned { kHexPrefix = 1, kHexReverse = 2, kHexLower = 4 };
  static WideText HexEncode(const void* bytes, size_t count, unsigned options = 0);

  // Always valid UTF-8: a lone surrogate becomes U+FFFD.
  std::string ToUtf8() const;

  bool operator==(const WideText& o) const { return View() == o.View(); }
  bool operator==(std::u16string_view o) const { return View() == o; }
  bool operator==(const char16_t* o) const { return View() == std::u16string_view(o ? o : u""); }

 private:
  mutable std::u16string text_;
  mutable bool lengthUnknown_ = false;
};

inline TextPiece::TextPiece(const WideText& t) : view_(t.View()) {}

// The runtime's towlower applied to one 16-bit unit; the same table on Linux and Windows.
char16_t LowerUnit(char16_t unit);
bool IsTextWhitespace(char16_t unit);

// Joins pieces into a new text.
WideText Concat(std::initializer_list<TextPiece> pieces);

}  // namespace pyr
