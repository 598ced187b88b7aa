// The Windows lookup's own decisions, for its tests.
#pragma once

#include <cstdint>
#include <string>

namespace tolvane::resolve {

// Whether a name gethostbyname found no IPv4 address for, failing with
// `error` (WSAGetLastError) after `waitedMs`, is asked for its IPv6 ones.
// Not when no name server answered (WSATRY_AGAIN) and that took a wait:
// the second question would wait as long again. A refusal that came at
// once, or any answer, is asked again.
bool AsksForIPv6After(int error, std::uint64_t waitedMs);

// `name` (UTF-8, up to its first NUL) as the socket library takes it: a
// name beyond ASCII in its ASCII-compatible form (IdnToAscii), any other
// text in the ANSI code page, as typed.
std::string LookupName(const std::string& name);

}  // namespace tolvane::resolve
