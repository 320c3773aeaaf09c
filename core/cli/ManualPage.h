// The manual page, zemvora.1, written at build time from the command line's own table, so that
// the options it lists are those the program takes.
#pragma once

#include <string>

// The page in the man macros (roff), for version.
std::string ManualPage(const std::string& version);

// Text made safe for roff: backslashes and hyphens escaped, a line that would start with a
// control character guarded.
std::string RoffText(const std::string& text);
