#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace frontend_test {

// Writes the game's "EXE Path" value, as the given bytes of the given type, into one view of the
// registry (KEY_WOW64_32KEY, where the game's installer writes it, or KEY_WOW64_64KEY).
void SetExePath(REGSAM view, DWORD type, const std::string& bytes);
// The value as the game's installer writes it: a string with its terminating zero.
void SetExePath(const std::string& path);
// Removes the value from both views.
void RemoveExePath();

// Tests of the program start without the game's value, unless they set it; it is removed after them.
class ProgramTest : public testing::Test {
 protected:
  void SetUp() override { RemoveExePath(); }
  void TearDown() override { RemoveExePath(); }
};

}  // namespace frontend_test
