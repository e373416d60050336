// Evaluations per second of the report expressions an invoice line prints: field lookups, arithmetic, the
// amount formatting of "#N10.2", a library function and a band script.
#include "platform/core/number_format.h"
#include "platform/core/string_list.h"
#include "report/engine.h"
#include "report/interpreter.h"
#include "report/parser.h"
#include "report/report_interpreter.h"
#include <QHash>
#include <benchmark/benchmark.h>

namespace {

// The report engine with the parser hooked to the fields of one invoice line, as the report hooks it to the
// current record of its dataset.
class InvoiceLine {
public:
  InvoiceLine() {
    StartReportEngine();
    fields_.emplace(QStringLiteral("ITEMPRICE"), Variant(12.75));
    fields_.emplace(QStringLiteral("QUANTITY"), Variant(3));
    fields_.emplace(QStringLiteral("DESCRIPTION"), Variant(QStringLiteral("Oak table, oiled")));
    ReportParser()->OnGetValue = TGetPValueEvent::From(
        [this](const QString &name, Variant &value) { value = fields_.value(name.toUpper(), Variant()); });
    ReportParser()->OnFunction =
        TFunctionEvent::From([](const QString &name, const Variant &p1, const Variant &p2, const Variant &p3,
                                QString &result) { frCallFunctionLibraries(name, p1, p2, p3, result); });
  }
  ~InvoiceLine() { StopReportEngine(); }

private:
  QHash<QString, Variant> fields_;
};

void RunExpression(benchmark::State &state, const QString &expression, bool formatAmount) {
  InvoiceLine line;
  TfrParser *parser = ReportParser();
  for (auto _ : state) {
    const Variant value = parser->Calc(expression);
    if (formatAmount) {
      benchmark::DoNotOptimize(FloatToStrF(value.ToDouble(), ffFixed, 10, 2));
    } else {
      benchmark::DoNotOptimize(value);
    }
  }
  state.SetItemsProcessed(state.iterations());
}

// [ITEMPRICE #N10.2]
void BM_FieldWithAmountFormat(benchmark::State &state) {
  RunExpression(state, QStringLiteral("ITEMPRICE"), true);
}
BENCHMARK(BM_FieldWithAmountFormat);

// [ITEMPRICE * QUANTITY #N10.2]
void BM_LineTotal(benchmark::State &state) {
  RunExpression(state, QStringLiteral("[ITEMPRICE] * [QUANTITY]"), true);
}
BENCHMARK(BM_LineTotal);

// [ROUND(ITEMPRICE * QUANTITY * 100) / 100 #N10.2]
void BM_RoundedLineTotal(benchmark::State &state) {
  RunExpression(state, QStringLiteral("ROUND(ITEMPRICE * QUANTITY * 100) / 100"), true);
}
BENCHMARK(BM_RoundedLineTotal);

// [IF(QUANTITY > 1, FORMATFLOAT('0.00', ITEMPRICE) + ' each', '')]
void BM_ConditionalText(benchmark::State &state) {
  RunExpression(state, QStringLiteral("IF(QUANTITY > 1, FORMATFLOAT('0.00', ITEMPRICE) + ' each', '')"),
                false);
}
BENCHMARK(BM_ConditionalText);

// A band script run once per line.
void BM_LineScript(benchmark::State &state) {
  InvoiceLine line;
  TStringList source;
  source.Add(QStringLiteral("begin"));
  source.Add(
      QStringLiteral("  if [QUANTITY] > 0 then LineTotal := [ITEMPRICE] * [QUANTITY] else LineTotal := 0;"));
  source.Add(QStringLiteral("  Lines := Lines + 1"));
  source.Add(QStringLiteral("end"));
  TfrCompiledScript compiled;
  TInterpretator *interpreter = ReportInterpreter();
  for (auto _ : state) interpreter->RunScript(&source, compiled, QStringLiteral("MasterData1"));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LineScript);

} // namespace

BENCHMARK_MAIN();
