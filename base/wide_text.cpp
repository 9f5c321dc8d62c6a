#include "base/wide_text.h"

#include <algorithm>
#include <vector>

namespace pyr {

namespace {

bool UnitsEqual(char16_t a, char16_t b, bool caseSensitive) {
  return a == b || (!caseSensitive && LowerUnit(a) == LowerUnit(b));
}

bool MatchesAt(std::u16string_view text, size_t at, std::u16string_view needle, bool caseSensitive) {
  for (size_t i = 0; i < needle.size(); ++i) {
    if (!UnitsEqual(text[at + i], needle[i], caseSensitive)) return false;
  }
  return true;
}

size_t TotalSize(std::initializer_list<TextPiece> pieces) {
  size_t n = 0;
  for (const TextPiece& p : pieces) n += p.View().size();
  return n;
}

}  // namespace

bool IsTextWhitespace(char16_t unit) {
  return unit == 9 || unit == 10 || unit == 13 || unit == 32;
}

WideText Concat(std::initializer_list<TextPiece> pieces) {
  WideText t;
  t.AssignConcat(pieces);
  return t;
}

uint32_t WideText::Length() const {
  if (lengthUnknown_) {
    size_t end = text_.find(u'\0');
    if (end != std::u16string::npos) text_.resize(end);
    lengthUnknown_ = false;
  }
  return static_cast<uint32_t>(text_.size());
}

char16_t* WideText::Reserve(uint32_t n, const char16_t* initial, bool zeroFill) {
  std::u16string fresh;
  fresh.resize(n);  // resize always zero-fills; zeroFill only matters to callers that rely on it
  (void)zeroFill;
  if (initial) {
    std::u16string_view init(initial);
    std::copy_n(init.begin(), std::min<size_t>(n, init.size()), fresh.begin());
  }
  text_ = std::move(fresh);
  lengthUnknown_ = true;
  return text_.data();
}

char16_t WideText::At(uint32_t position) const {
  if (position < 1 || position > Length()) return 0;
  return text_[position - 1];
}

void WideText::AssignConcat(std::initializer_list<TextPiece> pieces) {
  // Joined into a fresh buffer first: the old content may be one of the pieces.
  std::u16string joined;
  joined.reserve(TotalSize(pieces));
  for (const TextPiece& p : pieces) joined.append(p.View());
  Adopt(std::move(joined));
}

void WideText::Append(std::initializer_list<TextPiece> pieces) {
  Length();
  std::u16string joined;
  joined.reserve(text_.size() + TotalSize(pieces));
  joined = text_;
  for (const TextPiece& p : pieces) joined.append(p.View());
  Adopt(std::move(joined));
}

void WideText::Prepend(std::initializer_list<TextPiece> pieces) {
  Length();
  std::u16string joined;
  joined.reserve(text_.size() + TotalSize(pieces));
  for (const TextPiece& p : pieces) joined.append(p.View());
  joined.append(text_);
  Adopt(std::move(joined));
}

int WideText::Find(std::u16string_view needle, bool caseSensitive, int occurrence, int start,
                   int end) const {
  const int len = static_cast<int>(Length());
  const int nlen = static_cast<int>(needle.size());
  if (nlen == 0 || len == 0 || nlen > len) return 0;
  if (start < 1) start = 1;
  if (start > len - nlen + 1) return 0;
  // The window [start, last] in which the whole match must lie.
  int last = len;
  if (end > 0 && static_cast<int64_t>(start) - 1 + end <= len) last = start - 1 + end;
  if (last - start + 1 < nlen) return 0;
  const int lastStart = last - nlen + 1;
  std::u16string_view text(text_);
  if (occurrence == 0) occurrence = 1;
  if (occurrence > 0) {
    for (int pos = start; pos <= lastStart; ++pos) {
      if (MatchesAt(text, pos - 1, needle, caseSensitive) && --occurrence == 0) return pos;
    }
  } else {
    for (int pos = lastStart; pos >= start; --pos) {
      if (MatchesAt(text, pos - 1, needle, caseSensitive) && ++occurrence == 0) return pos;
    }
  }
  return 0;
}

int WideText::Replace(std::u16string_view needle, std::u16string_view replacement, int occurrence,
                      bool caseSensitive) {
  if (needle.empty() || Empty()) return 0;
  if (occurrence >= 1) {
    int pos = Find(needle, caseSensitive, occurrence);
    if (pos == 0) return 0;
    text_.replace(pos - 1, needle.size(), replacement);
    return 1;
  }
  std::u16string out;
  std::u16string_view text(text_);
  int count = 0;
  size_t i = 0;
  while (i < text.size()) {
    if (i + needle.size() <= text.size() && MatchesAt(text, i, needle, caseSensitive)) {
      out.append(replacement);
      i += needle.size();
      ++count;
    } else {
      out.push_back(text[i++]);
    }
  }
  if (count) Adopt(std::move(out));
  return count;
}

void WideText::Left(int n) {
  if (n >= 0 && static_cast<uint32_t>(n) <= Length()) text_.resize(n);
}

void WideText::Right(int n) {
  if (n >= 0 && static_cast<uint32_t>(n) <= Length()) text_.erase(0, text_.size() - n);
}

void WideText::DropLeft(int n) {
  text_.erase(0, std::clamp<int64_t>(n, 0, Length()));
}

void WideText::DropRight(int n) {
  const uint32_t length = Length();
  text_.resize(length - std::clamp<int64_t>(n, 0, length));
}

void WideText::Mid(std::u16string_view source, int start, int count) {
  // The source may be this text's own content.
  size_t terminator = source.find(u'\0');
  if (terminator != std::u16string_view::npos) source = source.substr(0, terminator);
  if (start < 1) start = 1;
  std::u16string piece;
  if (static_cast<size_t>(start) <= source.size()) {
    piece.assign(source.substr(start - 1, count < 1 ? std::u16string_view::npos : count));
  }
  Adopt(std::move(piece));
}

void WideText::Trim() {
  Length();
  size_t first = 0;
  size_t last = text_.size();
  while (first < last && IsTextWhitespace(text_[first])) ++first;
  while (last > first && IsTextWhitespace(text_[last - 1])) --last;
  text_ = text_.substr(first, last - first);
}

void WideText::StripTrailingBackslashes() {
  Length();
  while (!text_.empty() && text_.back() == u'\\') text_.pop_back();
}

void WideText::AddLongPathPrefix() {
  if (Length() >= 2 && !(text_[0] == u'\\' && text_[1] == u'\\') && text_[1] == u':') {
    text_.insert(0, u"\\\\?\\");
  } else if (Length() >= 3 && text_[0] == u'\\' && text_[1] == u'\\' && text_[2] != u'?' && text_[2] != u'.' &&
             text_[2] != u'\\') {
    // \\server\share\... becomes \\?\UNC\server\share\...
    text_.replace(0, 2, u"\\\\?\\UNC\\");
  }
}

void WideText::ParentPath(bool keepSlash) {
  StripTrailingBackslashes();
  int slash = Find(u"\\", true, -1);
  if (slash >= 3) {
    text_.resize(keepSlash ? slash : slash - 1);
  } else if (keepSlash) {
    text_.push_back(u'\\');
  }
}

WideText WideText::Extension() const {
  int dot = Find(u".", true, -1);
  int slash = Find(u"\\", true, -1);
  if (dot == 0 || dot < slash || static_cast<uint32_t>(dot) == Length()) return WideText();
  return WideText(std::u16string_view(text_).substr(dot - 1));
}

bool WideText::EqualsNoCase(const char16_t* a, const char16_t* b) {
  if (a == b) return true;
  if (!a || !b) return false;
  return EqualsNoCase(std::u16string_view(a), std::u16string_view(b));
}

bool WideText::EqualsNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (!UnitsEqual(a[i], b[i], false)) return false;
  }
  return true;
}

int WideText::Compare(const char16_t* a, const char16_t* b, bool caseSensitive) {
  if (a == b) return 0;
  if (!a) return -1;
  if (!b) return 1;
  return Compare(std::u16string_view(a), std::u16string_view(b), caseSensitive);
}

int WideText::Compare(std::u16string_view a, std::u16string_view b, bool caseSensitive) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    char16_t x = caseSensitive ? a[i] : LowerUnit(a[i]);
    char16_t y = caseSensitive ? b[i] : LowerUnit(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::string WideText::ToUtf8() const {
  std::string out;
  std::u16string_view s = View();
  for (size_t i = 0; i < s.size(); ++i) {
    uint32_t c = s[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;  // a lone surrogate has no UTF-8 form: what a reader sees is the replacement
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

}  // namespace pyr
