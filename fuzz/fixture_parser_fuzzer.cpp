// Arbitrary bytes as a fixture file: the sandbox reads files a user gives it with --pc.
// A parse either succeeds with a PC that keeps the format's promises or fails with a message.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unordered_set>

#include "sandbox/simulated_pc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  pyr::SimulatedPc pc;
  std::string error;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (!pyr::ParseSimulatedPc(text, &pc, &error)) {
    if (error.empty()) std::abort();
    return 0;
  }
  if (!error.empty()) std::abort();
  std::unordered_set<std::u16string> ids;
  for (const pyr::SimulatedDevice& d : pc.devices) {
    if (d.instanceId.Empty()) std::abort();
    std::u16string folded(d.instanceId.View());
    for (char16_t& c : folded) c = pyr::LowerUnit(c);
    if (!ids.insert(folded).second) std::abort();
    // A device given by class name carries that class's GUID.
    if (!d.className.Empty() && (!d.classGuid || !pc.ClassByGuid(*d.classGuid))) std::abort();
  }
  for (const pyr::SimulatedClass& c : pc.classes) {
    if (pc.ClassByGuid(c.guid) != &c) std::abort();  // no GUID listed twice
    if (c.image < 0) std::abort();
  }
  if (pc.unknownClassImage < 0) std::abort();
  return 0;
}
