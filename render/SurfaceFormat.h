// The OpenGL surface every view asks for: the fixed-function pipeline (a compatibility context;
// a core profile draws nothing of it) and a 24-bit depth buffer. Set before the application
// object exists.
#pragma once

void UseViewSurfaceFormat();
