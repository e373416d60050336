// Placing a band on the page: how tall a stretched band grows and where its objects go in it, and whether a
// band prints whole where it stands, moves on to a new column or page first, or prints in slices.
#pragma once
#include <functional>
#include <unordered_map>
#include <vector>

class TfrView;

// The objects of a stretched band. A stretched object that needs more room than it was given pushes down the
// objects lying below it (overlapping it across), and those push what lies below them, so that a long text
// never runs into what follows; the band grows to hold them.
class TfrBandFlow {
public:
  // The height a stretched object needs, or a negative value for an object that does not stretch.
  using NeededHeight = std::function<int(const TfrView *)>;

  // Lays out the visible objects of a band of that design height and gives the band's height: never less
  // than its design height, enough for every object moved down and grown.
  int Measure(int DesignHeight, const std::vector<TfrView *> &Objects, const NeededHeight &Needed);
  // Where an object measured last goes in the band of that height: moved down by what pushed it; a stretched
  // object reaches down to the band's bottom unless it pushed something below it.
  void Place(const TfrView *View, int BandHeight, int &Top, int &Height) const;

private:
  struct Flow {
    int shift = 0;
    int growth = 0;
    int needed = 0;
    bool pushes = false;
  };
  std::unordered_map<const TfrView *, Flow> flow_;
};

// How a band is placed.
enum class TfrBandPlacing {
  Whole,  // it fits where it stands
  MoveOn, // it goes to a new column or page first
  Slices, // it prints what fits and goes on in the next column or on the next page
};

// A band about to print: where it would start, how far down it reaches (its height, or further where an
// object sticks out below it, with the bands that print with it), the lowest y it may reach (the page's
// bottom limit less the room the column footer needs), whether it may split, the height of the least part
// of it that prints alone (a row of cross cells), and whether it stands at the top of a fresh page or column
// (where moving on gains nothing).
struct TfrBandRoom {
  int y = 0;
  int reach = 0;
  int bottom = 0;
  bool maySplit = false;
  int least = 0;
  bool fresh = false;
};

// A band that fits prints whole. One that does not moves on when it may not split, or when not even its
// least part fits; on a fresh page or column, or when it may split, it prints in slices, so that nothing
// prints below the bottom.
TfrBandPlacing frPlaceBand(const TfrBandRoom &Room);
