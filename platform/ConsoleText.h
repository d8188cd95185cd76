#pragma once

#include <cstdio>
#include <ostream>
#include <string>
#include <string_view>

namespace platform {

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

// Whether the process's stream goes to a terminal (on Windows, a console).
bool IsTerminal(ConsoleStream stream);
// Whether `stream` is ConsoleTextStream's standard output or standard error and that goes to a
// terminal (on Windows, a console), where a line may be rewritten in place.
bool ShowsOnTerminal(const std::ostream& stream);

// A name as a terminal or a text listing may show it: every control character, C0, DEL or C1
// (U+0080 to U+009F), and every byte that is no part of valid UTF-8 is written as `ls` escapes it,
// \a \b \t \n \v \f \r by letter and any other byte as a backslash and three octal digits (ESC is
// \033, U+009B is \302\233, a Latin-1 é is \351); every bidirectional control and invisible format
// character (utf8::IsDisguising) is written as \u and four hex digits (U+202E is \u202e). Nothing in
// it can move the cursor, clear the screen, begin a line of its own or make the text around it read
// as other text; the rest stays as it is.
std::string EscapeControls(std::string_view text);
// Bytes that are no text: every control character and every byte beyond ASCII escaped as above.
std::string EscapeNonAscii(std::string_view bytes);

}  // namespace platform
