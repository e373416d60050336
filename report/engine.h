// The report engine's process-wide state: the report, page, band and object being worked on, the report
// parser, the report interpreter, the report variables, the registered function libraries and the objects
// the engine owns. StartReportEngine creates it (parser, interpreter, variables, in that order, then the
// standard function library); StopReportEngine frees it: the application calls it at exit, before the
// QApplication goes. Every accessor raises EInvalidOperation while the engine is not started.
#pragma once
#include "platform/core/object.h"
#include "report/engine_model.h"
#include <QString>
#include <functional>
#include <memory>

class TfrParser;
class TfrVariables;
class TInterpretator;
class TfrFunctionLibrary;
class TComponent;

// Where the preview keeps its settings.
extern const QString frRegRootKey;

struct TfrEngineState {
  TfrEngineReport *CurReport = nullptr;
  TfrEnginePage *CurPage = nullptr;
  // The band being printed.
  TfrEngineBand *CurBand = nullptr;
  // The band whose text objects are being evaluated to collect totals (aggregate functions).
  TfrEngineBand *AggrBand = nullptr;
  // The object being printed or measured.
  TfrEngineView *CurView = nullptr;
};

void StartReportEngine();
void StopReportEngine();
bool ReportEngineStarted();

// Starts the engine for the lifetime of the scope (tests and small tools).
class ReportEngineScope {
public:
  ReportEngineScope() { StartReportEngine(); }
  ~ReportEngineScope() { StopReportEngine(); }
  ReportEngineScope(const ReportEngineScope &) = delete;
  ReportEngineScope &operator=(const ReportEngineScope &) = delete;
};

TfrEngineState &frEngine();
// The parser whose handlers the report being prepared installs (its value lookup and function calls).
TfrParser *ReportParser();
TInterpretator *ReportInterpreter();
TfrVariables *ReportVariables();

// Registers a function library; the engine keeps it until it stops. Libraries are asked in registration
// order, the standard library first.
void frRegisterFunctionLibrary(std::unique_ptr<TfrFunctionLibrary> Library);
template <typename T>
void frRegisterFunctionLibrary() {
  frRegisterFunctionLibrary(std::make_unique<T>());
}
int frFunctionLibraryCount();
TfrFunctionLibrary *frFunctionLibrary(int Index);
// Offers a call to every registered library in turn; true when one of them knew the name.
bool frCallFunctionLibraries(const QString &Name, const Variant &P1, const Variant &P2, const Variant &P3,
                             QString &Result);

// Objects the engine owns: each is freed, in the order added, when the engine stops.
void frAddEngineObject(TObject *Object);
// Frees Object now when the engine owns it.
void frFreeEngineObject(TObject *Object);

// The input dialog of the INPUT function: the text typed, or Default when the user cancels. The standard one
// is a modal line-edit dialog; tests install a scripted one.
using TfrInputQuery =
    std::function<QString(const QString &Caption, const QString &Prompt, const QString &Default)>;
void frSetInputQuery(TfrInputQuery Query);
QString frInputQuery(const QString &Caption, const QString &Prompt, const QString &Default);

// The application's forms and data modules, searched by the dataset lookups by name. The application
// installs its list at start-up; without one only the current report's owner is searched.
using TfrTopLevelComponents = std::function<QList<TComponent *>()>;
void frSetTopLevelComponents(TfrTopLevelComponents Components);
QList<TComponent *> frTopLevelComponents();
