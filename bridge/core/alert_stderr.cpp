#include <cstdio>

#include "alert.h"

void PlatformAlert(const char* text) { std::fprintf(stderr, "Alert: %s\n", text ? text : ""); }
