// The pointing-hand cursor of the graphic controls ("VRCURSORHANDPOINT"), drawn here, and the controls'
// initialisation, which registers it as the screen cursor crVrHandPoint.
#pragma once
#include "platform/windowing/controls.h"
#include <QCursor>
#include <QImage>

constexpr TCursor crVrHandPoint = 99;

// The hand's picture: 32 x 32 pixels, white with a black outline, transparent around it; the tip of the
// index finger is the hot spot.
QImage VrHandPointImage();
TPoint VrHandPointHotSpot();
QCursor VrHandPointCursor();

// Registers the hand's picture as the cursor resource "VRCURSORHANDPOINT", loads it by that name and
// registers it as Screen()->Cursors(crVrHandPoint). Runs once, when the first of the graphic
// controls or components is made; later calls do nothing.
void VrInitControls();
