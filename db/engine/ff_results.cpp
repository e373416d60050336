#include "db/engine/ff_results.h"

QString ffResultText(TffResult result) {
  switch (result) {
  case DBIERR_NONE: return QStringLiteral("Success");
  case DBIERR_BOF: return QStringLiteral("At beginning of table");
  case DBIERR_EOF: return QStringLiteral("At end of table");
  case DBIERR_RECDELETED: return QStringLiteral("Record has been deleted");
  case DBIERR_NOCURRREC: return QStringLiteral("No current record");
  case DBIERR_RECNOTFOUND: return QStringLiteral("Could not find record");
  case DBIERR_NOSUCHTABLE: return QStringLiteral("Table does not exist");
  case DBIERR_NOSUCHINDEX: return QStringLiteral("Index does not exist");
  case DBIERR_NOSUCHFIELD: return QStringLiteral("Field does not exist");
  case DBIERR_NOSUCHDATABASE: return QStringLiteral("Database file does not exist");
  case DBIERR_NOSUCHFOLDER: return QStringLiteral("Folder does not exist");
  case DBIERR_FILECORRUPT: return QStringLiteral("Database file is damaged");
  case DBIERR_NOTADATABASE: return QStringLiteral("File is not a Tallyrook database");
  case DBIERR_DICTCORRUPT: return QStringLiteral("Table definition is damaged");
  case DBIERR_NEWERVERSION: return QStringLiteral("Database file was made by a newer version");
  case DBIERR_READERR: return QStringLiteral("Cannot read the database file");
  case DBIERR_WRITEERR: return QStringLiteral("Cannot write the database file");
  case DBIERR_FILENOACCESS: return QStringLiteral("Cannot open or write the database file");
  case DBIERR_NOMEMORY: return QStringLiteral("Insufficient memory");
  case DBIERR_NODISKSPACE: return QStringLiteral("Database full: insufficient disk space");
  case DBIERR_KEYVIOL: return QStringLiteral("Key violation");
  case DBIERR_REQDERR: return QStringLiteral("Field value required");
  case DBIERR_STRINGTOOLONG: return QStringLiteral("String too long for field");
  case DBIERR_INVALIDFLDVALUE: return QStringLiteral("Invalid field value");
  case DBIERR_INVALIDPARAM: return QStringLiteral("Invalid parameter");
  case DBIERR_INVALIDHNDL: return QStringLiteral("Invalid handle");
  case DBIERR_INVALIDTABLENAME: return QStringLiteral("Invalid table name");
  case DBIERR_INVALIDFIELDNAME: return QStringLiteral("Invalid field name");
  case DBIERR_TABLEEXISTS: return QStringLiteral("Table already exists");
  case DBIERR_DATABASEEXISTS: return QStringLiteral("Database file already exists");
  case DBIERR_INVALIDDICTIONARY: return QStringLiteral("Invalid table definition");
  case DBIERR_FIELDCOUNTMISMATCH: return QStringLiteral("Number of values does not match the fields");
  case DBIERR_TOOMANYKEYFIELDS: return QStringLiteral("More key values than index fields");
  case DBIERR_LOCKED: return QStringLiteral("Record or table locked");
  case DBIERR_FILELOCKED: return QStringLiteral("Database file is locked by another program");
  case DBIERR_TABLEINUSE: return QStringLiteral("Table is in use");
  case DBIERR_NOACTIVETRAN: return QStringLiteral("No active transaction");
  case DBIERR_ACTIVETRAN: return QStringLiteral("A transaction is already active");
  case DBIERR_TRANABORTED: return QStringLiteral("Transaction was rolled back");
  case DBIERR_STORAGEERROR: return QStringLiteral("Database storage error");
  default: return QStringLiteral("Database engine error %1").arg(result);
  }
}
