// A plain list report (A4, a title, four column headings at the top of every page, a 6 mm data band of four
// text fields with the amounts right-aligned as an invoice has them, a page footer) of 10,000 rows, against
// the toolkit's floor: QPdfWriter and QPainter drawing the same strings at the same places (measuring the
// right-aligned ones to place them) with nothing of the report engine in between. Reports the engine's
// prepare time, its PDF time and file size, the floor's, and the ratios of the two in the same run, the
// two sides taking turns at going first.
#include "bench/gui_bench.h"
#include "platform/core/format_settings.h"
#include "platform/data/memory_dataset.h"
#include "platform/graphics/printer.h"
#include "report/band_view.h"
#include "report/db_dataset.h"
#include "report/engine.h"
#include "report/memo_view.h"
#include "report/model_state.h"
#include "report/printer_wrapper.h"
#include "report/report.h"
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <optional>

namespace {

constexpr double kUnitsPerInchX = 90.99804305283757;
constexpr double kUnitsPerInchY = 91.6256157635468;
constexpr int kResolution = 600; // the PDF printer's dots per inch

class ListReport {
public:
  explicit ListReport(int rows) {
    StartReportEngine();
    form_ = new TComponent(nullptr);
    form_->SetName(QStringLiteral("ListForm"));
    auto *data = new TMemoryDataSet(form_);
    data->SetName(QStringLiteral("Rows"));
    data->FieldDefs()->Add(QStringLiteral("CODE"), ftString, 20);
    data->FieldDefs()->Add(QStringLiteral("NAME"), ftString, 60);
    data->FieldDefs()->Add(QStringLiteral("CITY"), ftString, 40);
    data->FieldDefs()->Add(QStringLiteral("AMOUNT"), ftString, 20);
    data->CreateDataSet();
    for (int i = 1; i <= rows; ++i) {
      data->Append();
      data->Fields()->Fields(0)->SetAsString(QStringLiteral("C%1").arg(i, 6, 10, QLatin1Char('0')));
      data->Fields()->Fields(1)->SetAsString(QStringLiteral("Customer number %1").arg(i));
      data->Fields()->Fields(2)->SetAsString(QStringLiteral("City %1").arg(i % 97));
      data->Fields()->Fields(3)->SetAsString(QString::number(i * 1.25, 'f', 2));
      data->Post();
    }
    data->First();
    auto *source = new TfrDBDataSet(form_);
    source->SetName(QStringLiteral("frRows"));
    source->SetDataSet(data);
    frSetTopLevelComponents([this] { return QList<TComponent *>{form_}; });

    report_ = new TfrReport(form_);
    report_->SetName(QStringLiteral("frList"));
    report_->ShowProgress = false;
    TfrPage *page = report_->Pages().Add();
    Band(page, btReportTitle, 0, 40);
    Memo(page, 20, 10, 400, QStringLiteral("Customer list"));
    Band(page, btPageHeader, 50, 24);
    const int lefts[] = {20, 120, 420, 580};
    const int widths[] = {90, 290, 150, 100};
    const char *headings[] = {"Code", "Name", "City", "Amount"};
    // The amount column, heading and figures, is right-aligned.
    const int adjusts[] = {frtaLeft, frtaLeft, frtaLeft, frtaRight};
    for (int i = 0; i < 4; ++i)
      Memo(page, lefts[i], 54, widths[i], QString::fromLatin1(headings[i]), adjusts[i]);
    Band(page, btMasterData, 80, 22, QStringLiteral("frRows")); // 6 mm
    const char *fields[] = {"[CODE]", "[NAME]", "[CITY]", "[AMOUNT]"};
    for (int i = 0; i < 4; ++i)
      Memo(page, lefts[i], 82, widths[i], QString::fromLatin1(fields[i]), adjusts[i]);
    Band(page, btPageFooter, 1000, 30);
    Memo(page, 20, 1005, 200, QStringLiteral("Page [PAGE#]"));
  }
  ~ListReport() {
    frSetTopLevelComponents(nullptr);
    form_->Free();
    StopReportEngine();
  }
  TfrReport *Report() const { return report_; }

private:
  static void Band(TfrPage *page, int type, int top, int height, const QString &source = QString()) {
    auto view = std::make_unique<TfrBandView>();
    view->SetBandType(type);
    view->Top = top;
    view->Width = 700;
    view->Height = height;
    view->FormatStr = source;
    view->Flags = quint16(flBandOnFirstPage | flBandOnLastPage);
    page->Add(std::move(view));
  }
  static void Memo(TfrPage *page, int left, int top, int width, const QString &text, int adjust = frtaLeft) {
    auto view = std::make_unique<TfrMemoView>();
    view->Left = left;
    view->Top = top;
    view->Width = width;
    view->Height = 16;
    view->Flags = 0;
    view->Adjust = adjust;
    view->Memo.Add(text);
    page->Add(std::move(view));
  }

  TComponent *form_ = nullptr;
  TfrReport *report_ = nullptr;
};

// A string of a prepared page where the engine prints it.
struct PlacedString {
  int page;
  // Report units: the object's left plus its gap (for right-aligned text its right less its gap, where
  // the text ends), its top plus its gap.
  QPointF origin;
  bool right;
  QString family;
  double points;
  QString text;
};

std::vector<PlacedString> PreparedStrings(TfrReport *report) {
  std::vector<PlacedString> strings;
  TfrEMFPages &pages = report->EMFPages();
  for (int i = 0; i < pages.Count(); ++i) {
    pages.LoadObjects(i);
    const TfrPage *page = pages[i].Page.get();
    for (int j = 0; j < page->ObjectCount(); ++j) {
      auto *memo = dynamic_cast<TfrMemoView *>(page->Object(j));
      if (!memo) continue;
      const bool right = (memo->Adjust & 3) == frtaRight;
      const double x = right ? memo->Left + memo->Width - 1 : memo->Left + 2;
      for (int k = 0; k < memo->Memo.Count(); ++k)
        strings.push_back({i, QPointF(x, memo->Top + 1 + k * 14), right, memo->Font.Name(),
                           double(memo->Font.Size()), memo->Memo.Strings(k)});
    }
    pages[i].Page.reset();
  }
  return strings;
}

// The floor: the strings drawn straight onto a PDF, one font object per family and size.
void DrawFloor(const std::vector<PlacedString> &strings, const QString &file) {
  QPdfWriter writer(file);
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  writer.setResolution(kResolution);
  QPainter painter(&writer);
  const double sx = kResolution / kUnitsPerInchX, sy = kResolution / kUnitsPerInchY;
  int page = 0;
  QString family;
  double points = -1;
  double ascent = 0;
  std::optional<QFontMetricsF> metrics;
  for (const PlacedString &s : strings) {
    if (s.page != page) {
      writer.newPage();
      page = s.page;
    }
    if (s.family != family || s.points != points) {
      family = s.family;
      points = s.points;
      QFont font(family);
      font.setPixelSize(int(std::lround(points * 96.0 / 72.0 * sy)));
      painter.setFont(font);
      metrics.emplace(font, &writer);
      ascent = metrics->ascent();
    }
    const double x = s.origin.x() * sx - (s.right ? metrics->horizontalAdvance(s.text) : 0.0);
    painter.drawText(QPointF(x, s.origin.y() * sy + ascent), s.text);
  }
}

double Milliseconds(const QElapsedTimer &clock) { return double(clock.nsecsElapsed()) / 1e6; }

void BM_ListPrepare(benchmark::State &state) {
  FormatSettingsGuard formats(FormatSettings::USEnglish());
  BindReportPrinter(nullptr);
  ListReport list(int(state.range(0)));
  gui_bench::PrepareEveryIteration(state, list.Report());
}
BENCHMARK(BM_ListPrepare)->Arg(10000)->Unit(benchmark::kMillisecond);

// The engine's PDF phase and the floor's, timed one after the other in each iteration, the floor first in
// every other one.
void BM_ListPdfAgainstFloor(benchmark::State &state) {
  FormatSettingsGuard formats(FormatSettings::USEnglish());
  QTemporaryDir dir;
  TPrinter printer(std::make_unique<TScriptedPrinterSystem>(dir.path()));
  const QString enginePdf = dir.filePath(QStringLiteral("engine.pdf"));
  const QString floorPdf = dir.filePath(QStringLiteral("floor.pdf"));
  BindReportPrinter(&printer);
  {
    ListReport list(int(state.range(0)));
    if (!list.Report()->PrepareReport()) state.SkipWithError("preparation failed");
    const std::vector<PlacedString> strings = PreparedStrings(list.Report());
    double engineMs = 0, floorMs = 0;
    bool floorFirst = true;
    for (auto _ : state) {
      auto timeFloor = [&] {
        QElapsedTimer clock;
        clock.start();
        DrawFloor(strings, floorPdf);
        floorMs += Milliseconds(clock);
      };
      auto timeEngine = [&] {
        QElapsedTimer clock;
        printer.SetPdfFileName(enginePdf); // a name serves one job
        clock.start();
        if (!list.Report()->PrintPreparedReport(QString(), 1)) state.SkipWithError("printing failed");
        engineMs += Milliseconds(clock);
      };
      if (floorFirst) {
        timeFloor();
        timeEngine();
      } else {
        timeEngine();
        timeFloor();
      }
      floorFirst = !floorFirst;
    }
    const double n = double(state.iterations());
    state.counters["strings"] = double(strings.size());
    state.counters["engine_ms"] = engineMs / n;
    state.counters["floor_ms"] = floorMs / n;
    state.counters["time_ratio"] = engineMs / floorMs;
    state.counters["engine_kB"] = double(QFileInfo(enginePdf).size()) / 1024;
    state.counters["floor_kB"] = double(QFileInfo(floorPdf).size()) / 1024;
    state.counters["size_ratio"] = double(QFileInfo(enginePdf).size()) / double(QFileInfo(floorPdf).size());
    gui_bench::KeepForALook(enginePdf, QStringLiteral("list-engine.pdf"));
    gui_bench::KeepForALook(floorPdf, QStringLiteral("list-floor.pdf"));
  }
  BindReportPrinter(nullptr);
}
BENCHMARK(BM_ListPdfAgainstFloor)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(6);

} // namespace

int main(int argc, char **argv) { return gui_bench::RunBenchmarks(argc, argv); }
