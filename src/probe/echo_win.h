// The Windows echo service (IcmpSendEcho), with a choice of reply buffer
// size for tests.
#pragma once

#include <cstddef>
#include <memory>

#include "platform.h"

namespace tolvane::probe {

// Handles whose reply buffer holds `replyBufferSize` bytes. One smaller
// than win::MinimumReplyBuffer of the request is refused with status 11001
// and nothing is sent. The system service uses win::PackedReplySize().
std::unique_ptr<IcmpService> MakeWindowsIcmpService(std::size_t replyBufferSize);

}  // namespace tolvane::probe
