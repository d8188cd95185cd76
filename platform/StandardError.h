#pragma once

#include <string_view>

// Writes UTF-8 text, such as a message that names a file, to the process's standard error so that it
// reads right where it ends up: on Windows a console is given the text as UTF-16, since it would
// read bytes in its own code page; a file or a pipe gets the UTF-8 bytes, as everywhere else.
void WriteStandardError(std::string_view text);
