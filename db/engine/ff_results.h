// Result codes of the engine: 0 for success, otherwise a 32-bit code whose high byte names the family
// (not found, damaged data, input/output, limits, integrity, invalid request, lock conflict, invalid
// context) and whose low byte the error within it. ffResultText gives the code's fixed text; the engine
// also keeps a full message for its last failing call, naming the table, field or file concerned.
#pragma once
#include <QString>
#include <QtGlobal>

using TffResult = qint32;

enum : TffResult {
  DBIERR_NONE = 0,

  // Not found.
  ERRBASE_NOTFOUND = 0x2200,
  DBIERR_BOF = 0x2201,
  DBIERR_EOF = 0x2202,
  DBIERR_RECDELETED = 0x2203,
  DBIERR_NOCURRREC = 0x2205,
  DBIERR_RECNOTFOUND = 0x2206,
  DBIERR_NOSUCHTABLE = 0x2210,
  DBIERR_NOSUCHINDEX = 0x2211,
  DBIERR_NOSUCHFIELD = 0x2212,
  DBIERR_NOSUCHDATABASE = 0x2213,
  DBIERR_NOSUCHFOLDER = 0x2214,

  // Damaged data.
  ERRBASE_DATACORRUPT = 0x2300,
  DBIERR_FILECORRUPT = 0x2302,
  DBIERR_NOTADATABASE = 0x2303,
  DBIERR_DICTCORRUPT = 0x2304,
  DBIERR_NEWERVERSION = 0x2305,

  // Input and output.
  ERRBASE_IO = 0x2400,
  DBIERR_READERR = 0x2401,
  DBIERR_WRITEERR = 0x2402,
  DBIERR_FILENOACCESS = 0x2405,

  // Limits.
  ERRBASE_LIMIT = 0x2500,
  DBIERR_NOMEMORY = 0x2501,
  DBIERR_NODISKSPACE = 0x2503,

  // Integrity of the data.
  ERRBASE_INTEGRITY = 0x2600,
  DBIERR_KEYVIOL = 0x2601,
  DBIERR_REQDERR = 0x2604,
  DBIERR_STRINGTOOLONG = 0x2610,
  DBIERR_INVALIDFLDVALUE = 0x2611,

  // Invalid requests.
  ERRBASE_INVALIDREQ = 0x2700,
  DBIERR_INVALIDPARAM = 0x2702,
  DBIERR_INVALIDHNDL = 0x2706,
  DBIERR_INVALIDTABLENAME = 0x2707,
  DBIERR_INVALIDFIELDNAME = 0x2708,
  DBIERR_TABLEEXISTS = 0x2709,
  DBIERR_DATABASEEXISTS = 0x270A,
  DBIERR_INVALIDDICTIONARY = 0x270B,
  DBIERR_FIELDCOUNTMISMATCH = 0x270C,
  DBIERR_TOOMANYKEYFIELDS = 0x270D,

  // Lock conflicts.
  ERRBASE_LOCKCONFLICT = 0x2800,
  DBIERR_LOCKED = 0x2801,
  DBIERR_FILELOCKED = 0x2805,
  DBIERR_TABLEINUSE = 0x2806,

  // Invalid context.
  ERRBASE_INVALIDCONTEXT = 0x2A00,
  DBIERR_NOACTIVETRAN = 0x2A01,
  DBIERR_ACTIVETRAN = 0x2A02,
  DBIERR_TRANABORTED = 0x2A03,

  // Anything else the storage reports.
  ERRBASE_OTHER = 0x3300,
  DBIERR_STORAGEERROR = 0x3301,
};

// The family of a result: its code with the low byte cleared.
inline TffResult ffResultFamily(TffResult result) { return result & ~0xFF; }

// The fixed text of a result code.
QString ffResultText(TffResult result);

// A result with the full message of its failure (empty for success).
struct TffError {
  TffResult Code = DBIERR_NONE;
  QString Message;

  bool Ok() const { return Code == DBIERR_NONE; }
  static TffError Success() { return {}; }
};
