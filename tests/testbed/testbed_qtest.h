// For Qt Test: skip a test function when the network test bed isn't there,
// or fail it under CI=true, where the bed must be up.
#pragma once

#include <QtTest/QtTest>

#include <string>

#include "testbed/testbed.h"

#define TOLVANE_QREQUIRE_TESTBED()                                                         \
  do {                                                                                     \
    std::string tolvane_testbed_why_;                                                      \
    if (!::tolvane::testbed::Available(&tolvane_testbed_why_)) {                           \
      if (::tolvane::testbed::Required()) {                                                \
        QFAIL(("test bed required under CI=true: " + tolvane_testbed_why_).c_str());       \
      }                                                                                    \
      QSKIP(("no test bed: " + tolvane_testbed_why_).c_str());                             \
    }                                                                                      \
  } while (0)
