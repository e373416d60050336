// libFuzzer target: arbitrary text through the report expression parser (conversion and evaluation, and
// evaluation of the text as postfix) and through the script compiler and interpreter, with the standard
// function library and a small object model. Any error the engine raises is a normal outcome; a crash, a
// hang or a sanitizer report is a fault. tests/report runs the corpus through this same entry.
#include "platform/core/format_settings.h"
#include "platform/core/string_list.h"
#include "report/engine.h"
#include "report/parser.h"
#include "report/report_interpreter.h"
#include "report/variables.h"
#include <QMap>
#include <cstddef>
#include <cstdint>

namespace {

class FuzzView : public TfrEngineView {
public:
  QString ViewName() const override { return QStringLiteral("Memo1"); }
  TfrViewKind ViewKind() const override { return TfrViewKind::Text; }
  Variant GetProperty(TfrViewProperty p) const override { return values.value(p, Variant(0)); }
  void SetProperty(TfrViewProperty p, const Variant &v) override { values[p] = v; }
  QMap<int, Variant> values;
};

class FuzzBand : public TfrEngineBand {
public:
  FuzzBand(QString name, int type, bool printing)
      : name_(std::move(name)), type_(type), printing_(printing) {}
  QString BandName() const override { return name_; }
  int BandType() const override { return type_; }
  bool Printing() const override { return printing_; }
  TStrings *AggregateValues() override { return &values_; }
  int AggregateRecordCount() const override { return 2; }
  void RequestNewPage() override {}
  void RequestNewColumn() override {}

private:
  QString name_;
  int type_;
  bool printing_;
  TStringList values_;
};

class FuzzPage : public TfrEnginePage {
public:
  explicit FuzzPage(TfrEngineView *view) : view_(view) {}
  TfrEngineView *FindObject(const QString &name) override {
    return name.compare(QLatin1String("Memo1"), Qt::CaseInsensitive) == 0 ? view_ : nullptr;
  }
  int FreeSpace() const override { return 100; }
  bool PrintingCrossBands() const override { return false; }
  int CrossColumn() const override { return 0; }

private:
  TfrEngineView *view_;
};

// Names starting with S are texts, D dates, N null; others are numbers.
void FuzzValue(const QString &name, Variant &value) {
  if (name.startsWith(QLatin1Char('S'), Qt::CaseInsensitive))
    value = Variant(name);
  else if (name.startsWith(QLatin1Char('D'), Qt::CaseInsensitive))
    value = Variant::FromDateTime(40000.5);
  else if (name.startsWith(QLatin1Char('N'), Qt::CaseInsensitive))
    value = Variant::Null();
  else
    value = Variant(double(name.size()));
}

// ECHO splices its first argument back as expression text; everything else goes to the libraries.
void FuzzFunction(const QString &name, const Variant &p1, const Variant &p2, const Variant &p3,
                  QString &result) {
  if (name == QLatin1String("ECHO"))
    result = p1.ToString();
  else
    frCallFunctionLibraries(name, p1, p2, p3, result);
}

template <typename F>
void Attempt(F &&step) {
  try {
    step();
  } catch (const Exception &) {
    // The engine refused the input: a normal outcome.
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
  FormatSettingsGuard settings(FormatSettings::USEnglish());
  ReportEngineScope engine;
  frSetInputQuery([](const QString &, const QString &, const QString &defaultText) { return defaultText; });

  FuzzView view;
  FuzzPage page(&view);
  FuzzBand dataBand(QStringLiteral("MasterData1"), 5, true);
  FuzzBand footer(QStringLiteral("MasterFooter1"), frBandMasterFooter, false);
  TfrEngineState &state = frEngine();
  state.CurView = &view;
  state.CurPage = &page;
  state.CurBand = &dataBand;
  state.AggrBand = &footer;
  ReportParser()->OnGetValue = TGetPValueEvent::From(FuzzValue);
  ReportParser()->OnFunction = TFunctionEvent::From(FuzzFunction);

  TfrParser &parser = *ReportParser();
  Attempt([&] { parser.Calc(text); });
  Attempt([&] { parser.CalcPostfix(text); });
  Attempt([&] { parser.ConvertWithoutCalls(text); });

  TInterpretator &interpreter = *ReportInterpreter();
  interpreter.SetMaxSteps(2000);
  TStringList source;
  for (const QString &line : text.split(QLatin1Char('\n'))) source.Add(line);
  TfrCompiledScript compiled;
  TStringList errors;
  Attempt([&] { interpreter.PrepareScript(&source, compiled, &errors); });
  Attempt([&] { interpreter.RunScript(compiled); });

  frSetInputQuery(nullptr);
  return 0;
}
