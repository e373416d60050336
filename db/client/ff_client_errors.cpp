#include "db/client/ff_client_errors.h"
#include "db/engine/ff_server_engine.h"

namespace {

// The last failure an engine reported to the client (the engine runs on the caller's thread).
thread_local TffError lastFailure;

} // namespace

TffResult ffNoteEngineResult(TffResult aResult, const TffServerEngine &aEngine) {
  if (aResult != DBIERR_NONE) {
    const TffError &error = aEngine.LastError();
    lastFailure = error.Code == aResult ? error : TffError{aResult, QString()};
  }
  return aResult;
}

void CheckEngineResult(TffResult aResult) {
  if (aResult == DBIERR_NONE) return;
  QString message = lastFailure.Code == aResult ? lastFailure.Message : QString();
  lastFailure = TffError();
  if (message.isEmpty()) message = ffResultText(aResult);
  throw EffDatabaseError(aResult, message);
}

void ffRaiseClientError(TffResult aCode, const QString &aMessage) { throw EffDatabaseError(aCode, aMessage); }
