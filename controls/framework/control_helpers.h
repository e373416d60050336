// Small helpers shared by the library's controls.
#pragma once
#include "platform/graphics/color.h"
#include <QCursor>
#include <QString>
#include <cstdint>
#include <memory>

class TBitmap;
class TComponent;
class TFont;

// The shift keys held with the input message being handled, as key-table bits (ss_Shift, ss_Ctrl, ss_Alt).
std::uint8_t GetShiftFlags();
// A bitmap or cursor of the library's resources, by name (EResNotFound when there is none).
std::unique_ptr<TBitmap> LoadControlBitmap(const QString &resourceName);
QCursor LoadControlCursor(const QString &resourceName);

// The virtual key of the primary mouse button.
std::uint8_t GetLeftButton();

inline int MinI(int a, int b) { return a < b ? a : b; }
inline int MaxI(int a, int b) { return a > b ? a : b; }

// The first year of the current century (2000 for any year 2000..2099): the default two-digit-year epoch.
int DefaultEpoch();

// BaseName followed by 1, 2, ... : the first such name that no component of Owner has. EComponentError when
// BaseName is not a valid identifier.
QString GetUniqueName(TComponent *owner, const QString &baseName);

// The red, green and blue parts of a colour; a system colour is first turned into its current value.
void SplitColor(TColor color, std::uint8_t &red, std::uint8_t &green, std::uint8_t &blue);

// The offset in pixels from the top of a single-line field of the given height to its text, for text in
// Font: centred when the text is about as high as the field, else a fixed margin inside the border.
int GetTopTextMargin(const TFont *font, bool bordered, int height, bool ctl3D);
