#pragma once
// Helpers of the skin's Windows tests: pictures written to temporary .bmp files, and what a window
// shows on screen read back pixel by pixel.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ui/Bitmap.h"

namespace skintest {

// Writes b as a 32-bit bottom-up .bmp in the temporary folder and returns its path.
inline std::u16string WriteBmp(const ui::TBitmap& b, const std::wstring& name) {
  const std::filesystem::path path = std::filesystem::temp_directory_path() / name;
  const uint32_t bytes = static_cast<uint32_t>(b.Width()) * b.Height() * 4;
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  fh.bfSize = fh.bfOffBits + bytes;
  BITMAPINFOHEADER ih{};
  ih.biSize = sizeof(ih);
  ih.biWidth = b.Width();
  ih.biHeight = b.Height();
  ih.biPlanes = 1;
  ih.biBitCount = 32;
  ih.biCompression = BI_RGB;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&fh), sizeof(fh));
  out.write(reinterpret_cast<const char*>(&ih), sizeof(ih));
  for (int y = b.Height() - 1; y >= 0; --y)
    out.write(reinterpret_cast<const char*>(b.Scanline(y)),
              static_cast<std::streamsize>(b.Width()) * 4);
  const std::wstring w = path.wstring();
  return std::u16string(w.begin(), w.end());
}

// The colour (as a DIB pixel, blue low) shown at x, y of a top-level window, children included.
inline uint32_t ShownPixel(HWND topLevel, int x, int y) {
  HDC dc = GetDCEx(topLevel, nullptr, DCX_WINDOW | DCX_CACHE);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(topLevel, dc);
  return ui::TBitmap::ColorToDib(c);
}

inline void PumpMessages() {
  MSG m;
  for (int round = 0; round < 3; ++round) {
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
    Sleep(10);
  }
}

}  // namespace skintest
