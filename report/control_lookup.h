// Finding the control under a point of a window, for the report windows' mouse handling.
#pragma once
#include "platform/core/types.h"

class TControl;
class TWinControl;

// The deepest visible control under Point (in Parent's client coordinates): the topmost child whose bounds
// hold the point, or, when that child is a windowed control that accepts controls and has some, the answer
// of the same search inside it when there is one. nullptr when no child is under the point.
TControl *FindControlAtPoint(const TWinControl *Parent, TPoint Point);
