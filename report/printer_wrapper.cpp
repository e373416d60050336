#include "report/printer_wrapper.h"
#include "platform/graphics/printer.h"
#include <cmath>
#include <memory>

namespace {

// The standard papers by code, with the sizes Qt gives the same code (Folio, which Qt does not know, has
// its nominal 8 1/2 x 13 inches).
const TfrPaperInfo kPapers[frPaperCount] = {
    {1, "Letter, 8 1/2 x 11 in", 2159, 2794},
    {2, "Letter small, 8 1/2 x 11 in", 2159, 2794},
    {3, "Tabloid, 11 x 17 in", 2794, 4318},
    {4, "Ledger, 17 x 11 in", 4318, 2794},
    {5, "Legal, 8 1/2 x 14 in", 2159, 3556},
    {6, "Statement, 5 1/2 x 8 1/2 in", 1397, 2159},
    {7, "Executive, 7 1/4 x 10 1/2 in", 1842, 2667},
    {8, "A3, 297 x 420 mm", 2970, 4200},
    {9, "A4, 210 x 297 mm", 2100, 2970},
    {10, "A4 small, 210 x 297 mm", 2100, 2970},
    {11, "A5, 148 x 210 mm", 1480, 2100},
    {12, "B4 (JIS), 257 x 364 mm", 2570, 3640},
    {13, "B5 (JIS), 182 x 257 mm", 1820, 2570},
    {14, "Folio, 8 1/2 x 13 in", 2159, 3302},
    {15, "Quarto, 8 1/2 x 10.83 in", 2159, 2751},
    {16, "10 x 14 in", 2540, 3556},
    {17, "11 x 17 in", 2794, 4318},
    {18, "Note, 8 1/2 x 11 in", 2159, 2794},
    {19, "Envelope #9, 3 7/8 x 8 7/8 in", 984, 2254},
    {20, "Envelope #10, 4 1/8 x 9 1/2 in", 1048, 2413},
    {21, "Envelope #11, 4 1/2 x 10 3/8 in", 1143, 2635},
    {22, "Envelope #12, 4 3/4 x 11 in", 1207, 2794},
    {23, "Envelope #14, 5 x 11 1/2 in", 1270, 2921},
    {24, "C size sheet", 4572, 6096},
    {25, "D size sheet", 6096, 9144},
    {26, "E size sheet", 9144, 12190},
    {27, "Envelope DL, 110 x 220 mm", 1100, 2200},
    {28, "Envelope C5, 162 x 229 mm", 1620, 2290},
    {29, "Envelope C3, 324 x 458 mm", 3240, 4580},
    {30, "Envelope C4, 229 x 324 mm", 2290, 3240},
    {31, "Envelope C6, 114 x 162 mm", 1140, 1620},
    {32, "Envelope C65, 114 x 229 mm", 1140, 2290},
    {33, "Envelope B4, 250 x 353 mm", 2500, 3530},
    {34, "Envelope B5, 176 x 250 mm", 1760, 2500},
    {35, "Envelope B6, 176 x 125 mm", 1760, 1250},
    {36, "Envelope Italy, 110 x 230 mm", 1100, 2300},
    {37, "Envelope Monarch, 3 7/8 x 7 1/2 in", 984, 1905},
    {38, "6 3/4 Envelope, 3 5/8 x 6 1/2 in", 921, 1651},
    {39, "US standard fanfold, 14 7/8 x 11 in", 3778, 2794},
    {40, "German standard fanfold, 8 1/2 x 12 in", 2159, 3048},
    {41, "German legal fanfold, 8 1/2 x 13 in", 2159, 3300},
    {42, "B4 (ISO), 250 x 353 mm", 2500, 3530},
    {43, "Japanese postcard, 100 x 148 mm", 1000, 1480},
    {44, "9 x 11 in", 2286, 2794},
    {45, "10 x 11 in", 2540, 2794},
    {46, "15 x 11 in", 3810, 2794},
    {47, "Envelope invite, 220 x 220 mm", 2200, 2200},
    {50, "Letter extra, 9 1/2 x 12 in", 2413, 3048},
    {51, "Legal extra, 9 1/2 x 15 in", 2413, 3810},
    {52, "Tabloid extra, 12 x 18 in", 3048, 4572},
    {53, "A4 extra, 9.27 x 12.69 in", 2355, 3223},
    {54, "Letter transverse, 8 1/2 x 11 in", 2159, 2794},
    {55, "A4 transverse, 210 x 297 mm", 2100, 2970},
    {56, "Letter extra transverse, 9 1/2 x 12 in", 2413, 3048},
    {57, "Super A, 227 x 356 mm", 2270, 3560},
    {58, "Super B, 305 x 487 mm", 3050, 4870},
    {59, "Letter plus, 8 1/2 x 12.69 in", 2159, 3223},
    {60, "A4 plus, 210 x 330 mm", 2100, 3300},
    {61, "A5 transverse, 148 x 210 mm", 1480, 2100},
    {62, "B5 (JIS) transverse, 182 x 257 mm", 1820, 2570},
    {63, "A3 extra, 322 x 445 mm", 3220, 4450},
    {64, "A5 extra, 174 x 235 mm", 1740, 2350},
    {65, "B5 (ISO) extra, 201 x 276 mm", 2010, 2760},
    {66, "A2, 420 x 594 mm", 4200, 5940},
    {67, "A3 transverse, 297 x 420 mm", 2970, 4200},
    {68, "A3 extra transverse, 322 x 445 mm", 3220, 4450},
    {frCustomPaperSize, "Custom size", 0, 0},
};

// Values are converted as the class library rounds: halves to the even neighbour.
int RoundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

int ToUnits(int pixels, int pixelsPerInch, double unitsPerInch) {
  return pixelsPerInch > 0 ? RoundEven(pixels * unitsPerInch / pixelsPerInch) : 0;
}

std::unique_ptr<TfrPrinter> &Instance() {
  static std::unique_ptr<TfrPrinter> printer;
  return printer;
}

} // namespace

const TfrPaperInfo &frPaperInfo(int index) {
  if (index < 0 || index >= frPaperCount) throw ERangeError(QStringLiteral("Paper index out of range"));
  return kPapers[index];
}

int frPaperIndex(int code) {
  for (int i = 0; i < frPaperCount; ++i)
    if (kPapers[i].Typ == code) return i;
  return -1;
}

TfrPrinter::TfrPrinter(TPrinter *printer) { AttachPlatformPrinter(printer); }

void TfrPrinter::AttachPlatformPrinter(TPrinter *printer) {
  printer_ = printer;
  virtual_ = printer_ == nullptr || printer_->Printers().isEmpty();
  forgotten_ = false;
}

QStringList TfrPrinter::Printers() const {
  QStringList names;
  if (printer_) names = printer_->Printers();
  names << VirtualPrinterName();
  return names;
}

int TfrPrinter::VirtualIndex() const { return printer_ ? int(printer_->Printers().size()) : 0; }

int TfrPrinter::PrinterIndex() const { return virtual_ ? VirtualIndex() : printer_->PrinterIndex(); }

void TfrPrinter::SelectPrinter(int index) {
  if (index == VirtualIndex()) {
    virtual_ = true;
    SetVirtualPaper(paperSize_, paperWidth_, paperHeight_, orientation_);
    return;
  }
  if (!printer_ || index < 0 || index >= VirtualIndex())
    throw EPrinter(QStringLiteral("Printer index out of range"));
  printer_->SetPrinterIndex(index);
  virtual_ = false;
}

bool TfrPrinter::SelectPrinterByName(const QString &name) {
  const int index = int(Printers().indexOf(name));
  if (index < 0) return false;
  SelectPrinter(index);
  return true;
}

QStringList TfrPrinter::PaperNames() const {
  QStringList names;
  if (virtual_) {
    for (const TfrPaperInfo &paper : kPapers) names << QString::fromLatin1(paper.Name);
    return names;
  }
  for (const TPaperInfo &paper : printer_->Papers()) {
    if (names.size() == 256) break;
    names << paper.name;
  }
  return names;
}

QList<int> TfrPrinter::PaperCodes() const {
  QList<int> codes;
  if (virtual_) {
    for (const TfrPaperInfo &paper : kPapers) codes << paper.Typ;
    return codes;
  }
  for (const TPaperInfo &paper : printer_->Papers()) {
    if (codes.size() == 256) break;
    codes << paper.code;
  }
  return codes;
}

int TfrPrinter::PaperSize() const { return virtual_ ? paperSize_ : printer_->PaperSize(); }

int TfrPrinter::Orientation() const {
  if (virtual_) return orientation_;
  return printer_->Orientation() == poLandscape ? frLandscape : frPortrait;
}

// A real printer's paper size is its whole sheet, measured on the device as the printer lays it out.
int TfrPrinter::PaperWidth() const {
  if (virtual_) return paperWidth_;
  const int dpi = printer_->DeviceCaps(LOGPIXELSX);
  return dpi > 0 ? RoundEven(printer_->DeviceCaps(PHYSICALWIDTH) * 254.0 / dpi) : 0;
}

int TfrPrinter::PaperHeight() const {
  if (virtual_) return paperHeight_;
  const int dpi = printer_->DeviceCaps(LOGPIXELSY);
  return dpi > 0 ? RoundEven(printer_->DeviceCaps(PHYSICALHEIGHT) * 254.0 / dpi) : 0;
}

bool TfrPrinter::SamePaper(int code, int width, int height, int orientation) const {
  if (forgotten_ || code != PaperSize()) return false;
  if (code == frCustomPaperSize)
    return width == PaperWidth() && height == PaperHeight() && orientation == Orientation();
  return orientation == Orientation();
}

void TfrPrinter::ApplyPaper(int code, int width, int height, int orientation) {
  orientation = orientation == frLandscape ? frLandscape : frPortrait;
  if (SamePaper(code, width, height, orientation)) return;
  forgotten_ = false;
  if (virtual_)
    SetVirtualPaper(code, width, height, orientation);
  else
    WritePlatformPaper(code, width, height, orientation);
}

void TfrPrinter::SetVirtualPaper(int code, int width, int height, int orientation) {
  const int index = frPaperIndex(code);
  if (index >= 0 && code != frCustomPaperSize) {
    width = kPapers[index].X;
    height = kPapers[index].Y;
    if (orientation == frLandscape) std::swap(width, height);
  } else if (width <= 0 || height <= 0) {
    // A custom or unknown paper without a size: fall back to the default page.
    code = frDefaultPaperSize;
    width = 2100;
    height = 2970;
    if (orientation == frLandscape) std::swap(width, height);
  } else if (index < 0) {
    code = frCustomPaperSize; // an unknown code keeps its size as a custom paper
  }
  paperSize_ = code;
  paperWidth_ = width;
  paperHeight_ = height;
  orientation_ = orientation;
}

void TfrPrinter::WritePlatformPaper(int code, int width, int height, int orientation) {
  const TPrinterOrientation platformOrientation = orientation == frLandscape ? poLandscape : poPortrait;
  // The platform takes a portrait size and turns it; the sizes given here are those of the page as laid out.
  auto writeCustom = [&](int w, int h) {
    // Sizes beyond any sheet (10 metres) come only from damaged data: the printer keeps its paper.
    constexpr int largest = 100000;
    if (w <= 0 || h <= 0 || w > largest || h > largest || !printer_->SupportsCustomPaper()) return;
    if (orientation == frLandscape) std::swap(w, h);
    printer_->SetCustomPaperSize(w, h);
  };
  bool offered = false;
  for (const TPaperInfo &paper : printer_->Papers())
    if (paper.code == code) offered = true;
  if (code == frCustomPaperSize) {
    writeCustom(width, height);
  } else if (offered) {
    printer_->SetPaperSize(code);
  } else if (const int index = frPaperIndex(code); index >= 0) {
    // A standard paper the printer does not list: ask for its size.
    int w = kPapers[index].X, h = kPapers[index].Y;
    if (orientation == frLandscape) std::swap(w, h);
    writeCustom(w, h);
  } else {
    writeCustom(width, height);
  }
  printer_->SetOrientation(platformOrientation);
}

void TfrPrinter::GetPageMetrics(TfrPrnInfo &info) const {
  info = TfrPrnInfo{};
  if (virtual_) {
    info.Pgw = RoundEven(paperWidth_ * frUnitsPerInchX / 254);
    info.Pgh = RoundEven(paperHeight_ * frUnitsPerInchY / 254);
    info.Ofx = RoundEven(50 * frUnitsPerInchX / 254);
    info.Ofy = RoundEven(50 * frUnitsPerInchY / 254);
    info.Pw = info.Pgw - 2 * info.Ofx;
    info.Ph = info.Pgh - 2 * info.Ofy;
    return;
  }
  const int dpiX = printer_->DeviceCaps(LOGPIXELSX);
  const int dpiY = printer_->DeviceCaps(LOGPIXELSY);
  info.PPgw = printer_->DeviceCaps(PHYSICALWIDTH);
  info.PPgh = printer_->DeviceCaps(PHYSICALHEIGHT);
  info.POfx = printer_->DeviceCaps(PHYSICALOFFSETX);
  info.POfy = printer_->DeviceCaps(PHYSICALOFFSETY);
  info.PPw = printer_->DeviceCaps(HORZRES);
  info.PPh = printer_->DeviceCaps(VERTRES);
  info.Pgw = ToUnits(info.PPgw, dpiX, frUnitsPerInchX);
  info.Pgh = ToUnits(info.PPgh, dpiY, frUnitsPerInchY);
  info.Ofx = ToUnits(info.POfx, dpiX, frUnitsPerInchX);
  info.Ofy = ToUnits(info.POfy, dpiY, frUnitsPerInchY);
  info.Pw = ToUnits(info.PPw, dpiX, frUnitsPerInchX);
  info.Ph = ToUnits(info.PPh, dpiY, frUnitsPerInchY);
}

TfrPrinter *ReportPrinter() {
  auto &printer = Instance();
  if (!printer) printer = std::make_unique<TfrPrinter>(Printer());
  return printer.get();
}

void BindReportPrinter(TPrinter *printer) {
  auto &instance = Instance();
  if (instance)
    instance->AttachPlatformPrinter(printer);
  else
    instance = std::make_unique<TfrPrinter>(printer);
}

void FreeReportPrinter() { Instance().reset(); }
