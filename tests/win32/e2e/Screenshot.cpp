#include "Screenshot.h"

#include <cstdio>
#include <vector>

namespace {

// A window not drawn yet shows solid black where its controls will be; drawn, black is only
// the thin ink of its texts.
bool HasBlackBlock(const std::vector<char>& pixels, DWORD row, LONG width, LONG height) {
    constexpr LONG kBlock = 6;
    auto black = [&](LONG x, LONG y) {
        const char* pixel = pixels.data() + static_cast<std::size_t>(y) * row + 3 * x;
        return pixel[0] == 0 && pixel[1] == 0 && pixel[2] == 0;
    };
    for (LONG y = 0; y + kBlock <= height; ++y) {
        for (LONG x = 0; x + kBlock <= width; ++x) {
            bool solid = true;
            for (LONG dy = 0; dy < kBlock && solid; ++dy) {
                for (LONG dx = 0; dx < kBlock && solid; ++dx) solid = black(x + dx, y + dy);
            }
            if (solid) return true;
        }
    }
    return false;
}

}  // namespace

bool SaveScreenshot(HWND window, const std::string& path) {
    RECT box{};
    if (!GetWindowRect(window, &box)) return false;
    const LONG width = box.right - box.left;
    const LONG height = box.bottom - box.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, box.left, box.top, SRCCOPY);
    SelectObject(memory, previous);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD row = static_cast<DWORD>((width * 3 + 3) & ~3);
    std::vector<char> pixels(static_cast<std::size_t>(row) * static_cast<std::size_t>(height));
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (HasBlackBlock(pixels, row, width, height)) return false;

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* output = std::fopen(path.c_str(), "wb");
    if (output == nullptr) return false;
    const bool written = std::fwrite(&file, sizeof file, 1, output) == 1 &&
                         std::fwrite(&header, sizeof header, 1, output) == 1 &&
                         std::fwrite(pixels.data(), 1, pixels.size(), output) == pixels.size();
    return std::fclose(output) == 0 && written;
}
