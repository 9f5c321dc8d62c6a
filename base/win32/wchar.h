// The one place where char16_t meets wchar_t: both are 16-bit UTF-16 units on Windows.
#pragma once

#include "base/wide_text.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wchar_t is a UTF-16 unit");

namespace pyr {

inline const wchar_t* W(const WideText& t) { return reinterpret_cast<const wchar_t*>(t.Buffer()); }
inline const wchar_t* W(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }
inline wchar_t* W(char16_t* s) { return reinterpret_cast<wchar_t*>(s); }
inline const char16_t* U(const wchar_t* s) { return reinterpret_cast<const char16_t*>(s); }
inline char16_t* U(wchar_t* s) { return reinterpret_cast<char16_t*>(s); }

}  // namespace pyr
