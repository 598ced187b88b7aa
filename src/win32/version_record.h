// The program's title, version and comments, read at run time from the
// version record of an executable (its own, by default).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace tolvane::ui::about {

struct VersionRecord {
  std::string title;  // the product name
  int major = 0;
  int minor = 0;
  int revision = 0;
  std::string comments;
};

// Nothing when the file has no version record. Strings come from the
// record's first translation.
std::optional<VersionRecord> ReadVersionRecord(HMODULE module = nullptr);

}  // namespace tolvane::ui::about
