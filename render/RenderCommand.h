// `zemvora --render FILE --output OUT.png ...`: one frame of FILE drawn without any display.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// args are the words after --render. Returns the exit status.
int RunRenderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
