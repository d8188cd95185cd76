#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace frontend_test {

// Writes the game's "EXE Path" value into one view of the registry (KEY_WOW64_32KEY, where the
// game's installer writes it, or KEY_WOW64_64KEY): the UTF-16 form of the UTF-8 text, zeros in it
// included, as a value of the given type.
void SetExePath(REGSAM view, DWORD type, const std::string& text);
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
