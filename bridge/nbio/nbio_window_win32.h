// The NITGEN bridge's capture window procedure.
#pragma once

#include <windows.h>


// "Cancelar" clears the pump flag and closes the frame, and so does a close
// from outside the run (Alt+F4, a logoff, the frame destroyed); static
// controls get the white brush; painting redraws the logo. The reader draws its
// live image into the image pane by itself.
LRESULT CALLBACK NbioCaptureWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
