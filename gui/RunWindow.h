// Opening the program's window, or saying plainly that there is no display to open it on.
#pragma once

#include <string>

#include "cli/CommandLine.h"

// The request's file and frame log may be empty. Returns the exit status.
int RunWindow(int argc, char** argv, const WindowRequest& request);
