#include "ui/Bitmap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "tests/support/HeapCounter.h"
#include "tests/ui/bitmap/BmpWriter.h"
#include "ui/Exception.h"
#include "ui/InputLimits.h"

namespace {

using bmptest::BmpSpec;
using bmptest::kPalette16;
using bmptest::MakeBmp;
using bmptest::Rle4Sample;
using bmptest::Rle8Sample;
using ui::TBitmap;

TBitmap Decode(const std::vector<uint8_t>& bytes) {
  return TBitmap::LoadFromMemory(bytes);
}

// Passes only for the decoder's own error; anything else thrown fails the test by escaping.
void ExpectInvalid(const std::vector<uint8_t>& bytes) {
  try {
    Decode(bytes);
    ADD_FAILURE() << "decoded a damaged bitmap of " << bytes.size() << " bytes";
  } catch (const ui::EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), u"Bitmap image is not valid");
  }
}

std::vector<uint32_t> Pattern(size_t n, uint32_t mask, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint32_t> v(n);
  for (auto& x : v) x = rng() & mask;
  return v;
}

std::vector<uint32_t> Rows(const TBitmap& b) {
  return {b.Pixels().begin(), b.Pixels().end()};
}

uint32_t Widen5(uint32_t v) {
  return (v << 3) | (v >> 2);
}

TEST(BitmapDecode, RedStaysRedAndRowsComeOutTopDown) {
  BmpSpec s(2, 2, 24);
  s.values = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};  // top row first
  const TBitmap b = Decode(MakeBmp(s));
  ASSERT_EQ(b.Width(), 2);
  ASSERT_EQ(b.Height(), 2);
  EXPECT_EQ(b.Pixel(0, 0), 0x00FF0000u);
  EXPECT_EQ(b.PixelColor(0, 0), 0x0000FFu);  // colour reference: red in the low byte
  EXPECT_EQ(b.PixelColor(1, 0), ui::ColorRGB(0, 255, 0));
  EXPECT_EQ(b.PixelColor(0, 1), ui::ColorRGB(0, 0, 255));
  EXPECT_EQ(b.Pixel(1, 1), 0x00FFFFFFu);

  s.height = -2;  // stored top-down: same picture
  EXPECT_EQ(Rows(Decode(MakeBmp(s))), Rows(b));
}

// Every depth, odd and even widths (row padding), both orientations, every pixel checked.
TEST(BitmapDecode, EveryDepthWidthAndOrientation) {
  for (int bpp : {1, 4, 8, 16, 24, 32}) {
    for (int width : {1, 2, 3, 5, 7, 9}) {
      for (int height : {3, -3, 1, -1}) {
        SCOPED_TRACE(testing::Message() << bpp << " bpp, " << width << " x " << height);
        BmpSpec s(width, height, bpp);
        const size_t n = static_cast<size_t>(width) * std::abs(height);
        const uint32_t mask = bpp >= 32 ? 0xFFFFFFFF : (1u << bpp) - 1;
        s.values = Pattern(n, mask, bpp * 100 + width * 10 + (height < 0));
        if (bpp <= 8)
          s.palette.assign(kPalette16.begin(), kPalette16.begin() + (bpp == 1 ? 2 : 16));
        if (bpp == 8) s.palette.resize(256, 0x0A0B0C);  // high indices share one colour
        const TBitmap b = Decode(MakeBmp(s));
        ASSERT_EQ(b.Width(), width);
        ASSERT_EQ(b.Height(), std::abs(height));
        for (size_t i = 0; i < n; ++i) {
          const uint32_t v = s.values[i];
          uint32_t want;
          if (bpp <= 8)
            want = s.palette[v];
          else if (bpp == 16)
            want = Widen5(v >> 10 & 31) << 16 | Widen5(v >> 5 & 31) << 8 | Widen5(v & 31);
          else
            want = v & 0xFFFFFF;  // the fourth byte of 32-bit pixels is unused
          ASSERT_EQ(b.Pixels()[i], want) << "pixel " << i;
        }
      }
    }
  }
}

TEST(BitmapDecode, PaletteSizeFollowsColorsUsedAndIndicesBeyondItAreBlack) {
  BmpSpec s(4, 1, 4);
  s.colorsUsed = 3;
  s.palette = {0x112233, 0x445566, 0x778899};
  s.values = {0, 2, 3, 15};
  EXPECT_EQ(Rows(Decode(MakeBmp(s))), (std::vector<uint32_t>{0x112233, 0x778899, 0, 0}));

  // A two-colour picture may use any two colours, not only black and white.
  BmpSpec mono(9, 1, 1);
  mono.palette = {0xFF8000, 0x0080FF};
  mono.values = {1, 0, 0, 1, 1, 1, 0, 0, 1};
  const TBitmap b = Decode(MakeBmp(mono));
  EXPECT_EQ(b.Pixel(0, 0), 0x0080FFu);
  EXPECT_EQ(b.Pixel(1, 0), 0xFF8000u);
  EXPECT_EQ(b.Pixel(8, 0), 0x0080FFu);  // the first bit of the second byte

  // A colour count larger than the depth allows is cut to the depth's own.
  BmpSpec big(2, 1, 1);
  big.palette = {0x010101, 0x020202};
  big.colorsUsed = 1000;
  big.values = {1, 0};
  EXPECT_EQ(Rows(Decode(MakeBmp(big))), (std::vector<uint32_t>{0x020202, 0x010101}));
}

TEST(BitmapDecode, BitFieldMasksDecideTheChannels) {
  BmpSpec s(5, 1, 16, bmptest::kBiBitfields);
  s.masks = {0xF800, 0x07E0, 0x001F};  // 5-6-5
  s.values = {0xF800, 0x07E0, 0x001F, 0x8410, 0xFFFF};
  EXPECT_EQ(Rows(Decode(MakeBmp(s))),
            (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF, 0x848284, 0xFFFFFF}));

  // 32 bits with red in the low byte and the top byte as alpha: masks win, alpha is dropped.
  BmpSpec w(2, -1, 32, bmptest::kBiBitfields);
  w.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
  w.values = {0xFF0000FF, 0x80563412};
  EXPECT_EQ(Rows(Decode(MakeBmp(w))), (std::vector<uint32_t>{0xFF0000, 0x123456}));

  // Narrow fields repeat their bits: a one-bit channel gives 0 or 255.
  BmpSpec n(2, 1, 16, bmptest::kBiBitfields);
  n.masks = {0x8000, 0x0700, 0x000F};  // 1, 3 and 4 bits
  n.values = {0x8000 | 0x0500 | 0x0009, 0x0100};
  EXPECT_EQ(Rows(Decode(MakeBmp(n))), (std::vector<uint32_t>{0xFFB699, 0x002400}));
}

TEST(BitmapDecode, LaterHeadersCarryTheirMasksAndTheOldHeaderItsShortPalette) {
  for (uint32_t header : {52u, 56u, 108u, 124u}) {
    SCOPED_TRACE(header);
    BmpSpec s(3, -2, 16, bmptest::kBiBitfields);
    s.headerSize = header;
    s.masks = {0x7C00, 0x03E0, 0x001F};
    s.values = {0x7C00, 0x03E0, 0x001F, 0, 0x7FFF, 0x4210};
    EXPECT_EQ(Rows(Decode(MakeBmp(s))),
              (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF, 0, 0xFFFFFF, 0x848484}));
    // Without the bit-field compression the masks in the header do not apply.
    s.compression = bmptest::kBiRgb;
    s.bpp = 32;
    s.masks = {0xFF, 0xFF00, 0xFF0000};
    s.values = {0xFF0000, 0x1, 0x2, 0x3, 0x4, 0x5};
    EXPECT_EQ(Decode(MakeBmp(s)).Pixel(0, 0), 0xFF0000u);
  }

  BmpSpec core(3, 2, 8);
  core.headerSize = 12;
  core.palette.resize(256);
  core.palette[7] = 0xABCDEF;
  core.palette[255] = 0x010203;
  core.values = {7, 255, 0, 0, 7, 7};
  EXPECT_EQ(Rows(Decode(MakeBmp(core))),
            (std::vector<uint32_t>{0xABCDEF, 0x010203, 0, 0, 0xABCDEF, 0xABCDEF}));

  core = BmpSpec(1, 1, 24).Header(12).Values({0xFF0000});
  EXPECT_EQ(Decode(MakeBmp(core)).PixelColor(0, 0), 0x0000FFu);
}

TEST(BitmapDecode, PixelDataStartsWhereTheFileSaysUnlessItSaysZero) {
  BmpSpec s = BmpSpec(3, 1, 24).Values({0x010203, 0x040506, 0x070809});
  s.gap = 7;
  EXPECT_EQ(Rows(Decode(MakeBmp(s))), s.values);
  s.gap = 0;
  s.zeroOffset = true;
  EXPECT_EQ(Rows(Decode(MakeBmp(s))), s.values);
}

TEST(BitmapDecode, RunLengthStreamsWithDeltasAndLineEnds) {
  const uint32_t k0 = 0x336699, r = 0xFF0000, g = 0x00FF00, b = 0x0000FF;
  EXPECT_EQ(Rows(Decode(Rle8Sample())),
            (std::vector<uint32_t>{r,  r,  r,  r,  r,  r,   //
                                   k0, k0, k0, k0, 0,  0,   // skipped, then black
                                   b,  b,  k0, k0, k0, k0,  //
                                   r,  r,  r,  g,  b,  g}));

  const auto& p = kPalette16;
  EXPECT_EQ(Rows(Decode(Rle4Sample())), (std::vector<uint32_t>{p[0], p[0], p[0], p[0], p[15],  //
                                                               p[3], p[4], p[5], p[6], p[7],   //
                                                               p[1], p[2], p[1], p[2], p[1]}));
}

TEST(BitmapDecode, RejectsWhatItCannotShow) {
  const auto valid = [] { return MakeBmp(BmpSpec(2, 2, 24).Values({1, 2, 3, 4})); };
  const auto patch32 = [&](size_t at, uint32_t v) {
    auto b = valid();
    bmptest::Put32(b, at, v);
    return b;
  };
  const auto patch16 = [&](size_t at, uint32_t v) {
    auto b = valid();
    bmptest::Put16(b, at, v);
    return b;
  };
  EXPECT_NO_THROW(Decode(valid()));
  auto b = valid();
  b[1] = 'A';
  ExpectInvalid(b);                // not "BM"
  ExpectInvalid(patch32(14, 64));  // a header kind it does not know
  ExpectInvalid(patch32(14, 16));
  ExpectInvalid(patch32(18, 0));           // no width
  ExpectInvalid(patch32(22, 0));           // no height
  ExpectInvalid(patch32(18, 0xFFFFFFFE));  // negative width
  ExpectInvalid(patch32(18, 32769));
  ExpectInvalid(patch32(22, 0x80000000));  // the most negative height
  ExpectInvalid(patch16(28, 2));           // two bits per pixel
  ExpectInvalid(patch16(28, 0));
  ExpectInvalid(patch32(30, 4));                      // embedded JPEG
  ExpectInvalid(patch32(30, 5));                      // embedded PNG
  ExpectInvalid(patch32(30, bmptest::kBiRle8));       // run-length needs 8 bits
  ExpectInvalid(patch32(30, bmptest::kBiBitfields));  // bit fields need 16 or 32 bits
  ExpectInvalid(patch32(10, 20));                     // pixel data inside the header
  ExpectInvalid(patch32(10, 1000));                   // pixel data beyond the end
  b = valid();
  b.pop_back();  // the last row's padding is missing
  ExpectInvalid(b);

  // Sizes are bounded before anything is allocated, even where the data would be short anyway.
  auto huge = MakeBmp(BmpSpec(1, 1, 8, bmptest::kBiRle8).Palette({0}).ColorsUsed(1).Rle({0, 1}));
  EXPECT_NO_THROW(Decode(huge));
  bmptest::Put32(huge, 18, 20000);
  bmptest::Put32(huge, 22, 20000);  // 400 million pixels
  ExpectInvalid(huge);
  bmptest::Put32(huge, 18, 32769);
  bmptest::Put32(huge, 22, 1);
  ExpectInvalid(huge);

  auto topDownRle = Rle8Sample();
  bmptest::Put32(topDownRle, 22, static_cast<uint32_t>(-4));
  ExpectInvalid(topDownRle);
  auto noEnd = Rle8Sample();  // without its end-of-bitmap mark
  noEnd.resize(noEnd.size() - 2);
  bmptest::Put32(noEnd, 34, 0);
  ExpectInvalid(noEnd);
}

// Files whose header announces more than they hold are refused before the pixels get memory:
// the most the decoder holds at once stays far below one picture of the announced size.
TEST(BitmapDecode, AFileThatDoesNotHoldItsPixelsCostsNoPictureMemory) {
  const auto expectRefusedCheaply = [](const std::vector<uint8_t>& bytes, const char* what) {
    heap_counter::ResetPeak();
    const size_t start = heap_counter::Live();
    ExpectInvalid(bytes);
    EXPECT_LT(heap_counter::Peak() - start, 64u * 1024) << what;
  };
  // 54 bytes: a header that claims 4096 x 4096 pixels of 24 bits, and nothing after it.
  auto liar = MakeBmp(BmpSpec(1, 1, 24).Values({0}));
  liar.resize(54);
  bmptest::Put32(liar, 18, 4096);
  bmptest::Put32(liar, 22, 4096);
  expectRefusedCheaply(liar, "uncompressed header only");
  // 1 bit per pixel, 4096 x 4096: every row but the last byte of padding.
  auto oneBit = MakeBmp(BmpSpec(4096, 4096, 1)
                            .Palette({0, 0xFFFFFF})
                            .Values(std::vector<uint32_t>(size_t{4096} * 4096, 1)));
  ASSERT_NO_THROW(Decode(oneBit));
  oneBit.pop_back();
  expectRefusedCheaply(oneBit, "one byte short");
  // A run-length stream of 4096 x 4096 that stops before its end mark, and one that never ends.
  std::vector<uint8_t> runs;
  for (int i = 0; i < 30; ++i) runs.insert(runs.end(), {255, 1, 0, 0});
  auto cut =
      MakeBmp(BmpSpec(4096, 4096, 8, bmptest::kBiRle8).Palette({0, 0xFF}).ColorsUsed(2).Rle(runs));
  expectRefusedCheaply(cut, "run-length without its end");
  runs.insert(runs.end(), {0, 1});
  auto whole =
      MakeBmp(BmpSpec(4096, 4096, 8, bmptest::kBiRle8).Palette({0, 0xFF}).ColorsUsed(2).Rle(runs));
  const TBitmap decoded = Decode(whole);
  EXPECT_EQ(decoded.PixelColor(254, 4095), 0xFF0000u) << "row 0 of the stream is the bottom";
  EXPECT_EQ(decoded.PixelColor(255, 4095), 0u);
  EXPECT_EQ(decoded.PixelColor(0, 4095 - 29), 0xFF0000u);
}

// At most 16,777,216 pixels, whatever the shape: 4096 x 4096, 8192 x 2048 and 32768 x 512 are
// pictures, one pixel more is not.
TEST(BitmapDecode, PicturesAreAtMostSixteenMegapixels) {
  const auto ofSize = [](int w, int h) {
    return MakeBmp(
        BmpSpec(w, h, 8, bmptest::kBiRle8).Palette({0x123456}).ColorsUsed(1).Rle({0, 1}));
  };
  for (const auto& [w, h] : {std::pair{4096, 4096}, {8192, 2048}, {32768, 512}, {1, 16384}}) {
    const TBitmap b = Decode(ofSize(w, h));
    EXPECT_EQ(b.Width(), w);
    EXPECT_EQ(b.Pixel(w - 1, h - 1), 0x123456u);
  }
  ExpectInvalid(ofSize(4097, 4096));
  ExpectInvalid(ofSize(8193, 2048));
  ExpectInvalid(ofSize(32768, 513));
  ExpectInvalid(ofSize(32769, 1));
}

std::vector<std::vector<uint8_t>> ValidSamples() {
  std::vector<std::vector<uint8_t>> out;
  const auto bitfields = [](int w, int h) { return BmpSpec(w, h, 16, bmptest::kBiBitfields); };
  out.push_back(MakeBmp(BmpSpec(3, 2, 24).Values(Pattern(6, 0xFFFFFF, 1))));
  out.push_back(
      MakeBmp(BmpSpec(5, -3, 8).Palette(kPalette16).ColorsUsed(16).Values(Pattern(15, 15, 2))));
  out.push_back(MakeBmp(
      bitfields(3, 2).Header(124).Masks(0xF800, 0x07E0, 0x001F).Values(Pattern(6, 0xFFFF, 3))));
  out.push_back(
      MakeBmp(bitfields(3, 2).Masks(0xF800, 0x07E0, 0x001F).Values(Pattern(6, 0xFFFF, 4))));
  out.push_back(
      MakeBmp(BmpSpec(7, 2, 4).Header(12).Palette(kPalette16).Values(Pattern(14, 15, 5))));
  out.push_back(MakeBmp(BmpSpec(9, 2, 1).Palette({0, 0xFFFFFF}).Values(Pattern(18, 1, 6))));
  out.push_back(Rle8Sample());
  out.push_back(Rle4Sample());
  auto unsized = Rle4Sample();  // the stream's own end mark is all that bounds it
  bmptest::Put32(unsized, 34, 0);
  out.push_back(unsized);
  return out;
}

TEST(BitmapDecode, EveryTruncationIsInvalid) {
  for (const auto& full : ValidSamples()) {
    ASSERT_NO_THROW(Decode(full));
    for (size_t len = 0; len < full.size(); ++len) {
      SCOPED_TRACE(testing::Message() << len << " of " << full.size() << " bytes");
      ExpectInvalid({full.begin(), full.begin() + len});
    }
  }
}

// Random damage either decodes to a picture of the declared size or raises EInvalidGraphic;
// ASan and UBSan catch any read out of bounds on the way.
TEST(BitmapDecode, RandomDamageNeverCrashes) {
  const auto samples = ValidSamples();
  std::mt19937 rng(20240611);
  int decoded = 0, rejected = 0;
  for (int i = 0; i < 6000; ++i) {
    std::vector<uint8_t> b = samples[rng() % samples.size()];
    const int edits = 1 + rng() % 4;
    for (int e = 0; e < edits; ++e) {
      // Mostly the headers, where the decisions are made.
      const size_t at = rng() % 2 ? rng() % std::min<size_t>(b.size(), 70) : rng() % b.size();
      switch (rng() % 3) {
        case 0:
          b[at] = static_cast<uint8_t>(rng());
          break;
        case 1:
          b[at] ^= static_cast<uint8_t>(1u << rng() % 8);
          break;
        default:
          b[at] = rng() % 2 ? 0 : 0xFF;
          break;
      }
    }
    if (rng() % 8 == 0) b.resize(rng() % b.size());
    try {
      const TBitmap out = Decode(b);
      ++decoded;
      ASSERT_FALSE(out.Empty());
      ASSERT_EQ(out.Pixels().size(), static_cast<size_t>(out.Width()) * out.Height());
      for (uint32_t p : out.Pixels()) ASSERT_EQ(p >> 24, 0u) << "unused byte set";
    } catch (const ui::EInvalidGraphic&) {
      ++rejected;
    }
  }
  // Both outcomes must have happened, or the damage was not exercising the decoder.
  EXPECT_GT(decoded, 100);
  EXPECT_GT(rejected, 100);
}

TEST(BitmapFile, LoadsFromDiskAndReportsAMissingFile) {
  const auto path = std::filesystem::temp_directory_path() / "tandrel_bitmap_test.bmp";
  const auto bytes = Rle8Sample();
  {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  EXPECT_EQ(Rows(TBitmap::LoadFromFile(path.u16string())), Rows(Decode(bytes)));
  std::filesystem::remove(path);

  const std::u16string missing = u"no such folder/none.bmp";
  try {
    TBitmap::LoadFromFile(missing);
    ADD_FAILURE() << "loaded a missing file";
  } catch (const ui::EFOpenError& e) {
    EXPECT_EQ(e.Message(), u"Cannot open file \"no such folder/none.bmp\"");
  }
}

TEST(BitmapFile, AnEmptyFileIsNoPictureAFolderCannotBeOpened) {
  const auto path = std::filesystem::temp_directory_path() / "tandrel_empty_test.bmp";
  std::ofstream(path, std::ios::binary).close();
  EXPECT_THROW(TBitmap::LoadFromFile(path.u16string()), ui::EInvalidGraphic);
  std::filesystem::remove(path);
  EXPECT_THROW(TBitmap::LoadFromFile(std::filesystem::temp_directory_path().u16string()),
               ui::EFOpenError);
}

// A picture file larger than the cap is invalid before it is read, even where its header is a
// good one; at the cap the same file is read and decoded.
TEST(BitmapFile, AFileOverTheCapIsNotReadAndIsInvalid) {
  const auto path = std::filesystem::temp_directory_path() / "tandrel_large_test.bmp";
  const auto bytes = Rle8Sample();
  for (const uint64_t size : {ui::kMaxPictureFileBytes, ui::kMaxPictureFileBytes + 1}) {
    {
      std::ofstream f(path, std::ios::binary | std::ios::trunc);
      f.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    std::filesystem::resize_file(path, size);  // zeros after the picture's own bytes
    if (size > ui::kMaxPictureFileBytes)
      EXPECT_THROW(TBitmap::LoadFromFile(path.u16string()), ui::EInvalidGraphic);
    else
      EXPECT_EQ(Rows(TBitmap::LoadFromFile(path.u16string())), Rows(Decode(bytes)));
  }
  std::filesystem::remove(path);
}

}  // namespace
