#include "web/download_rules.h"

namespace pyr {

ChunkPlan PlanChunks(uint64_t totalSize) {
  if (totalSize == 0) return {100000, kUnknownSizePlaceholder};
  if (totalSize >= 10000000) return {200000, totalSize};
  if (totalSize >= 500000) return {100000, totalSize};
  if (totalSize >= 100000) return {static_cast<uint32_t>(totalSize / 5), totalSize};
  return {20000, totalSize};
}

MemoryPlan PlanMemoryTransfer(uint64_t knownSize, uint64_t totalSize, uint32_t chunk) {
  MemoryPlan plan{};
  if (knownSize != 0) {
    plan.capacity = knownSize;
  } else if (totalSize < kSmallMemoryCapacity) {
    plan.capacity = kSmallMemoryCapacity;
  } else {
    plan.capacity = totalSize < kMemoryTransferCap ? totalSize : kMemoryTransferCap;
  }
  plan.total = plan.capacity;
  plan.chunk = plan.capacity < chunk ? static_cast<uint32_t>(plan.capacity) : chunk;
  return plan;
}

uint64_t ParseContentLength(std::u16string_view text) {
  // More digits than the largest credible size has cannot be credible (and cannot wrap).
  if (text.empty() || text.size() > 13) return 0;
  uint64_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return 0;
    value = value * 10 + static_cast<uint64_t>(c - u'0');
  }
  return CredibleSize(value);
}

uint64_t CredibleSize(uint64_t size) { return size <= kLargestCredibleSize ? size : 0; }

uint32_t DownloadPercent(uint64_t received, uint64_t total) {
  if (total == 0) return 0;
  if (received >= total) return 100;
  // Both scaled down together until the products fit; past 2^54 bytes a part in 2^10 is lost.
  while (received > (UINT64_MAX - 4) / 1000 || total > UINT64_MAX / 10) {
    received >>= 10;
    total >>= 10;
  }
  if (total == 0) return 0;
  const uint64_t percent = (received * 1000 + 4) / (total * 10);
  return static_cast<uint32_t>(percent < 100 ? percent : 100);
}

std::u16string RefererHeaders(std::u16string_view referer) {
  std::u16string headers = u"Referer: ";
  headers += referer;
  headers += u"\r\n\r\n";
  // Shorter than 20 units: a referer of fewer than 7 characters is no address worth sending.
  if (headers.size() < 20) headers.clear();
  return headers;
}

bool UrlHasPrefix(std::u16string_view url, std::u16string_view prefix) {
  return url.size() >= prefix.size() && WideText::EqualsNoCase(url.substr(0, prefix.size()), prefix);
}

WideText DecodePageBytes(const uint8_t* bytes, size_t count,
                         const std::function<bool(const uint8_t*, uint32_t)>& looksLikeUtf16) {
  auto utf16 = [&](size_t skip, bool bigEndian) {
    std::u16string text;
    text.reserve((count - skip) / 2);
    for (size_t i = skip; i + 1 < count; i += 2) {
      const char16_t lo = bytes[i], hi = bytes[i + 1];
      text.push_back(bigEndian ? static_cast<char16_t>(lo << 8 | hi) : static_cast<char16_t>(hi << 8 | lo));
    }
    // The page may end in zero units (a memory transfer's terminator); the text stops there.
    const size_t end = text.find(u'\0');
    if (end != std::u16string::npos) text.resize(end);
    return WideText(std::move(text));
  };
  if (count >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return utf16(2, false);
  if (count >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) return utf16(2, true);
  size_t skip = 0;
  if (count >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    skip = 3;
  } else if (looksLikeUtf16(bytes, static_cast<uint32_t>(count < 20 ? count : 20))) {
    return utf16(0, false);
  }
  const std::string utf8(reinterpret_cast<const char*>(bytes) + skip, count - skip);
  return WideText::FromUtf8(utf8.c_str(), utf8.size());
}

}  // namespace pyr
