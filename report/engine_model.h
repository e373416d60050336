// What the expression engine (script interpreter, function library) needs of the report model: the views,
// run-time bands, pages and reports implement these interfaces, and the page builder makes them current in
// the engine state (engine.h) while it works.
#pragma once
#include "platform/core/variant.h"
#include <QString>

class TComponent;
class TStrings;

// The object properties that scripts read and write by name ("Left" .. "Adjust"), in this order.
enum TfrViewProperty {
  vpLeft,
  vpTop,
  vpWidth,
  vpHeight,
  vpFlags,
  vpVisible,
  vpFrameTyp,
  vpFrameWidth,
  vpFrameColor,
  vpFillColor,
  vpText,
  vpFontName,
  vpFontSize,
  vpFontStyle,
  vpFontColor,
  vpAdjust
};
constexpr int frViewPropertyCount = 16;

// The kind of a view as far as scripts are concerned: a band's properties are those of its run-time band
// (position, size, visibility); only text objects have text and font properties.
enum class TfrViewKind { Band, Text, Other };

// A report object as scripts see it.
class TfrEngineView {
public:
  virtual ~TfrEngineView() = default;
  virtual QString ViewName() const = 0;
  virtual TfrViewKind ViewKind() const = 0;
  // Values by the property's type: integers (Left, Top, Width, Height, Flags, FrameTyp, FrameColor,
  // FillColor, FontSize, FontStyle as 1 italic + 2 bold + 4 underline, FontColor, Adjust), a boolean
  // (Visible), a float (FrameWidth), texts (Text as the lines joined with line breaks, FontName). The
  // interpreter asks a band only for Left, Top, Width, Height and Visible, and only a text object for Text
  // and the font and adjust properties; SetProperty receives a value already converted to the type.
  virtual Variant GetProperty(TfrViewProperty Property) const = 0;
  virtual void SetProperty(TfrViewProperty Property, const Variant &Value) = 0;
};

// A run-time band: the one being printed, or the one collecting totals.
class TfrEngineBand {
public:
  virtual ~TfrEngineBand() = default;
  // The name of the band's design object, which aggregate functions use to name the band.
  virtual QString BandName() const = 0;
  // The band type (0 report title .. 21 none).
  virtual int BandType() const = 0;
  // True while the band is being printed (as opposed to being evaluated for its totals).
  virtual bool Printing() const = 0;
  // The band's aggregate values: lines "key=value", the value's first character a marker ("1" when the
  // current record has been counted).
  virtual TStrings *AggregateValues() = 0;
  // The number of records the band's totals have taken in.
  virtual int AggregateRecordCount() const = 0;
  // The script functions NEWPAGE and NEWCOLUMN.
  virtual void RequestNewPage() = 0;
  virtual void RequestNewColumn() = 0;
};

// The page being built.
class TfrEnginePage {
public:
  virtual ~TfrEnginePage() = default;
  // An object of the page by name (without regard to case); nullptr when there is none.
  virtual TfrEngineView *FindObject(const QString &Name) = 0;
  // The height left on the page: its current bottom limit less its current vertical position.
  virtual int FreeSpace() const = 0;
  // True while the page prints its cross bands; then CrossColumn is the current cross column.
  virtual bool PrintingCrossBands() const = 0;
  virtual int CrossColumn() const = 0;
};

// The report being built.
class TfrEngineReport {
public:
  virtual ~TfrEngineReport() = default;
  // The report component; its owner's components are searched for datasets named without a form.
  virtual TComponent *ReportComponent() const = 0;
  // True once the user has cancelled the run (or an error ended it); scripts stop running.
  virtual bool Terminated() const = 0;
};

// Band types that take aggregate functions in band mode.
constexpr int frBandReportSummary = 1;
constexpr int frBandPageFooter = 3;
constexpr int frBandMasterFooter = 6;
constexpr int frBandDetailFooter = 9;
constexpr int frBandSubDetailFooter = 12;
constexpr int frBandGroupFooter = 17;
constexpr int frBandCrossFooter = 20;
