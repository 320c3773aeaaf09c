// The export child's side: `zemvora --export-child OUT IMAGEBASE` reads a scene file's bytes on
// its standard input, converts the scene for the Open Asset Import Library and has its exporter
// write OUT in the format OUT's extension names, with the texture images the format keeps beside
// it (found beside IMAGEBASE). It answers (see childimport/ChildAnswer.h) Written with what the
// format left out, or Refused with the reason.
#pragma once

#include <string>

int RunExportChild(const std::string& outPath, const std::string& imageBase);
