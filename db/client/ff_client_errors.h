// How the client library reports failures: a failing engine result becomes EffDatabaseError carrying the
// code and its text (the engine's full message, naming the table or file, when the client has it), and the
// client's own checks (a missing owner, a property changed while open) use the client codes below.
#pragma once
#include "db/engine/ff_results.h"
#include "db/storage/ff_exceptions.h"
#include <QString>

class TffServerEngine;

// The client's own error codes, in a family of their own beside the engine's.
enum : TffResult {
  ERRBASE_CLIENT = 0x3400,
  DBIERR_NOSERVERENGINE = 0x3401, // a client opened without a server engine
  DBIERR_NOSUCHOWNER = 0x3402,    // no client, session or database of the name given
  DBIERR_MUSTBECLOSED = 0x3403,   // a setting that may change only while closed
  DBIERR_NOTABLENAME = 0x3404,    // an operation on a table without a table name
  DBIERR_NODICTIONARY = 0x3405,   // CreateTable without a table definition
};

// Returns for 0; any other result raises EffDatabaseError with the code and its text: the engine's full
// message when the last failure the client saw was this result, else the code's fixed text.
void CheckEngineResult(TffResult aResult);

// Called by the client for every engine result it receives: remembers the engine's message of a failure, so
// that CheckEngineResult can name the table or file even when the caller only holds the code.
TffResult ffNoteEngineResult(TffResult aResult, const TffServerEngine &aEngine);

// Raises EffDatabaseError with one of the client codes and a message.
[[noreturn]] void ffRaiseClientError(TffResult aCode, const QString &aMessage);
