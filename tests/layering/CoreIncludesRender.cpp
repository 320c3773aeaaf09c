// Must not compile: the core cannot see the drawing layer above it.
#include "OpenGlApi.h"
