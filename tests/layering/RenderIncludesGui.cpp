// Must not compile: the drawing layer cannot see the window above it.
#include "MainFrame.h"
