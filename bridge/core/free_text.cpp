// FK_FreeText, on its own: a client of the library (a test among them) that
// links the core statically must not find a second definition beside the
// library's export.
#include <cstdlib>

#include "bio_status.h"

extern "C" void FK_FreeText(char* text) { std::free(text); }
