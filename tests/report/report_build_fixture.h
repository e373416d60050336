// Shared set-up of the page building and report component tests: the engine started, the virtual printer
// with A4 paper, US English formats, a form owning a memory dataset of invoice lines with its record source
// "frLines" and a report "frReport1" with one page. Helpers add bands and text objects, and Dump gives a
// normalised view of the prepared pages: one line per object, "page: left,top widthxheight text".
#pragma once
#include "platform/core/format_settings.h"
#include "platform/data/memory_dataset.h"
#include "report/band_view.h"
#include "report/db_dataset.h"
#include "report/engine.h"
#include "report/memo_view.h"
#include "report/model_state.h"
#include "report/printer_wrapper.h"
#include "report/report.h"
#include "report/report_hooks.h"
#include "report/text_layout.h"
#include "report/variables.h"
#include "tests/report/report_model_fixture.h"
#include <gtest/gtest.h>

namespace build {

struct Line {
  QString name;
  int qty;
  double price;
  QString group;
  QString note;
};

inline constexpr int kBothEnds = flBandOnFirstPage | flBandOnLastPage;

class ReportBuildTest : public ::testing::Test {
protected:
  void SetUp() override {
    BindReportPrinter(nullptr);
    ReportPrinter()->ForgetPaper();
    ReportPrinter()->ApplyPaper(frDefaultPaperSize, 0, 0, frPortrait);
    frModel().DocMode = dmDesigning;
    frModel().FirstPass = false;
    StartReportEngine();
    frSetProgressWindowFactory(nullptr);
    frSetPreviewWindowOpener(nullptr);
    form = new TComponent(nullptr);
    form->SetName(QStringLiteral("InvoiceForm"));
    lines = new TMemoryDataSet(form);
    lines->SetName(QStringLiteral("Lines"));
    lines->FieldDefs()->Add(QStringLiteral("NAME"), ftString, 60);
    lines->FieldDefs()->Add(QStringLiteral("QTY"), ftInteger);
    lines->FieldDefs()->Add(QStringLiteral("PRICE"), ftFloat);
    lines->FieldDefs()->Add(QStringLiteral("GRP"), ftString, 20);
    lines->FieldDefs()->Add(QStringLiteral("NOTE"), ftMemo);
    lines->CreateDataSet();
    source = new TfrDBDataSet(form);
    source->SetName(QStringLiteral("frLines"));
    source->SetDataSet(lines);
    report = new TfrReport(form);
    report->SetName(QStringLiteral("frReport1"));
    frSetTopLevelComponents([this] { return QList<TComponent *>{form}; });
    page = report->Pages().Add();
  }

  void TearDown() override {
    frSetTopLevelComponents(nullptr);
    frSetProgressWindowFactory(nullptr);
    frSetPreviewWindowOpener(nullptr);
    form->Free();
    StopReportEngine();
    frModel().DocMode = dmDesigning;
    frModel().FirstPass = false;
    BindReportPrinter(nullptr);
  }

  void Fill(const QList<Line> &rows) {
    for (const Line &row : rows) {
      lines->Append();
      lines->FieldByName(QStringLiteral("NAME"))->SetAsString(row.name);
      lines->FieldByName(QStringLiteral("QTY"))->SetAsInteger(row.qty);
      lines->FieldByName(QStringLiteral("PRICE"))->SetAsFloat(row.price);
      lines->FieldByName(QStringLiteral("GRP"))->SetAsString(row.group);
      if (!row.note.isEmpty()) lines->FieldByName(QStringLiteral("NOTE"))->SetAsString(row.note);
      lines->Post();
    }
    lines->First();
  }
  // n lines "Item 1" .. "Item n", quantity i, price 1.5 i.
  static QList<Line> Items(int n) {
    QList<Line> rows;
    for (int i = 1; i <= n; ++i) rows.append({QStringLiteral("Item %1").arg(i), i, 1.5 * i, {}, {}});
    return rows;
  }
  void FillItems(int n) { Fill(Items(n)); }

  TfrBandView *AddBand(TfrPage *onPage, int type, int top, int height, const QString &formatStr = QString(),
                       int flags = kBothEnds) {
    auto band = std::make_unique<TfrBandView>();
    band->SetBandType(type);
    band->Top = top;
    band->Width = 700;
    band->Height = height;
    band->Flags = quint16(flags);
    band->FormatStr = formatStr;
    band->Name = QStringLiteral("Band%1").arg(++bands_);
    return static_cast<TfrBandView *>(onPage->Add(std::move(band)));
  }
  TfrBandView *AddBand(int type, int top, int height, const QString &formatStr = QString(),
                       int flags = kBothEnds) {
    return AddBand(page, type, top, height, formatStr, flags);
  }

  TfrMemoView *AddMemo(TfrPage *onPage, int left, int top, int width, int height, const QStringList &text,
                       int flags = 0) {
    auto memo = std::make_unique<TfrMemoView>();
    memo->Left = left;
    memo->Top = top;
    memo->Width = width;
    memo->Height = height;
    memo->Flags = quint16(flags);
    memo->Name = QStringLiteral("Memo%1").arg(++memos_);
    for (const QString &line : text) memo->Memo.Add(line);
    return static_cast<TfrMemoView *>(onPage->Add(std::move(memo)));
  }
  TfrMemoView *AddMemo(int left, int top, int width, int height, const QStringList &text, int flags = 0) {
    return AddMemo(page, left, top, width, height, text, flags);
  }

  // A band of a template page (added as needed) with a 20-high text object at its top when a text is given.
  struct BandSpec {
    int type, top, height;
    QString source, text; // text lines separated by '\n'
    int left = 0, width = 200, flags = kBothEnds, textFlags = 0, onPage = 0;
  };
  void Build(const QList<BandSpec> &bands) {
    for (const BandSpec &b : bands) {
      while (report->Pages().Count() <= b.onPage) report->Pages().Add();
      AddBand(report->Pages()[b.onPage], b.type, b.top, b.height, b.source, b.flags);
      if (!b.text.isEmpty())
        AddMemo(report->Pages()[b.onPage], b.left, b.top, b.width, 20, b.text.split(QLatin1Char('\n')),
                b.textFlags);
    }
  }
  // A subreport printing template page subPage.
  void AddSubReport(int left, int top, int subPage) {
    auto sub = std::make_unique<TfrSubReportView>();
    sub->Left = left;
    sub->Top = top;
    sub->Width = 300;
    sub->Height = 20;
    sub->SubPage = subPage;
    page->Add(std::move(sub));
  }
  // A fresh report of one empty page over an empty dataset.
  void NewReport() {
    report->Free();
    report = new TfrReport(form);
    report->SetName(QStringLiteral("frReport1"));
    page = report->Pages().Add();
    lines->EmptyDataSet();
    bands_ = memos_ = 0;
  }

  // The text of a prepared object: its lines (laid out when they were stored wrapped) joined by "|".
  static QString TextOf(TfrView *view) {
    QStringList parts;
    if (frIsWrappedText(view->Memo)) {
      for (const TfrTextLine &line : frDecodeWrappedText(view->Memo)) parts << line.Text;
    } else {
      for (int i = 0; i < view->Memo.Count(); ++i) parts << view->Memo.Strings(i);
    }
    return parts.join(QLatin1Char('|'));
  }

  // "page: left,top widthxheight text" for every object of every prepared page; only "page: text" when
  // the geometry is left out.
  QStringList Dump(bool geometry = true) {
    QStringList out;
    TfrEMFPages &pages = report->EMFPages();
    for (int i = 0; i < pages.Count(); ++i) {
      TfrPage objects;
      frReadPageObjects(pages[i].Stream.get(), &objects);
      for (int j = 0; j < objects.ObjectCount(); ++j) {
        TfrView *v = objects.Object(j);
        out << (geometry ? QStringLiteral("%1: %2,%3 %4x%5 %6")
                               .arg(i + 1)
                               .arg(v->Left)
                               .arg(v->Top)
                               .arg(v->Width)
                               .arg(v->Height)
                               .arg(TextOf(v))
                         : QStringLiteral("%1: %2").arg(i + 1).arg(TextOf(v)));
      }
    }
    return out;
  }
  QStringList Texts() { return Dump(false); }

  FormatSettingsGuard formats_{FormatSettings::USEnglish()};
  TComponent *form = nullptr;
  TMemoryDataSet *lines = nullptr;
  TfrDBDataSet *source = nullptr;
  TfrReport *report = nullptr;
  TfrPage *page = nullptr;

private:
  int bands_ = 0;
  int memos_ = 0;
};

// A progress window that records its labels and presses Cancel when a label starts with a given text.
class CancellingProgress : public TfrDirectProgress {
public:
  explicit CancellingProgress(QString cancelAt, QStringList *labels)
      : cancelAt_(std::move(cancelAt)), labels_(labels) {}
  void SetLabel(const QString &Text) override {
    TfrDirectProgress::SetLabel(Text);
    if (labels_) labels_->append(Text);
    if (!cancelAt_.isEmpty() && Text.startsWith(cancelAt_)) PressCancel();
  }

private:
  QString cancelAt_;
  QStringList *labels_;
};

} // namespace build
