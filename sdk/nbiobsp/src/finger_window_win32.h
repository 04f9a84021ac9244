// Showing the reader's live picture in the caller's finger window.
#pragma once

#include <windows.h>

#include "simsdk/fingerprint_image.h"

namespace nbiosim {

// True when `window` can take a picture at all; callers skip rendering otherwise.
bool CanShowPicture(HWND window);

// Stretches `image` over the client area of `window`. The window usually
// belongs to another thread that may be blocked waiting for us, so this
// sends it no message: it only borrows the window's display context for one
// frame. Does nothing when `window` is null or not a window.
void ShowPicture(HWND window, const simsdk::GreyImage& image);

}  // namespace nbiosim
