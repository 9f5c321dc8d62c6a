#include <windows.h>

#include <cstring>

#include "base/wide_text.h"

namespace pyr {

namespace {

WideText FromCodePage(UINT codePage, const char* bytes, size_t count) {
  if (!bytes || count == 0) return WideText();
  int n = MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(count), nullptr, 0);
  if (n <= 0) return WideText();
  WideText out;
  char16_t* buffer = out.Reserve(static_cast<uint32_t>(n));
  MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(count), reinterpret_cast<wchar_t*>(buffer), n);
  return out;
}

}  // namespace

WideText WideText::FromAnsi(const char* bytes) {
  return FromCodePage(CP_ACP, bytes, bytes ? std::strlen(bytes) : 0);
}

WideText WideText::FromUtf8(const char* bytes, size_t count) {
  if (bytes && count == 0) count = std::strlen(bytes);
  return FromCodePage(CP_UTF8, bytes, count);
}

}  // namespace pyr
