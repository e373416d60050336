#include "platform/graphics/printer.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <cmath>
#include <utility>

namespace {

TPaperInfo PaperOf(const QPageSize &size) {
  const QSizeF mm = size.size(QPageSize::Millimeter);
  return {size.windowsId(), size.name(), int(std::lround(mm.width() * 10)),
          int(std::lround(mm.height() * 10))};
}

QPageSize PageSizeOf(const TPaperInfo &paper) {
  if (paper.code != DMPAPER_USER) {
    const QPageSize::PageSizeId id = QPageSize::id(paper.code);
    if (id != QPageSize::Custom) return QPageSize(id);
  }
  return QPageSize(QSizeF(paper.width / 10.0, paper.height / 10.0), QPageSize::Millimeter,
                   QStringLiteral("Custom"), QPageSize::ExactMatch);
}

QList<TPaperInfo> PapersOf(const QList<QPageSize> &sizes) {
  QList<TPaperInfo> papers;
  for (const QPageSize &size : sizes) {
    const TPaperInfo paper = PaperOf(size);
    if (paper.code <= 0 || paper.code >= DMPAPER_USER) continue;
    if (std::any_of(papers.begin(), papers.end(), [&](const TPaperInfo &p) { return p.code == paper.code; }))
      continue;
    papers.append(paper);
  }
  std::sort(papers.begin(), papers.end(),
            [](const TPaperInfo &a, const TPaperInfo &b) { return a.code < b.code; });
  return papers;
}

// The printers the system reports through Qt.
class SystemPrinters : public TPrinterSystem {
public:
  QStringList PrinterNames() const override { return QPrinterInfo::availablePrinterNames(); }
  QString DefaultPrinterName() const override { return QPrinterInfo::defaultPrinterName(); }

  TPrinterDescription Describe(const QString &name) const override {
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    TPrinterDescription d;
    d.name = name;
    d.papers = PapersOf(info.supportedPageSizes());
    if (d.papers.isEmpty()) d.papers = StandardPapers();
    const int defaultCode = info.defaultPageSize().windowsId();
    d.defaultPaper = defaultCode > 0 && defaultCode < DMPAPER_USER ? defaultCode : DMPAPER_A4;
    d.customPaper = info.supportsCustomPageSizes();
    const QList<int> resolutions = info.supportedResolutions();
    d.resolution = resolutions.contains(600) || resolutions.isEmpty() ? 600 : resolutions.last();
    return d;
  }

  std::unique_ptr<QPrinter> CreatePrinter(const QString &name) const override {
    auto printer = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(name), QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::NativeFormat);
    return printer;
  }
};

std::unique_ptr<TPrinter> &Instance() {
  static std::unique_ptr<TPrinter> printer;
  return printer;
}

} // namespace

const QList<TPaperInfo> &StandardPapers() {
  static const QList<TPaperInfo> papers = [] {
    QList<QPageSize> sizes;
    for (int id = 0; id <= QPageSize::LastPageSize; ++id) sizes.append(QPageSize(QPageSize::PageSizeId(id)));
    return PapersOf(sizes);
  }();
  return papers;
}

std::optional<TPaperInfo> StandardPaper(int code) {
  for (const TPaperInfo &paper : StandardPapers())
    if (paper.code == code) return paper;
  return std::nullopt;
}

std::unique_ptr<TPrinterSystem> CreateSystemPrinters() { return std::make_unique<SystemPrinters>(); }

QString SafeFileName(const QString &title) {
  QString name = title;
  name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]")), QStringLiteral("_"));
  name = name.trimmed();
  return name.isEmpty() ? QStringLiteral("Document") : name;
}

// ---- scripted printers ----

QStringList TScriptedPrinterSystem::PrinterNames() const {
  QStringList names;
  for (const auto &p : printers_) names << p.name;
  return names;
}

TPrinterDescription TScriptedPrinterSystem::Describe(const QString &name) const {
  for (const auto &p : printers_)
    if (p.name == name) return p;
  return {};
}

std::unique_ptr<QPrinter> TScriptedPrinterSystem::CreatePrinter(const QString &name) const {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setResolution(Describe(name).resolution);
  return printer;
}

QString TScriptedPrinterSystem::JobOutputFile(const QString &name) const {
  const QString file =
      QDir(folder_).filePath(QStringLiteral("%1 %2.pdf").arg(SafeFileName(name)).arg(jobs_.size() + 1));
  jobs_ << file;
  return file;
}

// ---- TPrinter ----

TPrinter::TPrinter(std::unique_ptr<TPrinterSystem> system) : system_(std::move(system)) { ReadPrinters(); }

TPrinter::~TPrinter() {
  if (printing_) Abort();
  canvas_.SetDevice(nullptr);
  canvas_.SetMeasureDevice(nullptr);
}

void TPrinter::CheckNotPrinting() const {
  if (printing_) throw EPrinter(QStringLiteral("Printing in progress"));
}

void TPrinter::SetPrinterSystem(std::unique_ptr<TPrinterSystem> system) {
  CheckNotPrinting();
  system_ = std::move(system);
  ReadPrinters();
}

void TPrinter::ReadPrinters() {
  printers_ = system_->PrinterNames();
  printers_.removeAll(PdfPrinterName()); // the name belongs to our own PDF printer
  printers_ << PdfPrinterName();
  const QString name = system_->DefaultPrinterName();
  int index = name.isEmpty() ? -1 : int(printers_.indexOf(name));
  if (index < 0) index = printers_.size() > 1 ? 0 : int(printers_.size() - 1);
  Select(index);
}

void TPrinter::SetPrinterIndex(int index) {
  CheckNotPrinting();
  if (index == -1) {
    const QString name = system_->DefaultPrinterName();
    index = name.isEmpty() ? -1 : int(printers_.indexOf(name));
    if (index < 0) index = printers_.size() > 1 ? 0 : int(printers_.size() - 1);
  }
  if (index < 0 || index >= printers_.size()) throw EPrinter(QStringLiteral("Printer index out of range"));
  if (index == index_ && qprinter_) return;
  Select(index);
}

TPrinterDescription TPrinter::Description() const {
  if (IsPdfPrinter()) {
    TPrinterDescription d;
    d.name = PdfPrinterName();
    d.papers = StandardPapers();
    d.defaultPaper =
        QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? DMPAPER_LETTER : DMPAPER_A4;
    d.customPaper = true;
    d.resolution = 600;
    return d; // no unprintable margins
  }
  return system_->Describe(PrinterName());
}

void TPrinter::Select(int index) {
  index_ = index;
  // A newly selected printer starts from its own defaults, as a printer's settings are its own.
  const TPrinterDescription d = Description();
  paper_ = TPaperInfo{};
  for (const TPaperInfo &p : d.papers)
    if (p.code == d.defaultPaper) paper_ = p;
  if (paper_.code == 0) paper_ = d.papers.isEmpty() ? *StandardPaper(DMPAPER_A4) : d.papers.first();
  orientation_ = poPortrait;
  CreateQPrinter();
}

void TPrinter::CreateQPrinter() {
  canvas_.SetMeasureDevice(nullptr);
  if (IsPdfPrinter()) {
    qprinter_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    qprinter_->setOutputFormat(QPrinter::PdfFormat);
    qprinter_->setResolution(600);
  } else {
    qprinter_ = system_->CreatePrinter(PrinterName());
  }
  ApplyLayout();
}

void TPrinter::ApplyLayout() {
  const TPrinterDescription d = Description();
  QPageLayout layout(PageSizeOf(paper_),
                     orientation_ == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                     d.minimumMargins, QPageLayout::Millimeter, d.minimumMargins);
  qprinter_->setFullPage(false);
  qprinter_->setPageLayout(layout);
  // Qt may have widened the margins to the device's own minimum.
  if (!IsPdfPrinter())
    qprinter_->setPageMargins(qprinter_->pageLayout().minimumMargins(), QPageLayout::Millimeter);
  canvas_.SetMeasureDevice(qprinter_.get());
}

QList<TPaperInfo> TPrinter::Papers() const { return Description().papers; }

bool TPrinter::SupportsCustomPaper() const { return Description().customPaper; }

void TPrinter::SetPaperSize(int code) {
  if (code == DMPAPER_USER) {
    SetCustomPaperSize(paper_.width, paper_.height);
    return;
  }
  const QList<TPaperInfo> papers = Papers();
  auto it = std::find_if(papers.begin(), papers.end(), [&](const TPaperInfo &p) { return p.code == code; });
  if (it == papers.end())
    throw EPrinter(QStringLiteral("The printer \"%1\" has no paper of size %2").arg(PrinterName()).arg(code));
  if (code == paper_.code) return;
  paper_ = *it;
  ApplyLayout();
}

void TPrinter::SetCustomPaperSize(int width, int height) {
  if (width <= 0 || height <= 0)
    throw EPrinter(QStringLiteral("A custom paper size needs a width and a height above zero"));
  if (!SupportsCustomPaper())
    throw EPrinter(QStringLiteral("The printer \"%1\" does not take custom paper sizes").arg(PrinterName()));
  paper_ = {DMPAPER_USER, QStringLiteral("Custom"), width, height};
  ApplyLayout();
}

void TPrinter::SetOrientation(TPrinterOrientation orientation) {
  if (orientation == orientation_) return;
  orientation_ = orientation;
  ApplyLayout();
}

int TPrinter::DeviceCaps(int index) const { return ::DeviceCaps(qprinter_.get(), index); }

void TPrinter::BeginDoc() {
  CheckNotPrinting();
  // Each job gets a fresh Qt printer set up like the last one.
  CreateQPrinter();
  qprinter_->setDocName(title_);
  qprinter_->setCopyCount(copies_);
  if (IsPdfPrinter()) {
    // The name the user chose serves this job only.
    outputFileName_ = std::exchange(pdfFileName_, QString());
    if (outputFileName_.isEmpty()) throw EPrinter(QStringLiteral("No file was chosen for the PDF"));
    const QFileInfo file(outputFileName_);
    if (file.isRelative() || !file.dir().exists())
      throw EPrinter(
          QStringLiteral("Cannot write the PDF file \"%1\": its folder does not exist").arg(outputFileName_));
    qprinter_->setOutputFileName(outputFileName_);
  } else {
    const QString file = system_->JobOutputFile(PrinterName());
    if (!file.isEmpty()) qprinter_->setOutputFileName(file);
    outputFileName_ = qprinter_->outputFileName();
  }
  canvas_.SetDevice(qprinter_.get());
  try {
    canvas_.Handle(); // begins the job
  } catch (const Exception &) {
    canvas_.SetDevice(nullptr);
    throw EPrinter(IsPdfPrinter() ? QStringLiteral("Cannot write the PDF file \"%1\"").arg(outputFileName_)
                                  : QStringLiteral("The printer \"%1\" cannot print").arg(PrinterName()));
  }
  printing_ = true;
  aborted_ = false;
  pageNumber_ = 1;
}

void TPrinter::NewPage() {
  if (!printing_) throw EPrinter(QStringLiteral("Printer is not currently printing"));
  if (!qprinter_->newPage())
    throw EPrinter(QStringLiteral("The printer \"%1\" cannot start a new page").arg(PrinterName()));
  ++pageNumber_;
}

void TPrinter::EndDoc() {
  if (!printing_) throw EPrinter(QStringLiteral("Printer is not currently printing"));
  const bool finished = canvas_.Handle()->end();
  canvas_.SetDevice(nullptr);
  canvas_.SetMeasureDevice(qprinter_.get());
  printing_ = false;
  pageNumber_ = 0;
  if (!finished)
    throw EPrinter(IsPdfPrinter()
                       ? QStringLiteral("Cannot write the PDF file \"%1\"").arg(outputFileName_)
                       : QStringLiteral("The printer \"%1\" could not finish the job").arg(PrinterName()));
  if (IsPdfPrinter() && QFileInfo(outputFileName_).size() == 0)
    throw EPrinter(QStringLiteral("Cannot write the PDF file \"%1\"").arg(outputFileName_));
}

void TPrinter::Abort() {
  if (!printing_) return;
  qprinter_->abort();
  canvas_.SetDevice(nullptr);
  canvas_.SetMeasureDevice(qprinter_.get());
  printing_ = false;
  aborted_ = true;
  pageNumber_ = 0;
  if (IsPdfPrinter() && !outputFileName_.isEmpty()) QFile::remove(outputFileName_);
}

TPrinter *Printer() {
  auto &printer = Instance();
  if (!printer) printer = std::make_unique<TPrinter>();
  return printer.get();
}

void FreePrinter() { Instance().reset(); }
