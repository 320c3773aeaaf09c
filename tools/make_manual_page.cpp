// Writes the manual page, zemvora.1, from the command line's table: the build runs it.
#include <fstream>
#include <iostream>

#include "cli/ManualPage.h"
#include "commands/BuildInfo.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_manual_page OUT\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << ManualPage(buildinfo::kVersion);
    return out.flush() ? 0 : 1;
}
