// The download engine's arithmetic and text rules: chunk sizes, percent, memory capacity, the
// Referer header and the decoding of fetched pages.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/wide_text.h"

namespace pyr {

// The size a transfer of unknown length starts from; it follows the bytes once they pass it.
inline constexpr uint64_t kUnknownSizePlaceholder = 1048576;
// Memory transfers never hold more than this.
inline constexpr uint64_t kMemoryTransferCap = 41943040;
inline constexpr uint64_t kSmallMemoryCapacity = 65535;

struct ChunkPlan {
  uint32_t chunk;
  uint64_t total;  // the total to count against: the placeholder when the size is unknown
};
// Small downloads need few reads; large ones do not hold large buffers.
ChunkPlan PlanChunks(uint64_t totalSize);

struct MemoryPlan {
  uint64_t capacity;
  uint64_t total;
  uint32_t chunk;
};
MemoryPlan PlanMemoryTransfer(uint64_t knownSize, uint64_t totalSize, uint32_t chunk);

// No server sends more than this in one answer; a larger size is a lie, taken as unknown.
inline constexpr uint64_t kLargestCredibleSize = uint64_t{1} << 40;
// A size a server announces: digits only, at most kLargestCredibleSize; anything else (a sign,
// blanks, a fraction, a wrapped 64-bit value) is 0, unknown.
uint64_t ParseContentLength(std::u16string_view text);
// The size as it is when credible, else 0.
uint64_t CredibleSize(uint64_t size);

// (received * 1000 + 4) / (total * 10) in integer arithmetic, without overflow for any values,
// at most 100; 0 for a total of 0.
uint32_t DownloadPercent(uint64_t received, uint64_t total);

// "Referer: <referer>\r\n\r\n", or empty for a referer too short to be an address.
std::u16string RefererHeaders(std::u16string_view referer);

// Whether the URL begins with the scheme (case ignored).
bool UrlHasPrefix(std::u16string_view url, std::u16string_view prefix);

// A page's bytes as text: a byte-order mark picks UTF-16 LE, UTF-16 BE or UTF-8; without one,
// looksLikeUtf16 (asked about the first 20 bytes at most) picks UTF-16 LE or UTF-8.
WideText DecodePageBytes(const uint8_t* bytes, size_t count,
                         const std::function<bool(const uint8_t*, uint32_t)>& looksLikeUtf16);

}  // namespace pyr
