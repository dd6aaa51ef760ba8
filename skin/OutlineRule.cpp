#include "skin/OutlineRule.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

namespace skin {

PixelGrid::PixelGrid(const ui::TBitmap& b, int w, int h)
    : PixelGrid(b.Pixels().data(), std::clamp(w, 0, b.Width()), std::clamp(h, 0, b.Height()),
                b.Width()) {}

namespace {

using Run = std::pair<int, int>;  // [first, last + 1)

struct Spans {
  // Per row: first and last opaque x, first = -1 for a row of key colour only.
  std::vector<int> rowFirst, rowLast;
  // Per column: first and last opaque y; first = INT_MAX for a column of key colour only.
  std::vector<int> colFirst, colLast;
};

Spans FindSpans(const PixelGrid& g, uint32_t key) {
  const int w = g.width, h = g.height;
  Spans s{std::vector<int>(h, -1), std::vector<int>(h, -1), std::vector<int>(w, INT_MAX),
          std::vector<int>(w, -1)};
  int left = w, right = -1;
  for (int y = 0; y < h; ++y) {
    const uint32_t* row = g.Row(y);
    int x = 0;
    while (x < w && (row[x] & PixelGrid::kColourMask) == key) ++x;
    if (x == w) continue;
    int last = w - 1;
    while (last > x && (row[last] & PixelGrid::kColourMask) == key) --last;
    s.rowFirst[y] = x;
    s.rowLast[y] = last;
    left = std::min(left, x);
    right = std::max(right, last);
  }
  if (right < 0) return s;
  // Columns: a pixel outside its row's span has the key colour, so only row spans are read. Each
  // pass keeps the columns still looking for their first (last) opaque pixel and stops when none
  // is left; for a skin (opaque but for its corners) that is a few rows from the top and bottom.
  std::vector<int> missing;
  auto pass = [&](int from, int to, int step, std::vector<int>& found) {
    missing.clear();
    for (int x = left; x <= right; ++x) missing.push_back(x);
    for (int y = from; y != to && !missing.empty(); y += step) {
      const int first = s.rowFirst[y], last = s.rowLast[y];
      if (first < 0) continue;
      const uint32_t* row = g.Row(y);
      size_t kept = 0;
      for (const int x : missing) {
        if (x >= first && x <= last && (row[x] & PixelGrid::kColourMask) != key) {
          found[x] = y;
        } else {
          missing[kept++] = x;
        }
      }
      missing.resize(kept);
    }
  };
  pass(0, h, 1, s.colFirst);
  pass(h - 1, -1, -1, s.colLast);
  return s;
}

}  // namespace

std::vector<ui::TRect> OutlineRects(const PixelGrid& g) {
  std::vector<ui::TRect> out;
  if (g.Empty()) return out;
  const uint32_t key = g.At(0, 0);
  const Spans s = FindSpans(g, key);
  const int h = g.height;

  // A column is inside the outline from its first to its last opaque row. Its two changes (at
  // the first row, and after the last) are listed by row, so each row toggles only the columns
  // that change there; a row without changes and with its row above's span repeats that row and
  // just lengthens the band.
  std::vector<int> offsets(static_cast<size_t>(h) + 2, 0);
  for (int x = 0; x < g.width; ++x) {
    if (s.colFirst[x] == INT_MAX) continue;
    ++offsets[s.colFirst[x] + 1];
    ++offsets[s.colLast[x] + 2];
  }
  for (size_t i = 1; i < offsets.size(); ++i) offsets[i] += offsets[i - 1];
  std::vector<int> changes(static_cast<size_t>(offsets.back()));
  {
    std::vector<int> cursor(offsets.begin(), offsets.end() - 1);
    for (int x = 0; x < g.width; ++x) {
      if (s.colFirst[x] == INT_MAX) continue;
      changes[cursor[s.colFirst[x]]++] = x;
      changes[cursor[s.colLast[x] + 1]++] = x;
    }
  }
  std::vector<uint8_t> active(static_cast<size_t>(g.width), 0);

  std::vector<Run> band, runs;
  int bandTop = 0;
  auto flush = [&](int bottom) {
    for (const Run& r : band) out.push_back(ui::TRect{r.first, bandTop, r.second, bottom});
  };
  for (int y = 0; y < h; ++y) {
    for (int i = offsets[y]; i < offsets[y + 1]; ++i) active[changes[i]] ^= 1;
    const bool same = y > 0 && offsets[y] == offsets[y + 1] && s.rowFirst[y] == s.rowFirst[y - 1] &&
                      s.rowLast[y] == s.rowLast[y - 1];
    if (same) continue;  // runs as in the row above
    runs.clear();
    if (s.rowFirst[y] >= 0) {
      // Runs of active columns within the row's span, found a block at a time.
      const uint8_t* a = active.data();
      const int end = s.rowLast[y] + 1;
      for (int x = s.rowFirst[y]; x < end;) {
        const void* on = std::memchr(a + x, 1, static_cast<size_t>(end - x));
        if (!on) break;
        const int first = static_cast<int>(static_cast<const uint8_t*>(on) - a);
        const void* off = std::memchr(a + first, 0, static_cast<size_t>(end - first));
        x = off ? static_cast<int>(static_cast<const uint8_t*>(off) - a) : end;
        runs.emplace_back(first, x);
      }
    }
    if (runs == band) continue;
    flush(y);
    band.swap(runs);
    bandTop = y;
  }
  flush(h);
  return out;
}

ui::TRect BoundsOf(const std::vector<ui::TRect>& rects) {
  if (rects.empty()) return {};
  ui::TRect b = rects.front();
  for (const ui::TRect& r : rects) {
    b.Left = std::min(b.Left, r.Left);
    b.Top = std::min(b.Top, r.Top);
    b.Right = std::max(b.Right, r.Right);
    b.Bottom = std::max(b.Bottom, r.Bottom);
  }
  return b;
}

}  // namespace skin
