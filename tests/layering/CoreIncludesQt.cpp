// Must not compile: the core has no toolkit.
#include <QString>
