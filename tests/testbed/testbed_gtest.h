// For GoogleTest: skip a test when the network test bed isn't there, or fail
// it under CI=true, where the bed must be up.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "testbed/testbed.h"

#define TOLVANE_REQUIRE_TESTBED()                                                  \
  do {                                                                             \
    std::string tolvane_testbed_why_;                                              \
    if (!::tolvane::testbed::Available(&tolvane_testbed_why_)) {                   \
      if (::tolvane::testbed::Required()) {                                        \
        FAIL() << "test bed required under CI=true: " << tolvane_testbed_why_;     \
      }                                                                            \
      GTEST_SKIP() << "no test bed: " << tolvane_testbed_why_;                     \
    }                                                                              \
  } while (0)
