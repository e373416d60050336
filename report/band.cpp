#include "report/band.h"
#include "report/band_view.h"
#include "report/report_dataset.h"

TfrBand::TfrBand(TfrPage *Page, TfrBandView *View, bool SubReportPage) : Page(Page), View(View) {
  View->RunBand = this;
  Typ = View->BandType();
  Flags = View->Flags;
  Visible = View->Visible;
  x = View->Left;
  y = View->Top;
  dx = View->Width;
  dy = View->Height;
  maxdy = dy;
  Script.Assign(&View->Script);
  Stretched = Flags & flStretched;
  PrintIfSubsetEmpty = Flags & flBandPrintIfSubsetEmpty;
  RepeatHeader = Flags & flBandRepeatHeader;
  if (!SubReportPage) {
    NewPageAfter = Flags & flBandNewPageAfter;
    AllowSplit = Flags & flBandBreaked;
  }
}

TfrBand::~TfrBand() {
  if (View && View->RunBand == this) View->RunBand = nullptr;
}

QString TfrBand::BandName() const { return View ? View->Name : QString(); }

void TfrBand::ClearAggregates() {
  Values.Clear();
  Count = 0;
}

void TfrBand::SetOwnedDataSet(std::unique_ptr<TfrDataset> DataSet) {
  ownedDataSet_ = std::move(DataSet);
  this->DataSet = ownedDataSet_.get();
}
