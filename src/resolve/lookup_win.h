// The Windows lookup's own decisions, for its tests.
#pragma once

#include <cstdint>

namespace tolvane::resolve {

// Whether a name gethostbyname found no IPv4 address for, failing with
// `error` (WSAGetLastError) after `waitedMs`, is asked for its IPv6 ones.
// Not when no name server answered (WSATRY_AGAIN) and that took a wait:
// the second question would wait as long again. A refusal that came at
// once, or any answer, is asked again.
bool AsksForIPv6After(int error, std::uint64_t waitedMs);

}  // namespace tolvane::resolve
