#include "base/regex_replace.h"

#include <pcre2.h>

#include <memory>
#include <string>

namespace pyr {

namespace {

// Output beyond this many units is runaway growth (a replacement that multiplies the text);
// such a call gives up and leaves the text unchanged instead of exhausting memory.
constexpr size_t kMaxOutputUnits = size_t{1} << 25;
// Bounds backtracking, so that a pathological pattern cannot hang the caller.
constexpr uint32_t kMatchLimit = 10'000'000;

struct CodeDeleter {
  void operator()(pcre2_code* p) const { pcre2_code_free(p); }
};
struct MatchDataDeleter {
  void operator()(pcre2_match_data* p) const { pcre2_match_data_free(p); }
};
struct MatchContextDeleter {
  void operator()(pcre2_match_context* p) const { pcre2_match_context_free(p); }
};

PCRE2_SPTR Units(std::u16string_view s) { return reinterpret_cast<PCRE2_SPTR>(s.data()); }

}  // namespace

int RegexReplaceAll(WideText& text, std::u16string_view pattern, std::u16string_view replacement) {
  if (text.Empty()) return 0;
  int errorCode = 0;
  PCRE2_SIZE errorOffset = 0;
  std::unique_ptr<pcre2_code, CodeDeleter> code(pcre2_compile(
      Units(pattern), pattern.size(), PCRE2_CASELESS, &errorCode, &errorOffset, nullptr));
  if (!code) return 0;
  std::unique_ptr<pcre2_match_data, MatchDataDeleter> match(
      pcre2_match_data_create_from_pattern(code.get(), nullptr));
  std::unique_ptr<pcre2_match_context, MatchContextDeleter> context(pcre2_match_context_create(nullptr));
  if (!match || !context) return 0;
  pcre2_set_match_limit(context.get(), kMatchLimit);

  const std::u16string_view subject = text.View();
  std::u16string output;
  for (size_t multiplier = 2;; multiplier *= 2) {
    const size_t capacity = multiplier * subject.size() + 2;
    if (capacity > kMaxOutputUnits) return 0;
    output.assign(capacity, u'\0');
    PCRE2_SIZE outLength = capacity;
    int rc = pcre2_substitute(code.get(), Units(subject), subject.size(), 0, PCRE2_SUBSTITUTE_GLOBAL,
                              match.get(), context.get(), Units(replacement), replacement.size(),
                              reinterpret_cast<PCRE2_UCHAR*>(output.data()), &outLength);
    if (rc == PCRE2_ERROR_NOMEMORY) continue;
    if (rc <= 0) return 0;
    output.resize(outLength);
    text.Adopt(std::move(output));
    return rc;
  }
}

}  // namespace pyr
