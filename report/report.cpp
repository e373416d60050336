#include "report/report.h"
#include "platform/core/number_format.h"
#include "platform/core/streams.h"
#include "platform/data/dataset.h"
#include "platform/data/fields.h"
#include "platform/graphics/printer.h"
#include "platform/windowing/application.h"
#include "platform/windowing/system_services.h"
#include "report/engine.h"
#include "report/export_filter.h"
#include "report/function_library.h"
#include "report/model_state.h"
#include "report/page_builder.h"
#include "report/parser.h"
#include "report/report_dataset.h"
#include "report/report_hooks.h"
#include "report/variables.h"
#include "report/xml_export.h"
#include <QFileInfo>
#include <QTemporaryFile>
#include <cstdio>

namespace {

// Points the report's progress window at a window for a scope.
class ProgressScope {
public:
  ProgressScope(TfrProgressWindow *&slot, TfrProgressWindow *window) : slot_(slot), saved_(slot) {
    slot_ = window;
  }
  ~ProgressScope() { slot_ = saved_; }
  ProgressScope(const ProgressScope &) = delete;
  ProgressScope &operator=(const ProgressScope &) = delete;

private:
  TfrProgressWindow *&slot_;
  TfrProgressWindow *saved_;
};

// The text a user function's value is spliced into an expression as.
QString FunctionResultText(const Variant &Value) {
  if (Value.IsEmpty() || Value.IsNull()) return QString();
  if (Value.IsString()) return QLatin1Char('\'') + Value.ToString() + QLatin1Char('\'');
  return frNumberText(Value.ToDouble());
}

} // namespace

// ---- page lists ----

QList<int> frParsePageList(const QString &Text, int PageCount) {
  QString text = Text;
  text.remove(QLatin1Char(' '));
  text.remove(QLatin1Char('\t'));
  QList<int> pages;
  if (text.isEmpty()) return pages;
  auto number = [&](const QString &part) {
    bool ok = false;
    const int value = part.toInt(&ok);
    if (part.isEmpty() || !ok || !std::all_of(part.begin(), part.end(), [](QChar c) { return c.isDigit(); }))
      throw EfrReportError(QStringLiteral("\"%1\" is not a page number").arg(part));
    if (value < 1 || value > PageCount)
      throw EfrReportError(
          QStringLiteral("There is no page %1: the report has %2 page(s)").arg(value).arg(PageCount));
    return value;
  };
  for (const QString &item : text.split(QLatin1Char(','))) {
    if (item.isEmpty())
      throw EfrReportError(QStringLiteral("The page list \"%1\" has an empty entry").arg(Text));
    const qsizetype dash = item.indexOf(QLatin1Char('-'));
    if (dash < 0) {
      pages.append(number(item));
      continue;
    }
    const int from = number(item.left(dash));
    const int to = number(item.mid(dash + 1));
    if (to < from) throw EfrReportError(QStringLiteral("The page range \"%1\" runs backwards").arg(item));
    for (int page = from; page <= to; ++page) pages.append(page);
  }
  return pages;
}

// ---- the component ----

TfrReport::TfrReport(TComponent *AOwner) : TComponent(AOwner) {
  emfPages_.OnPageAdded = [this](int index) {
    if (OnBeginPage) OnBeginPage(index);
  };
}

TfrReport::~TfrReport() {
  if (ReportEngineStarted() && frEngine().CurReport == this) frEngine().CurReport = nullptr;
}

void TfrReport::Notification(TComponent *AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == dataset_) dataset_ = nullptr;
  if (AComponent && AComponent == previewComponent_) {
    preview_ = nullptr;
    previewComponent_ = nullptr;
  }
}

void TfrReport::SetDataset(TfrDataset *Value) {
  if (dataset_ == Value) return;
  if (dataset_) dataset_->RemoveFreeNotification(this);
  dataset_ = Value;
  if (dataset_) dataset_->FreeNotification(this);
}

void TfrReport::SetPreview(TfrPreviewPanel *Value) {
  if (previewComponent_) previewComponent_->RemoveFreeNotification(this);
  preview_ = Value;
  previewComponent_ = Value ? Value->PreviewComponent() : nullptr;
  if (previewComponent_) previewComponent_->FreeNotification(this);
}

void TfrReport::MakeCurrent() {
  frEngine().CurReport = this;
  frModel().DocMode = dmPrinting;
}

// ---- the template ----

void TfrReport::LoadTemplateFromDataset(TDataSet *DataSet, int Number) {
  if (!DataSet)
    throw EfrReportError(QStringLiteral("There is no dataset to load report template %1 from").arg(Number));
  if (!DataSet->Active()) DataSet->Open();
  if (DataSet->FieldCount() < 2)
    throw EfrReportError(QStringLiteral("The dataset \"%1\" has no template field").arg(DataSet->Name()));
  DataSet->First();
  while (!DataSet->Eof()) {
    TField *key = DataSet->Fields()->Fields(0);
    int value = 0;
    if (!key->IsNull() && TryStrToInt(key->AsString().trimmed(), value) && value == Number) break;
    DataSet->Next();
  }
  if (DataSet->Eof())
    throw EfrReportError(QStringLiteral("There is no report template number %1").arg(Number));
  auto blob = dynamic_cast<TBlobField *>(DataSet->Fields()->Fields(1));
  if (!blob)
    throw EfrReportError(
        QStringLiteral("The dataset \"%1\" keeps no template in its second field").arg(DataSet->Name()));
  TMemoryStream stream;
  blob->SaveToStream(&stream);
  stream.SetPosition(0);
  LoadFromStream(&stream);
}

void TfrReport::LoadFromStream(TStream *Stream) { model_.LoadFromStream(Stream); }

void TfrReport::SaveToStream(TStream *Stream) {
  if (XmlMode)
    SaveReportAsXml(this, Stream);
  else
    model_.SaveToStream(Stream);
}

TfrView *TfrReport::FindObject(const QString &Name) const { return model_.FindObject(Name); }

// ---- preparing ----

void TfrReport::SetError(const QString &Text) {
  errorFlag_ = true;
  errorText_ = Text;
  terminated_ = true;
}

bool TfrReport::PrepareReport() {
  MakeCurrent();
  dateTime_ = Now();
  Values().Sort();
  TfrParser *parser = ReportParser();
  parser->OnGetValue = TGetPValueEvent(this, &TfrReport::GetVariableValue);
  parser->OnFunction = TFunctionEvent(this, &TfrReport::EvalFunction);
  if (OnBeginDoc) OnBeginDoc();
  bool ok = false;
  try {
    ok = RunPasses();
  } catch (const Exception &e) {
    finalPass_ = false;
    frModel().FirstPass = false;
    emfPages_.Clear();
    errorFlag_ = true;
    errorText_ = e.Message();
    throw;
  } catch (...) {
    finalPass_ = false;
    frModel().FirstPass = false;
    emfPages_.Clear();
    throw;
  }
  finalPass_ = false;
  if (OnEndDoc) OnEndDoc();
  if (!ok || errorFlag_) {
    // A cancelled or failed build leaves nothing that could pass for a complete report.
    emfPages_.Clear();
    return false;
  }
  return true;
}

QString TfrReport::ProgressCaption() const {
  const QString preparing = QStringLiteral("Report preparing");
  return Title.isEmpty() ? preparing : Title + QStringLiteral(" - ") + preparing;
}

bool TfrReport::RunWithProgress(const QString &LabelText, const std::function<void()> &Step) {
  progressLabel_ = LabelText;
  if (OnProgress || !ShowProgress) {
    Step();
    return !terminated_;
  }
  std::unique_ptr<TfrProgressWindow> window = frCreateProgressWindow();
  ProgressScope scope(progress_, window.get());
  window->SetCaption(ProgressCaption());
  window->SetLabel(LabelText + QStringLiteral("  1"));
  const TModalResult result = window->Execute(Step, [this] { terminated_ = true; });
  return result != mrCancel && !terminated_;
}

bool TfrReport::RunPasses() {
  terminated_ = false;
  frModel().FirstPass = false;
  firstPassTerminated_ = false;
  finalPass_ = true;
  totalPages_ = 0;
  progressShowsTotal_ = false;
  emfPages_.Clear();
  const bool doublePass = DoublePass();
  return RunWithProgress(doublePass ? QStringLiteral("Performing 1st pass:")
                                    : QStringLiteral("Processing page:"),
                         [this] { PrepareStep(); });
}

// The work of the progress window: one pass, or both passes of a double-pass report, where the first only
// measures so that the final one knows the page total.
void TfrReport::PrepareStep() {
  try {
    if (DoublePass()) {
      frModel().FirstPass = true;
      finalPass_ = false;
      BuildPages();
      frModel().FirstPass = false;
      firstPassTerminated_ = terminated_;
      totalPages_ = emfPages_.Count();
      if (!terminated_) {
        emfPages_.Clear();
        finalPass_ = true;
        progressLabel_ = QStringLiteral("Processing page:");
        progressShowsTotal_ = true;
        progressTotal_ = totalPages_;
        BuildPages();
      }
    } else {
      finalPass_ = true;
      BuildPages();
    }
  } catch (...) {
    frModel().FirstPass = false;
    if (progress_) progress_->Close(mrCancel);
    throw;
  }
  frModel().FirstPass = false;
  if (progress_) progress_->Close(terminated_ ? mrCancel : mrOk);
}

void TfrReport::BuildPages() {
  MakeCurrent();
  TfrPageBuilder builder(this);
  TfrPageBuilder *const saved = builder_;
  builder_ = &builder;
  try {
    builder.Build();
  } catch (...) {
    builder_ = saved;
    throw;
  }
  builder_ = saved;
}

void TfrReport::ShowProgressPage(int PageNo) {
  if (OnProgress) {
    OnProgress(PageNo);
  } else if (progress_) {
    QString text = progressLabel_ + QStringLiteral("  ") + QString::number(PageNo);
    if (progressShowsTotal_) text += QStringLiteral(" from ") + QString::number(progressTotal_);
    progress_->SetLabel(text);
  }
  Application()->ProcessMessages();
}

void TfrReport::GetVariableValue(const QString &Name, Variant &Value) {
  if (builder_) {
    builder_->GetValue(Name, Value);
    return;
  }
  Value = Variant();
  if (OnGetValue) {
    OnGetValue(Name, Value);
    if (!Value.IsEmpty()) return;
  }
  TfrVariables *variables = ReportVariables();
  if (const int index = variables->IndexOf(Name); index >= 0) Value = variables->Value(index);
}

void TfrReport::EvalFunction(const QString &Name, const Variant &P1, const Variant &P2, const Variant &P3,
                             QString &Result) {
  if (frCallFunctionLibraries(Name, P1, P2, P3, Result)) return;
  if (OnUserFunction) {
    Variant value;
    OnUserFunction(Name, P1, P2, P3, value);
    Result = FunctionResultText(value);
  }
}

// ---- showing ----

bool TfrReport::ShowReport() {
  bool ok = false;
  try {
    ok = PrepareReport();
  } catch (const Exception &) {
    ok = false;
  }
  if (errorFlag_) {
    MessageBox(0, errorText_, QStringLiteral("Error"), MB_OK | MB_ICONERROR);
    emfPages_.Clear();
    return false;
  }
  if (!ok) return false;
  ShowPreparedReport();
  return true;
}

void TfrReport::ShowPreparedReport() {
  MakeCurrent();
  if (emfPages_.Count() == 0) return;
  const QString preview = QStringLiteral("Preview");
  const QString caption = Title.isEmpty() ? preview : Title + QStringLiteral(" - ") + preview;
  if (!ComponentState().Contains(csDesigning) && preview_)
    preview_->ShowReport(this);
  else
    frOpenPreviewWindow(this, caption);
}

// ---- printing ----

bool TfrReport::PrintPreparedReport(const QString &PageNumbers, int Copies) {
  MakeCurrent();
  terminated_ = false;
  // The list is checked before anything is sent to the printer.
  const QList<int> pages = frParsePageList(PageNumbers, emfPages_.Count());
  if (emfPages_.Count() == 0) return true;
  TfrPrinter *wrapper = ReportPrinter();
  if (wrapper->IsVirtual() || !wrapper->PlatformPrinter())
    throw EfrReportError(QStringLiteral("There is no printer to print the report on"));
  const int copies = std::max(1, Copies);
  const bool ok =
      RunWithProgress(QStringLiteral("Printing page:"), [this, &pages, copies] { PrintLoop(pages, copies); });
  terminated_ = false;
  return ok;
}

void TfrReport::PrintLoop(const QList<int> &Pages, int Copies) {
  TfrPrinter *wrapper = ReportPrinter();
  TPrinter *printer = wrapper->PlatformPrinter();
  TfrPageInfo &first = emfPages_[0];
  wrapper->ApplyPaper(first.pgSize, first.pgWidth, first.pgHeight, first.pgOr);
  first.PrnInfo = wrapper->PageMetrics();
  const QString title = Title.isEmpty() ? QStringLiteral("Untitled") : Title;
  // Copies are for paper: a PDF file holds the document once, under the report's own title.
  if (printer->IsPdfPrinter()) Copies = 1;
  printer->SetTitle(printer->IsPdfPrinter() ? title : QStringLiteral("Reportwell: ") + title);
  printer->BeginDoc();
  try {
    bool firstOfRun = true;
    for (int i = 0; i < emfPages_.Count() && !terminated_; ++i) {
      if (!Pages.isEmpty() && !Pages.contains(i + 1)) continue;
      for (int copy = 0; copy < Copies && !terminated_; ++copy) {
        PrintPage(i, firstOfRun);
        firstOfRun = false;
      }
    }
  } catch (...) {
    printer->Abort();
    if (progress_) progress_->Close(mrCancel);
    throw;
  }
  if (terminated_) {
    printer->Abort();
    return;
  }
  printer->EndDoc();
  if (progress_) progress_->Close(mrOk);
}

// A page on other paper than the one before it changes the paper for the sheets that follow, within the
// same job, so that every page of the run ends up in one document.
void TfrReport::PrintPage(int Index, bool FirstOfRun) {
  TfrPrinter *wrapper = ReportPrinter();
  TPrinter *printer = wrapper->PlatformPrinter();
  TfrPageInfo &info = emfPages_[Index];
  if (!wrapper->SamePaper(info.pgSize, info.pgWidth, info.pgHeight, info.pgOr))
    wrapper->ApplyPaper(info.pgSize, info.pgWidth, info.pgHeight, info.pgOr);
  if (!FirstOfRun) printer->NewPage();
  info.PrnInfo = wrapper->PageMetrics();
  const TfrPrnInfo &p = info.PrnInfo;
  const TRect target =
      info.pgMargins ? Rect(-p.POfx, -p.POfy, p.PPgw - p.POfx, p.PPgh - p.POfy) : Rect(0, 0, p.PPw, p.PPh);
  info.Visible = true;
  try {
    emfPages_.Draw(Index, printer->Canvas(), target);
  } catch (...) {
    info.Visible = false;
    emfPages_.Draw(Index, printer->Canvas(), TRect{});
    throw;
  }
  info.Visible = false;
  emfPages_.Draw(Index, printer->Canvas(), TRect{});
  ShowProgressPage(Index + 1);
}

// ---- files ----

void TfrReport::LoadPreparedReport(const QString &FileName) {
  emfPages_.LoadFromFile(FileName, PrintToDefault());
  this->FileName = FileName;
}

void TfrReport::SavePreparedReport(const QString &FileName) { emfPages_.SaveToFile(FileName); }

bool TfrReport::ChangePrinter(int OldIndex, int NewIndex) {
  TfrPrinter *wrapper = ReportPrinter();
  try {
    wrapper->SelectPrinter(NewIndex);
  } catch (const Exception &) {
    try {
      wrapper->SelectPrinter(OldIndex);
    } catch (const Exception &) {
    }
    return false;
  }
  wrapper->ForgetPaper();
  for (int i = 0; i < Pages().Count(); ++i) Pages()[i]->ApplyPaper();
  return true;
}

// ---- export ----

bool TfrReport::ExportTo(const TfrExportFilterClass &FilterClass, const QString &FileName) {
  const QFileInfo target(FileName);
  // Written aside in the target's folder, then put in the target's place only when the export succeeded.
  QTemporaryFile reserve(target.absoluteFilePath() + QStringLiteral(".XXXXXX"));
  reserve.setAutoRemove(false);
  if (!reserve.open())
    throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(FileName, reserve.errorString()));
  const QString aside = reserve.fileName();
  reserve.close();
  bool ok = false;
  try {
    {
      TFileStream stream(aside, fmCreate);
      std::unique_ptr<TfrExportFilter> filter = FilterClass(&stream);
      currentFilter_ = filter.get();
      try {
        filter->OnBeginDoc();
        MakeCurrent();
        progressShowsTotal_ = true;
        progressTotal_ = emfPages_.Count();
        terminated_ = false;
        ok = RunWithProgress(QStringLiteral("Processing page:"),
                             [this, &filter] { ExportPages(filter.get()); });
      } catch (...) {
        currentFilter_ = nullptr;
        progressShowsTotal_ = false;
        throw;
      }
      currentFilter_ = nullptr;
      progressShowsTotal_ = false;
      terminated_ = false;
    }
    if (ok && std::rename(QFile::encodeName(aside).constData(),
                          QFile::encodeName(target.absoluteFilePath()).constData()) != 0)
      throw EFCreateError(QStringLiteral("Cannot create file \"%1\"").arg(FileName));
  } catch (...) {
    QFile::remove(aside);
    throw;
  }
  if (!ok) QFile::remove(aside);
  return ok;
}

void TfrReport::ExportPages(TfrExportFilter *Filter) {
  Application()->ProcessMessages();
  for (int i = 0; i < emfPages_.Count() && !terminated_; ++i) {
    Filter->OnBeginPage();
    TfrPage page;
    frReadPageObjects(emfPages_[i].Stream.get(), &page);
    for (int j = 0; j < page.ObjectCount(); ++j) frSendToFilter(page.Object(j), Filter);
    ShowProgressPage(i + 1);
    Filter->OnEndPage();
  }
  if (terminated_) return;
  Filter->OnEndDoc();
  if (progress_) progress_->Close(mrOk);
}
