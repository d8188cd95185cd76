#pragma once

#include <gtest/gtest.h>

#include <ostream>

namespace testkit {

// The base of a table-driven test case: its name names the test and stands for the case in
// GoogleTest's messages.
struct NamedCase {
  const char* name;

  friend std::ostream& operator<<(std::ostream& out, const NamedCase& c) { return out << c.name; }
};

// Names each case of a parameterised suite after its `name`, which is what the case prints as.
using CaseName = testing::PrintToStringParamName;

}  // namespace testkit
