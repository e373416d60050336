// TfrBandSlicer: a band that does not fit where it stands, printed in slices, one per column or page. In
// each slice the objects that fit are printed; a text crossing the limit prints the lines that fit and keeps
// the rest; other objects crossing it wait. What is left moves up by the room used and goes on in the next
// slice. A slice that starts a fresh page or column always prints something: the waiting object nearest
// the top is placed and cut to the room (a text to at least one line), so the band always comes to an end.
#pragma once
#include <vector>

// An object of the band at its place in it. A text (laid out in lines of one height, with gaps above and
// below them) can print a part of its lines; any other object prints whole.
struct TfrSlicePiece {
  int id = 0; // the caller's
  int top = 0;
  int height = 0;
  bool text = false;
  int lines = 0; // lines not yet printed
  int step = 1;  // the height of a line
  int gaps = 0;
};

// An object printed in a slice at its top there: for a text, its first `lines` lines not yet printed.
struct TfrSliceWrite {
  int id = 0;
  int top = 0;
  int height = 0;
  int lines = 0;
};

struct TfrSlice {
  std::vector<TfrSliceWrite> writes;
  // True when the band ends in this slice; the page's y then goes down by `advance`.
  bool last = false;
  int advance = 0;
};

class TfrBandSlicer {
public:
  // The band's objects, in the order they print, and its height.
  TfrBandSlicer(std::vector<TfrSlicePiece> Pieces, int Height);

  // The next slice, with that much room below the slice's top; Fresh when it starts a new page or column.
  TfrSlice Next(int Room, bool Fresh);

private:
  std::vector<TfrSlicePiece> pieces_;
  int remaining_;
};
