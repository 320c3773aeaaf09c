// `zemvora --check FILE`: reads FILE as the import does and prints a line, with its file offset,
// for everything the reader passed over or repaired, then one summary line.
#pragma once

#include <iosfwd>
#include <string>

#include "import3ds/ImportFindings.h"

// The report line of one note, without the line break; skipped chunks are counted by id
// instead (see RunImportCheck).
std::string ImportNoteLine(const ImportNote& note);

// Writes the report to out, a file that could not be read to err. Returns the exit status: 0
// when the file was read, 1 when it could not be.
int RunImportCheck(const std::string& path, std::ostream& out, std::ostream& err);
