#pragma once

#include <cstdio>
#include <ostream>
#include <string_view>

// Text for the user on standard output or standard error, such as a listing or a message that
// names a file. It is UTF-8 inside the program and is written so that it reads right where it ends
// up: on Windows a console is given it as UTF-16, since it would read bytes in its own code page; a
// file or a pipe gets the UTF-8 bytes, as everywhere else.
enum class ConsoleStream { kOutput, kError };

// Writes the text at once, in one piece.
void WriteConsoleText(ConsoleStream stream, std::string_view text);

// A stream that writes each piece it is given at once, in one piece: progress shows as it happens,
// and no character is cut in two between writes.
std::ostream& ConsoleTextStream(ConsoleStream stream);
