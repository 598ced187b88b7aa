// Any text: no crash, and a non-zero address only from four dot-separated parts.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "probe/probe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::int32_t address = tolvane::probe::DottedToAddress(text);
  if (address != 0 && std::count(text.begin(), text.end(), '.') != 3) std::abort();
  return 0;
}
