// Warning boxes. Every "Alert" box of the bridges goes through Alert(), so that
// no test and no headless run can hang on a modal box that nobody will close.
#pragma once

using AlertSink = void (*)(const char* text);

// Shows `text` as a modal warning box captioned "Alert" (one OK button, no owner)
// or hands it to the installed sink.
void Alert(const char* text);

// Installs a sink for every later alert (nullptr restores the platform default)
// and returns the previous one.
AlertSink SetAlertSink(AlertSink sink);

// The platform default: a modal box on Windows, unless the environment variable
// FPBRIDGE_HEADLESS is set to a non-empty value, in which case (and on other
// platforms) the text goes to standard error as "Alert: <text>".
void PlatformAlert(const char* text);
