// Process-wide state of the report model: the document mode that drawing follows, the first-pass flag of a
// double-pass build, the version of the template stream being read, the serial numbers of new objects and
// the default font charset; the band type names.
#pragma once
#include "platform/graphics/graphics.h"
#include <QString>

enum TfrDocMode { dmDesigning, dmPrinting };

// The template stream version this program writes.
constexpr int frCurrentVersion = 23;

struct TfrModelState {
  TfrDocMode DocMode = dmDesigning;
  // On during the first pass of a double-pass build, when objects are laid out but not drawn.
  bool FirstPass = false;
  // The version of the stream being read; every record reader consults it.
  int StreamVersion = frCurrentVersion;
  // The serial number the next object takes.
  int NextViewID = 0;
  // The charset given to text objects read from streams older than version 23.
  TFontCharset DefaultCharset = 0;
};

TfrModelState &frModel();

// Sets the document mode for the lifetime of the scope and puts the previous one back.
class TfrDocModeScope {
public:
  explicit TfrDocModeScope(TfrDocMode mode) : saved_(frModel().DocMode) { frModel().DocMode = mode; }
  ~TfrDocModeScope() { frModel().DocMode = saved_; }
  TfrDocModeScope(const TfrDocModeScope &) = delete;
  TfrDocModeScope &operator=(const TfrDocModeScope &) = delete;

private:
  TfrDocMode saved_;
};

// Sets the stream version being read for the lifetime of the scope and puts the previous one back, however
// the reading ends.
class TfrStreamVersionScope {
public:
  explicit TfrStreamVersionScope(int version) : saved_(frModel().StreamVersion) {
    frModel().StreamVersion = version;
  }
  ~TfrStreamVersionScope() { frModel().StreamVersion = saved_; }
  TfrStreamVersionScope(const TfrStreamVersionScope &) = delete;
  TfrStreamVersionScope &operator=(const TfrStreamVersionScope &) = delete;

private:
  int saved_;
};

// Band types, in their fixed order.
enum TfrBandType {
  btReportTitle,
  btReportSummary,
  btPageHeader,
  btPageFooter,
  btMasterHeader,
  btMasterData,
  btMasterFooter,
  btDetailHeader,
  btDetailData,
  btDetailFooter,
  btSubDetailHeader,
  btSubDetailData,
  btSubDetailFooter,
  btOverlay,
  btColumnHeader,
  btColumnFooter,
  btGroupHeader,
  btGroupFooter,
  btCrossHeader,
  btCrossData,
  btCrossFooter,
  btNone
};
constexpr int frBandTypeCount = 22;

// "Report title" .. "None"; an empty text for a number outside the table.
QString frBandName(int bandType);
