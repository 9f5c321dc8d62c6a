// What a server controls, through the download's rules: the Content-Length text (the input's
// first line, as UTF-8), two sizes for the percentage (its next 16 bytes) and a file to judge as a
// program (all of it). A run stops on a memory fault or when a result breaks the rules: a size
// beyond the credible limit, a percentage over 100, a program whose sections pass its end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/wide_text.h"
#include "web/download_rules.h"
#include "web/program_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string line = input.substr(0, input.find('\n'));
  const pyr::WideText length = pyr::WideText::FromUtf8(line.data(), line.size());
  if (pyr::ParseContentLength(length.View()) > pyr::kLargestCredibleSize) std::abort();
  if (size >= 16) {
    uint64_t received = 0, total = 0;
    std::memcpy(&received, data + size - 16, 8);
    std::memcpy(&total, data + size - 8, 8);
    if (pyr::DownloadPercent(received, total) > 100) std::abort();
  }
  // A whole program with at least one byte dropped must not pass when its last section ended it.
  const bool whole = pyr::IsCompleteProgramImage(data, size < pyr::kProgramHeadBytes ? size : pyr::kProgramHeadBytes, size);
  if (whole && size < 64) std::abort();
  return 0;
}
