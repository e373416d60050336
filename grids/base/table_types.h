// The attribute record a cell fills before a cell is painted or edited, and the table units' exception.
#pragma once
#include "platform/core/exceptions.h"
#include "platform/graphics/color.h"
#include <cstdint>

class TFont;

enum TOvcTblAccess : std::uint8_t { otxDefault, otxNormal, otxReadOnly, otxInvisible };

enum TOvcTblAdjust : std::uint8_t {
  otaDefault,
  otaTopLeft,
  otaTopCenter,
  otaTopRight,
  otaCenterLeft,
  otaCenter,
  otaCenterRight,
  otaBottomLeft,
  otaBottomCenter,
  otaBottomRight
};

enum TOvcTextStyle : std::uint8_t { tsFlat, tsRaised, tsLowered };

struct TOvcCellAttributes {
  TOvcTblAccess Access = otxDefault;
  TOvcTblAdjust Adjust = otaDefault;
  TColor Color = clBtnFace;
  TFont *Font = nullptr; // owned by whoever built the record
  TColor FontColor = clWindowText;
  TColor FontHiColor = clBtnHighlight;
  TOvcTextStyle TextStyle = tsFlat;
};

// The colour value that GatherAttributes turns into clBtnFace.
constexpr TColor clOvcDefaultCellColor = TColor(0x02FFFFFF);

class EDuvizivTable : public Exception {
public:
  using Exception::Exception;
};

// Raises EDuvizivTable with the library message of that number.
[[noreturn]] void RaiseTableError(std::int32_t MessageNumber);
