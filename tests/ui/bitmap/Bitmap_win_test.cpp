// The decoder against the platform, two ways: the file loaded with LoadImageW, and the file's
// own header and bits drawn by GDI with SetDIBitsToDevice; both read back with GetDIBits as
// 32-bit top-down pixels, which must match TBitmap pixel for pixel. Wine's loader draws top-down
// files as nothing and passes 16-bit bit fields through 5-5-5, so those are checked against GDI
// alone; run-length files only against the loader, whose zero-filled section decides what
// skipped pixels show.
// The framework's headers come before <windows.h>, whose RGB macro would rewrite ui::RGB.
#include "ui/Bitmap.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "base/UniqueHandle.h"
#include "tests/ui/bitmap/BmpWriter.h"

namespace {

using bmptest::BmpSpec;
using bmptest::kPalette16;
using bmptest::MakeBmp;

using UniqueBitmap = base::unique_handle<HGDIOBJ, decltype(&DeleteObject), DeleteObject>;

struct Picture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
};

Picture ReadBack(HBITMAP bmp) {
  BITMAP info{};
  if (!GetObjectW(bmp, sizeof info, &info)) return {};
  Picture p{info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight, {}};
  p.pixels.resize(static_cast<size_t>(p.width) * p.height);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = p.width;
  bi.bmiHeader.biHeight = -p.height;  // top-down, as TBitmap keeps them
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  HDC dc = GetDC(nullptr);
  const int rows = GetDIBits(dc, bmp, 0, p.height, p.pixels.data(), &bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  if (rows != p.height) return {};
  for (auto& px : p.pixels) px &= 0xFFFFFF;  // the platform may pass the fourth byte through
  return p;
}

Picture LoadWithPlatform(const std::filesystem::path& path) {
  UniqueBitmap bmp(LoadImageW(nullptr, path.wstring().c_str(), IMAGE_BITMAP, 0, 0,
                              LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  return bmp ? ReadBack(static_cast<HBITMAP>(bmp.get())) : Picture{};
}

Picture DrawWithPlatform(const std::vector<uint8_t>& file, int width, int height) {
  BITMAPINFO dst{};
  dst.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  dst.bmiHeader.biWidth = width;
  dst.bmiHeader.biHeight = -height;
  dst.bmiHeader.biPlanes = 1;
  dst.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  UniqueBitmap section(CreateDIBSection(nullptr, &dst, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!section) return {};
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, section.get());
  uint32_t offBits;
  std::memcpy(&offBits, file.data() + 10, 4);
  // The file's own header (info or core), straight after the 14-byte file header.
  SetDIBitsToDevice(dc, 0, 0, width, height, 0, 0, 0, height, file.data() + offBits,
                    reinterpret_cast<const BITMAPINFO*>(file.data() + 14), DIB_RGB_COLORS);
  SelectObject(dc, old);
  DeleteDC(dc);
  return ReadBack(static_cast<HBITMAP>(section.get()));
}

void ExpectSamePixels(const Picture& theirs, const ui::TBitmap& ours, const char* how) {
  SCOPED_TRACE(how);
  ASSERT_EQ(theirs.width, ours.Width());
  ASSERT_EQ(theirs.height, ours.Height());
  int mismatches = 0;
  for (size_t i = 0; i < theirs.pixels.size() && mismatches < 8; ++i) {
    if (theirs.pixels[i] != ours.Pixels()[i]) {
      ++mismatches;
      ADD_FAILURE() << "pixel " << i % ours.Width() << "," << i / ours.Width() << ": platform "
                    << std::hex << theirs.pixels[i] << ", decoder " << ours.Pixels()[i];
    }
  }
}

std::vector<uint32_t> Pattern(size_t n, uint32_t mask, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint32_t> v(n);
  for (auto& x : v) x = rng() & mask;
  return v;
}

std::vector<uint32_t> Palette256() {
  auto p = Pattern(256, 0xFFFFFF, 99);
  std::copy(kPalette16.begin(), kPalette16.end(), p.begin());
  return p;
}

enum { kLoader = 1, kGdi = 2, kBoth = 3 };
struct Sample {
  const char* name;
  int how;
  std::vector<uint8_t> bytes;
};

TEST(BitmapAgainstPlatform, EveryPixelMatches) {
  const auto bitfields = [](int w, int h, int bpp) {
    return BmpSpec(w, h, bpp, bmptest::kBiBitfields);
  };
  const std::vector<Sample> samples = {
      {"mono", kBoth,
       MakeBmp(BmpSpec(13, 5, 1).Palette({0xFF8000, 0x0080FF}).Values(Pattern(65, 1, 1)))},
      {"4bit", kBoth, MakeBmp(BmpSpec(7, 4, 4).Palette(kPalette16).Values(Pattern(28, 15, 2)))},
      {"8bit-topdown", kGdi,
       MakeBmp(BmpSpec(9, -3, 8).Palette(Palette256()).Values(Pattern(27, 255, 3)))},
      {"8bit-20colours", kBoth,
       MakeBmp(BmpSpec(5, 3, 8)
                   .Palette(Pattern(20, 0xFFFFFF, 4))
                   .ColorsUsed(20)
                   .Values({0, 1, 2, 3, 4, 19, 18, 17, 16, 15, 5, 6, 7, 8, 9}))},
      {"16bit-555", kBoth, MakeBmp(BmpSpec(5, 3, 16).Values(Pattern(15, 0x7FFF, 5)))},
      {"16bit-565", kGdi,
       MakeBmp(bitfields(6, 2, 16).Masks(0xF800, 0x07E0, 0x001F).Values(Pattern(12, 0xFFFF, 6)))},
      {"24bit", kBoth, MakeBmp(BmpSpec(5, 5, 24).Values(Pattern(25, 0xFFFFFF, 7)))},
      {"24bit-topdown", kGdi, MakeBmp(BmpSpec(3, -4, 24).Values(Pattern(12, 0xFFFFFF, 8)))},
      {"32bit", kBoth, MakeBmp(BmpSpec(3, 3, 32).Values(Pattern(9, 0xFFFFFFFF, 9)))},
      {"32bit-fields", kBoth,
       MakeBmp(bitfields(4, 2, 32).Masks(0xFF0000, 0xFF00, 0xFF).Values(Pattern(8, 0xFFFFFF, 10)))},
      {"32bit-v5", kGdi,
       MakeBmp(bitfields(4, -2, 32)
                   .Header(124)
                   .Masks(0xFF0000, 0xFF00, 0xFF)
                   .Values(Pattern(8, 0xFFFFFF, 11)))},
      {"16bit-v4", kBoth,
       MakeBmp(bitfields(3, 3, 16)
                   .Header(108)
                   .Masks(0x7C00, 0x03E0, 0x1F)
                   .Values(Pattern(9, 0x7FFF, 12)))},
      {"core-8bit", kBoth,
       MakeBmp(BmpSpec(5, 2, 8).Header(12).Palette(Palette256()).Values(Pattern(10, 255, 13)))},
      {"core-24bit", kBoth, MakeBmp(BmpSpec(3, 2, 24).Header(12).Values(Pattern(6, 0xFFFFFF, 14)))},
      {"rle8", kLoader, bmptest::Rle8Sample()},
      {"rle4", kLoader, bmptest::Rle4Sample()},
  };

  const auto folder = std::filesystem::temp_directory_path() / "tandrel_bitmap_test";
  std::filesystem::create_directories(folder);
  for (const auto& [name, how, bytes] : samples) {
    SCOPED_TRACE(name);
    const auto path = folder / (std::string(name) + ".bmp");
    {
      std::ofstream f(path, std::ios::binary);
      f.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    const ui::TBitmap ours = ui::TBitmap::LoadFromFile(path.u16string());
    if (how & kLoader) ExpectSamePixels(LoadWithPlatform(path), ours, "LoadImageW");
    if (how & kGdi)
      ExpectSamePixels(DrawWithPlatform(bytes, ours.Width(), ours.Height()), ours,
                       "SetDIBitsToDevice");
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
