#include "images/sheet_detection.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "images/image_animation.h"

namespace {

// The image's pixel indices row by row, with the entries the colour key leaves out.
struct TPixels
{
  explicit TPixels(const TImageAnimation &image)
      : Width(image.Bits ? image.Width : 0), Height(image.Bits ? image.Height : 0), Bits(image.Bits),
        Stride(image.Bitmap.bytesPerLine()), Transparent(TransparentEntries(image))
  {
  }
  bool Opaque(int x, int y) const { return !Transparent[Bits[size_t(y) * size_t(Stride) + size_t(x)]]; }

  int Width, Height;
  const uint8_t *Bits;
  int Stride;
  std::array<bool, 256> Transparent;
};

// A run [Start, End) of columns or rows that hold opaque pixels.
struct TRun
{
  int Start, End;
};

std::vector<TRun> Runs(const std::vector<uint8_t> &occupied)
{
  std::vector<TRun> runs;
  const int size = int(occupied.size());
  for (int i = 0; i < size;) {
    if (!occupied[size_t(i)]) {
      ++i;
      continue;
    }
    const int start = i;
    while (i < size && occupied[size_t(i)])
      ++i;
    runs.push_back({start, i});
  }
  return runs;
}

long long FloorDiv(long long a, long long b)
{
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

long long CeilDiv(long long a, long long b)
{
  return -FloorDiv(-a, b);
}

// Cells along one axis: the first one's start, the pitch and the count.
struct TAxis
{
  int Offset, Pitch, Count;
};

// One cell per run, run k inside [offset + k pitch, offset + (k + 1) pitch), offset >= 0. Such
// cells exist for runs k and j together exactly when pitch (j + 1 - k) >= end_j - start_k, which
// bounds the pitch from below for j >= k and from above for j > k + 1; an offset of 0 or more
// bounds it from above by start_k / k.
std::optional<TAxis> GuessAxis(const std::vector<TRun> &runs, int size)
{
  const long long n = static_cast<long long>(runs.size());
  if (n == 0)
    return std::nullopt;
  if (n == 1)
    return TAxis{runs[0].Start, runs[0].End - runs[0].Start, 1};
  long long lowest = 1, highest = LLONG_MAX;
  for (long long k = 0; k < n; ++k)
    for (long long j = k; j < n; ++j)
      lowest = std::max(lowest, CeilDiv(runs[size_t(j)].End - runs[size_t(k)].Start, j + 1 - k));
  for (long long j = 0; j < n; ++j)
    for (long long k = j + 2; k < n; ++k)
      highest = std::min(highest, FloorDiv(runs[size_t(k)].Start - runs[size_t(j)].End, k - j - 1));
  // The first cell starts inside the image: at 0 at the earliest, so run k starts at k pitches or later.
  for (long long k = 1; k < n; ++k)
    highest = std::min(highest, runs[size_t(k)].Start / k);
  if (lowest > highest)
    return std::nullopt;
  const TRun &first = runs.front(), &last = runs.back();
  const double mean = double((last.Start + last.End) - (first.Start + first.End)) / double(2 * (n - 1));
  const long long pitch = std::clamp((long long)std::llround(mean), lowest, highest);

  // The starts of the first cell that keep every run inside its cell.
  long long from = LLONG_MIN, to = LLONG_MAX;
  for (long long k = 0; k < n; ++k) {
    from = std::max(from, runs[size_t(k)].End - (k + 1) * pitch);
    to = std::min(to, runs[size_t(k)].Start - k * pitch);
  }
  // The grid starts inside the image, and ends inside it where the runs leave room for that.
  const long long earliest = std::max(from, 0LL);
  long long latest = to;
  if (size - n * pitch >= earliest)
    latest = std::min(latest, size - n * pitch);
  const long long offset = std::clamp(CeilDiv(from + to, 2), earliest, latest);
  return TAxis{int(offset), int(pitch), int(n)};
}

} // namespace

std::array<bool, 256> TransparentEntries(const TImageAnimation &image)
{
  auto colour = [&image](int i) {
    return uint32_t(image.Palette[size_t(i) * 3]) << 16 | uint32_t(image.Palette[size_t(i) * 3 + 1]) << 8 |
           image.Palette[size_t(i) * 3 + 2];
  };
  const int transparent = image.TransparentIndex;
  const uint32_t key = transparent >= 0 && transparent < 256 ? colour(transparent) : 0;
  std::array<bool, 256> entries{};
  for (int i = 0; i < 256; ++i)
    entries[size_t(i)] = colour(i) == key;
  return entries;
}

std::optional<QRect> SpriteBounds(const TImageAnimation &image, int x, int y)
{
  const TPixels pixels(image);
  if (x < 0 || y < 0 || x >= pixels.Width || y >= pixels.Height || !pixels.Opaque(x, y))
    return std::nullopt;
  const int width = pixels.Width, height = pixels.Height;
  std::vector<uint8_t> seen(size_t(width) * size_t(height), 0);
  auto open = [&](int px, int py) { return !seen[size_t(py) * size_t(width) + size_t(px)] && pixels.Opaque(px, py); };
  // A scanline fill: each seed grows into the run of its row, whose neighbours in the rows above
  // and below (one further on either side, for the diagonals) start the next runs.
  std::vector<std::pair<int, int>> seeds{{x, y}};
  int left = x, right = x, top = y, bottom = y;
  while (!seeds.empty()) {
    const auto [sx, sy] = seeds.back();
    seeds.pop_back();
    if (!open(sx, sy))
      continue;
    int from = sx, to = sx;
    while (from > 0 && open(from - 1, sy))
      --from;
    while (to + 1 < width && open(to + 1, sy))
      ++to;
    std::fill(seen.begin() + long(size_t(sy) * size_t(width) + size_t(from)),
              seen.begin() + long(size_t(sy) * size_t(width) + size_t(to) + 1), uint8_t(1));
    left = std::min(left, from);
    right = std::max(right, to);
    top = std::min(top, sy);
    bottom = std::max(bottom, sy);
    for (const int ny : {sy - 1, sy + 1}) {
      if (ny < 0 || ny >= height)
        continue;
      bool inRun = false;
      for (int nx = std::max(from - 1, 0); nx <= std::min(to + 1, width - 1); ++nx) {
        const bool next = open(nx, ny);
        if (next && !inRun)
          seeds.push_back({nx, ny});
        inRun = next;
      }
    }
  }
  return QRect(QPoint(left, top), QPoint(right, bottom));
}

std::optional<TGridGuess> DetectGrid(const TImageAnimation &image, std::string *why)
{
  const TPixels pixels(image);
  std::vector<uint8_t> columns(size_t(pixels.Width), 0), rows(size_t(pixels.Height), 0);
  for (int y = 0; y < pixels.Height; ++y) {
    const uint8_t *row = pixels.Bits + size_t(y) * size_t(pixels.Stride);
    uint8_t any = 0;
    for (int x = 0; x < pixels.Width; ++x) {
      const uint8_t opaque = !pixels.Transparent[row[x]];
      columns[size_t(x)] |= opaque;
      any |= opaque;
    }
    rows[size_t(y)] = any;
  }
  auto fail = [why](const char *reason) -> std::optional<TGridGuess> {
    if (why)
      *why = reason;
    return std::nullopt;
  };
  const std::vector<TRun> columnRuns = Runs(columns), rowRuns = Runs(rows);
  if (columnRuns.empty())
    return fail("The image has no pixel that is not transparent");
  const std::optional<TAxis> across = GuessAxis(columnRuns, pixels.Width);
  const std::optional<TAxis> down = GuessAxis(rowRuns, pixels.Height);
  if (!across || !down)
    return fail("The sprites do not stand in a regular grid");
  return TGridGuess{across->Offset, down->Offset, across->Pitch, down->Pitch, across->Count, down->Count};
}
