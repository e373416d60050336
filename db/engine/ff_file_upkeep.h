// Bringing a database file up to date as the engine opens it.
//
// A file of an older layout is upgraded in one transaction: a crash or a failure on the way leaves it as it
// was. A file whose keys follow other collation rules than the connection's (another locale, another
// version of the rules) has every key made again, in that transaction. Rows that another program added or
// changed (through any SQLite tool) are given what the engine keeps for them: the keys of their texts,
// and an automatic number where they left it empty or 0; the
// table's next automatic number is raised past the numbers they used. Only the tables that the file's
// triggers marked as changed by another program are searched for such rows, so opening takes no longer
// as the tables grow; a file with no marked table is only read.
#pragma once
#include "db/engine/ff_results.h"

class TffSqliteConnection;

TffError ffBringFileUpToDate(TffSqliteConnection &connection);
