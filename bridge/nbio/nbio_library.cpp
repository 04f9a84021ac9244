#include "capture_window.h"
#include "library_setup.h"

// The NITGEN bridge releases its process-wide resources when it is unloaded.
const BridgeTraits kBridgeTraits = {true, NbioCaptureWindowProc};
