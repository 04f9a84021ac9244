#include "library_setup.h"

// The DigitalPersona bridge keeps its process-wide resources until the process
// ends. Its capture window comes with its own window procedure.
const BridgeTraits kBridgeTraits = {false, nullptr};
