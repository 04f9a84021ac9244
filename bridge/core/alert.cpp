#include "alert.h"

namespace {
AlertSink g_sink = nullptr;
}

void Alert(const char* text) {
    if (g_sink) {
        g_sink(text);
    } else {
        PlatformAlert(text);
    }
}

AlertSink SetAlertSink(AlertSink sink) {
    AlertSink previous = g_sink;
    g_sink = sink;
    return previous;
}
