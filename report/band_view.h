// The band, subreport and line objects of a report page.
#pragma once
#include "report/view.h"

class TfrBand;

// Flags of a band object.
constexpr int flBandNewPageAfter = 2;
constexpr int flBandPrintIfSubsetEmpty = 4;
constexpr int flBandBreaked = 8; // may split across pages
constexpr int flBandOnFirstPage = 16;
constexpr int flBandOnLastPage = 32;
constexpr int flBandRepeatHeader = 64;

// TfrBandView: the design form of a band. Its band type is the low byte of FrameTyp; its format string names
// the record source of a data band or holds the condition of a group header. It draws only when designing.
// While a report is built, scripts that read or write its Left, Top, Width, Height or Visible reach the
// run-time band made from it (RunBand), the one being laid out.
class TfrBandView : public TfrView {
public:
  TfrBandView();
  QString ClassName() const override { return QStringLiteral("TfrBandView"); }
  void Draw(TCanvas *canvas) override;
  TfrViewKind ViewKind() const override { return TfrViewKind::Band; }
  Variant GetProperty(TfrViewProperty property) const override;
  void SetProperty(TfrViewProperty property, const Variant &value) override;

  TfrBand *RunBand = nullptr;

  int BandType() const { return FrameTyp & 0xFF; }
  void SetBandType(int type) { FrameTyp = quint16((FrameTyp & 0xFF00) | (type & 0xFF)); }
};

// TfrSubReportView: prints the bands of another page of the report beside its band.
class TfrSubReportView : public TfrView {
public:
  TfrSubReportView();
  QString ClassName() const override { return QStringLiteral("TfrSubReportView"); }
  void Assign(const TfrView *source) override;
  void Draw(TCanvas *canvas) override;
  void LoadFromStream(TStream *stream) override;
  void SaveToStream(TStream *stream) override;

  // The index of the page whose bands the subreport prints.
  qint32 SubPage = 0;
};

// TfrLineView: a horizontal or vertical line, drawn as one side of a frame. A line no wider than it is high
// is vertical (its left side); any other is horizontal (its top side).
class TfrLineView : public TfrView {
public:
  TfrLineView();
  QString ClassName() const override { return QStringLiteral("TfrLineView"); }
  void Draw(TCanvas *canvas) override;
};
