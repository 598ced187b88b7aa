// What each platform provides for testbed.cpp.
#pragma once

#include <string>

namespace tolvane::testbed::detail {

// One command to the responder's control channel: its answer, or "" with
// the reason in *error.
std::string Ask(const std::string& command, std::string* error);

// Why the bed can't be used from here, or "" when it can.
std::string Check();

// The name and type of the one question in a name server query; false when
// it holds none.
bool ReadQuestion(const unsigned char* query, long size, std::string* name, int* type);

}  // namespace tolvane::testbed::detail
