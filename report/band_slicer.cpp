#include "report/band_slicer.h"
#include <algorithm>

namespace {

// The height of a text's lines not yet printed, with its gaps.
int TextHeight(const TfrSlicePiece &piece) { return piece.lines * piece.step + piece.gaps; }

} // namespace

TfrBandSlicer::TfrBandSlicer(std::vector<TfrSlicePiece> Pieces, int Height)
    : pieces_(std::move(Pieces)), remaining_(Height) {
  for (TfrSlicePiece &piece : pieces_) piece.step = std::max(1, piece.step);
}

TfrSlice TfrBandSlicer::Next(int Room, bool Fresh) {
  TfrSlice slice;
  bool printedAny = false;
  int extent = 0;
  std::vector<TfrSlicePiece> waiting;
  for (TfrSlicePiece &piece : pieces_) {
    if (piece.top + piece.height <= Room) {
      slice.writes.push_back({piece.id, piece.top, piece.height, piece.text ? piece.lines : 0});
      extent = std::max(extent, piece.top + piece.height);
      printedAny = true;
      continue;
    }
    if (piece.text && piece.top < Room) {
      const int fit = (Room - piece.top - piece.gaps) / piece.step;
      if (fit >= 1 && fit < piece.lines) {
        const int height = fit * piece.step + piece.gaps;
        slice.writes.push_back({piece.id, piece.top, height, fit});
        extent = std::max(extent, piece.top + height);
        piece.lines -= fit;
        piece.height = TextHeight(piece);
        printedAny = true;
      }
    }
    waiting.push_back(piece);
  }
  // The band's empty space below its last object never reaches past the room: what follows the band (a
  // column footer) needs the rest.
  const int used = std::max(0, Room);
  if (waiting.empty()) {
    slice.last = true;
    slice.advance = std::max(extent, std::min(remaining_, used));
    pieces_.clear();
    return slice;
  }
  auto topmost =
      std::min_element(waiting.begin(), waiting.end(),
                       [](const TfrSlicePiece &a, const TfrSlicePiece &b) { return a.top < b.top; });
  if (!printedAny && Fresh && (topmost->top == 0 || Room <= 0)) {
    // What starts at the top of a fresh page and still does not fit is placed and cut to the room.
    TfrSlicePiece &piece = *topmost;
    const int top = std::clamp(piece.top, 0, used);
    const int room = used - top;
    if (piece.text && piece.lines > 0) {
      const int count = std::clamp((room - piece.gaps) / piece.step, 1, piece.lines);
      slice.writes.push_back({piece.id, top, room, count});
      piece.lines -= count;
      piece.height = TextHeight(piece);
      if (piece.lines == 0) waiting.erase(topmost);
    } else {
      slice.writes.push_back({piece.id, top, room, 0});
      waiting.erase(topmost);
    }
    if (waiting.empty()) {
      slice.last = true;
      slice.advance = used;
      pieces_.clear();
      return slice;
    }
  }
  remaining_ = std::max(0, remaining_ - used);
  for (TfrSlicePiece &piece : waiting) piece.top = std::max(0, piece.top - used);
  pieces_ = std::move(waiting);
  return slice;
}
