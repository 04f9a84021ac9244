#include "system_text.h"

// The system's texts are UTF-8 already.
std::string systemTextToUtf8(const std::string& text) { return text; }
