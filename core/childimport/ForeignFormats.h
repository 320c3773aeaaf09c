// The file formats imported through the Open Asset Import Library in a child process: every
// extension the library reads except ".3ds", which our own reader imports.
#pragma once

#include <string>
#include <vector>

#include <utility>

// The extensions, lower case with their dot (".obj", ".mesh.xml"), in alphabetical order.
const std::vector<std::string>& ForeignExtensions();

// Whether a path ends in one of ForeignExtensions(), in any case.
bool IsForeignFileName(const std::string& path);

// Whether a path is imported rather than opened: a 3D Studio file or a foreign one.
bool IsImportedFileName(const std::string& path);

// The filters of the import dialog: all models, 3D Studio, one per common format, all files.
std::vector<std::pair<std::string, std::string>> ImportDialogFilters();
