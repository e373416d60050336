#include "report/band_view.h"
#include "platform/core/streams.h"
#include "report/band.h"
#include "report/model_state.h"
#include <algorithm>

TfrBandView::TfrBandView() {
  Typ = gtBand;
  BaseName = QStringLiteral("Band");
  Format = 0;
  Flags = flBandOnFirstPage | flBandOnLastPage;
}

void TfrBandView::Draw(TCanvas *canvas) {
  Canvas = canvas;
  if (frModel().DocMode != dmDesigning) return;
  ApplyScale();
  // The design page shows a band as a tinted strip with its type's name.
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(clBtnFace);
  Canvas->FillRect(DRect);
  Canvas->Pen()->SetColor(clGray);
  Canvas->Pen()->SetWidth(1);
  Canvas->Pen()->SetStyle(psSolid);
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->Rectangle(DRect);
  Canvas->Font()->SetName(QStringLiteral("Arial"));
  Canvas->Font()->SetSize(8);
  Canvas->Font()->SetColor(clBtnText);
  Canvas->Font()->SetOrientation(0);
  Canvas->TextRect(DRect, DRect.Left + 2, DRect.Top + 1, frBandName(BandType()));
  RestoreBounds();
}

Variant TfrBandView::GetProperty(TfrViewProperty property) const {
  if (!RunBand) return TfrView::GetProperty(property);
  switch (property) {
  case vpLeft: return Variant(RunBand->x);
  case vpTop: return Variant(RunBand->y);
  case vpWidth: return Variant(RunBand->dx);
  case vpHeight: return Variant(RunBand->dy);
  case vpVisible: return Variant(RunBand->Visible);
  default: return TfrView::GetProperty(property);
  }
}

void TfrBandView::SetProperty(TfrViewProperty property, const Variant &value) {
  if (!RunBand) {
    TfrView::SetProperty(property, value);
    return;
  }
  switch (property) {
  case vpLeft: RunBand->x = value.ToInt(); break;
  case vpTop: RunBand->y = value.ToInt(); break;
  case vpWidth: RunBand->dx = std::max(0, value.ToInt()); break;
  case vpHeight: RunBand->dy = std::max(0, value.ToInt()); break;
  case vpVisible: RunBand->Visible = value.ToBool(); break;
  default: TfrView::SetProperty(property, value); break;
  }
}

TfrSubReportView::TfrSubReportView() {
  Typ = gtSubReport;
  BaseName = QStringLiteral("SubReport");
}

void TfrSubReportView::Assign(const TfrView *source) {
  TfrView::Assign(source);
  if (auto subReport = dynamic_cast<const TfrSubReportView *>(source)) SubPage = subReport->SubPage;
}

void TfrSubReportView::Draw(TCanvas *canvas) {
  Canvas = canvas;
  ApplyScale();
  DrawBackground();
  DrawFrame();
  RestoreBounds();
}

void TfrSubReportView::LoadFromStream(TStream *stream) {
  TfrView::LoadFromStream(stream);
  SubPage = stream->ReadInt32();
}

void TfrSubReportView::SaveToStream(TStream *stream) {
  TfrView::SaveToStream(stream);
  stream->WriteInt32(SubPage);
}

TfrLineView::TfrLineView() {
  Typ = gtLine;
  BaseName = QStringLiteral("Line");
  FrameTyp = frbLeft;
}

void TfrLineView::Draw(TCanvas *canvas) {
  Canvas = canvas;
  if (Width <= Height) {
    Width = 0;
    FrameTyp = frbLeft;
  } else {
    Height = 0;
    FrameTyp = frbTop;
  }
  ApplyScale();
  DrawFrame();
  RestoreBounds();
}
