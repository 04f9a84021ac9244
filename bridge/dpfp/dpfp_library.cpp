#include "library_setup.h"

// The DigitalPersona bridge keeps its process-wide resources until the process ends.
const BridgeTraits kBridgeTraits = {"fpbridge_dpfp.dll", false};
