// The program needs one privilege, and only where ping sockets are not
// allowed: raw ICMP sockets (CAP_NET_RAW on Linux). It keeps that one and
// gives up every other it was started with.
#pragma once

namespace tolvane::probe {

void KeepOnlyIcmpPrivilege();

}  // namespace tolvane::probe
