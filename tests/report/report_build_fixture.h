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

// Readable texts in test failures.
inline void PrintTo(const QString &Value, std::ostream *Stream) {
  *Stream << '"' << Value.toStdString() << '"';
}

namespace build {

struct Line {
  QString name;
  int qty;
  double price;
  QString group;
  QString note;
};

inline constexpr int kBothEnds = flBandOnFirstPage | flBandOnLastPage;

class ReportBuildTest : public test::ReportModelTest {
protected:
  void SetUp() override {
    ReportModelTest::SetUp();
    StartReportEngine();
    frSetProgressWindowFactory(nullptr);
    frSetPreviewWindowOpener(nullptr);
    form = new TComponent(nullptr);
    form->SetName(QStringLiteral("InvoiceForm"));
    lines = test::MemoryTable(form, QStringLiteral("Lines"),
                              {{"NAME", ftString, 60},
                               {"QTY", ftInteger},
                               {"PRICE", ftFloat},
                               {"GRP", ftString, 20},
                               {"NOTE", ftMemo}});
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
    frModel().FirstPass = false;
    ReportModelTest::TearDown();
  }

  void Fill(const QList<Line> &rows) {
    for (const Line &row : rows)
      test::AppendRow(lines,
                      {row.name, row.qty, row.price, row.group, row.note.isEmpty() ? Variant() : row.note});
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
    auto *memo =
        test::AddView<TfrMemoView>(onPage, QStringLiteral("Memo%1").arg(++memos_), left, top, width, height);
    memo->Flags = quint16(flags);
    for (const QString &line : text) memo->Memo.Add(line);
    return memo;
  }
  TfrMemoView *AddMemo(int left, int top, int width, int height, const QStringList &text, int flags = 0) {
    return AddMemo(page, left, top, width, height, text, flags);
  }

  // Template bands written one a line, "[pN] Type top+height [source] [+repeat] [+stretch] [+split] [-first]
  // [-last] [| left[,width] text]": on template page N (0 when left out) a band of type btType at that place,
  // with its record source and flags (printed on the first and the last page unless taken away), and a
  // 20-high text object (200 wide unless given) at the band's top.
  void Build(const QStringList &bands) {
    static const QMap<QString, int> types{
        {"ReportTitle", btReportTitle},   {"ReportSummary", btReportSummary}, {"PageHeader", btPageHeader},
        {"PageFooter", btPageFooter},     {"MasterHeader", btMasterHeader},   {"MasterData", btMasterData},
        {"MasterFooter", btMasterFooter}, {"DetailHeader", btDetailHeader},   {"DetailData", btDetailData},
        {"DetailFooter", btDetailFooter}, {"GroupHeader", btGroupHeader},     {"GroupFooter", btGroupFooter},
        {"ColumnHeader", btColumnHeader}, {"ColumnFooter", btColumnFooter}};
    static const QMap<QString, int> flagWords{{"+repeat", flBandRepeatHeader},
                                              {"+stretch", flStretched},
                                              {"+split", flBandBreaked},
                                              {"-first", -flBandOnFirstPage},
                                              {"-last", -flBandOnLastPage}};
    for (const QString &spec : bands) {
      QStringList words = spec.section(QStringLiteral(" | "), 0, 0).split(QLatin1Char(' '));
      const int onPage = words[0].startsWith(QLatin1Char('p')) ? words.takeFirst().mid(1).toInt() : 0;
      const int type = types.value(words.takeFirst(), -1);
      EXPECT_GE(type, 0) << spec.toStdString();
      const int top = words[0].section(QLatin1Char('+'), 0, 0).toInt();
      const int height = words.takeFirst().section(QLatin1Char('+'), 1).toInt();
      int flags = kBothEnds;
      QString source;
      for (const QString &word : words) {
        const int flag = flagWords.value(word);
        if (flag == 0) source = word;
        flags = flag < 0 ? flags & ~-flag : flags | flag;
      }
      while (report->Pages().Count() <= onPage) report->Pages().Add();
      TfrPage *on = report->Pages()[onPage];
      AddBand(on, type, top, height, source, flags);
      const QString text = spec.section(QStringLiteral(" | "), 1);
      if (text.isEmpty()) continue;
      const QString at = text.section(QLatin1Char(' '), 0, 0);
      AddMemo(on, at.section(QLatin1Char(','), 0, 0).toInt(), top,
              at.contains(QLatin1Char(',')) ? at.section(QLatin1Char(','), 1).toInt() : 200, 20,
              {text.section(QLatin1Char(' '), 1)});
    }
  }
  // A subreport printing template page subPage.
  void AddSubReport(int left, int top, int subPage) {
    test::AddView<TfrSubReportView>(page, QString(), left, top, 300, 20)->SubPage = subPage;
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
        out << (geometry ? QString::asprintf("%d: %d,%d %dx%d ", i + 1, v->Left, v->Top, v->Width, v->Height)
                         : QString::asprintf("%d: ", i + 1)) +
                   TextOf(v);
      }
    }
    return out;
  }
  QStringList Texts() { return Dump(false); }

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
