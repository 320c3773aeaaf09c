// Must not compile: the core cannot see the window.
#include "MainFrame.h"
