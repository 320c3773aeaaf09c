// Writing a file in place: the same file, truncated and written, so that a program that opened
// it before the write (a thumbnail service reading through the handle of the file it made) sees
// the new contents. The contents are ready in memory before the file is touched; a write that
// fails leaves the file empty, or removes it when this write made it.
#pragma once

#include <cstddef>
#include <string>

// False with errorCode set to an errno value, or InputStream::kNotRegularFile when the path names
// no plain file (a pipe or a device is left alone).
bool WriteFileInPlace(const std::string& path, const void* data, size_t size, int& errorCode);
