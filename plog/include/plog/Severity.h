// Severity scale of the logging layer: smaller is more severe, as in plog.
#pragma once

namespace plog {

enum Severity { none = 0, fatal = 1, error = 2, warning = 3, info = 4, debug = 5, verbose = 6 };

// Fixed names written into each record; "NONE" only for out-of-range values.
const char* severityToString(Severity severity);

}  // namespace plog
