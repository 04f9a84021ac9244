#include "finger_window_win32.h"

#include <memory>

#include "unique_handles_win32.h"

namespace nbiosim {
namespace {

// An 8-bit bitmap header followed by its 256-entry grey colour table, laid
// out as StretchDIBits expects a BITMAPINFO with a full palette.
struct GreyBitmapInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

std::unique_ptr<GreyBitmapInfo> DescribeGrey(const simsdk::GreyImage& image) {
    auto info = std::make_unique<GreyBitmapInfo>();
    info->header = BITMAPINFOHEADER{};
    info->header.biSize = sizeof(BITMAPINFOHEADER);
    info->header.biWidth = image.width;
    info->header.biHeight = -image.height;  // rows top to bottom, as the image holds them
    info->header.biPlanes = 1;
    info->header.biBitCount = 8;
    info->header.biCompression = BI_RGB;
    info->header.biSizeImage = static_cast<DWORD>(image.pixels.size());
    info->header.biClrUsed = 256;
    for (int i = 0; i < 256; ++i) {
        const BYTE level = static_cast<BYTE>(i);
        info->colours[i] = RGBQUAD{level, level, level, 0};
    }
    return info;
}

}  // namespace

bool CanShowPicture(HWND window) {
    return window != nullptr && IsWindow(window);
}

void ShowPicture(HWND window, const simsdk::GreyImage& image) {
    if (!CanShowPicture(window) || image.pixels.empty()) return;
    RECT client{};
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) return;
    const win32::WindowDc dc(window);
    if (dc.get() == nullptr) return;
    const auto info = DescribeGrey(image);
    SetStretchBltMode(dc.get(), COLORONCOLOR);
    StretchDIBits(dc.get(), 0, 0, client.right, client.bottom, 0, 0, image.width, image.height, image.pixels.data(),
                  reinterpret_cast<const BITMAPINFO*>(info.get()), DIB_RGB_COLORS, SRCCOPY);
}

}  // namespace nbiosim
