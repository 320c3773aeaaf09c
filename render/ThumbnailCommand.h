// `zemvora --thumbnail SIZE IN OUT.png`: the preview a file manager shows of a .3ds or .zmv
// file, drawn without any display. A file manager runs it on whatever lies in a folder, so a
// file that is not a readable scene gives exit status 1, a message and no picture.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// args are the words after --thumbnail. Returns the exit status.
int RunThumbnailCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
