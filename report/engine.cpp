#include "report/engine.h"
#include "platform/core/component.h"
#include "platform/windowing/system_services.h"
#include "report/function_library.h"
#include "report/parser.h"
#include "report/printer_wrapper.h"
#include "report/report_interpreter.h"
#include "report/variables.h"

const QString frRegRootKey = QStringLiteral("Software\\Reportwell");

namespace {

struct Engine {
  TfrEngineState state;
  std::unique_ptr<TfrParser> parser;
  std::unique_ptr<TInterpretator> interpreter;
  std::unique_ptr<TfrVariables> variables;
  std::vector<std::unique_ptr<TfrFunctionLibrary>> libraries;
  QList<TObject *> objects;
};

Engine *engine = nullptr;

Engine &Started() {
  if (!engine) throw EInvalidOperation(QStringLiteral("The report engine has not been started"));
  return *engine;
}

TfrInputQuery &InputQuery() {
  static TfrInputQuery query;
  return query;
}

TfrTopLevelComponents &TopLevelComponents() {
  static TfrTopLevelComponents components;
  return components;
}

} // namespace

void StartReportEngine() {
  if (engine) throw EInvalidOperation(QStringLiteral("The report engine has already been started"));
  auto created = std::make_unique<Engine>();
  created->parser = std::make_unique<TfrParser>();
  created->interpreter = std::make_unique<TInterpretator>();
  created->variables = std::make_unique<TfrVariables>();
  engine = created.release();
  frRegisterFunctionLibrary<TfrStdFunctionLibrary>();
}

void StopReportEngine() {
  if (!engine) return;
  std::unique_ptr<Engine> doomed(engine);
  // Objects freed below may still look at the engine; it stays reachable until they are gone.
  while (!doomed->objects.isEmpty()) FreeObject(doomed->objects.takeFirst());
  engine = nullptr;
  // The report printer refers to the platform printer, which the application frees after the engine.
  FreeReportPrinter();
}

bool ReportEngineStarted() { return engine != nullptr; }

TfrEngineState &frEngine() { return Started().state; }
TfrParser *ReportParser() { return Started().parser.get(); }
TInterpretator *ReportInterpreter() { return Started().interpreter.get(); }
TfrVariables *ReportVariables() { return Started().variables.get(); }

void frRegisterFunctionLibrary(std::unique_ptr<TfrFunctionLibrary> Library) {
  Started().libraries.push_back(std::move(Library));
}

int frFunctionLibraryCount() { return int(Started().libraries.size()); }

TfrFunctionLibrary *frFunctionLibrary(int Index) { return Started().libraries.at(size_t(Index)).get(); }

bool frCallFunctionLibraries(const QString &Name, const Variant &P1, const Variant &P2, const Variant &P3,
                             QString &Result) {
  for (const auto &library : Started().libraries)
    if (library->TryFunction(Name, P1, P2, P3, Result)) return true;
  return false;
}

void frAddEngineObject(TObject *Object) {
  if (Object && !Started().objects.contains(Object)) engine->objects.append(Object);
}

void frFreeEngineObject(TObject *Object) {
  if (Started().objects.removeOne(Object)) FreeObject(Object);
}

void frSetInputQuery(TfrInputQuery Query) { InputQuery() = std::move(Query); }

QString frInputQuery(const QString &Caption, const QString &Prompt, const QString &Default) {
  if (InputQuery()) return InputQuery()(Caption, Prompt, Default);
  return InputBox(Caption, Prompt, Default);
}

void frSetTopLevelComponents(TfrTopLevelComponents Components) {
  TopLevelComponents() = std::move(Components);
}

QList<TComponent *> frTopLevelComponents() {
  return TopLevelComponents() ? TopLevelComponents()() : QList<TComponent *>();
}
