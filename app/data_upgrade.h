// Bringing the data of an older release up to this one, when the program opens it, in one transaction, so
// that a failure or a crash on the way leaves the data as it was (and the next start tries again).
//
// MINV1's INVNUM index becomes unique, so that no invoice number can be stored twice. Where stored invoices
// already share a number (an older release could store one twice), they keep it: it is the number printed on
// the paper that was handed out. The index then stays as it was until no number is shared (after Wipe All,
// say); new invoices get unused numbers all the same (invoice_storage.h).
//
// The shipped templates reach older data by their own road (shipped_data.h).
#pragma once

class TffDatabase;

// Upgrades the open database before its tables are opened. A failure raises EffDatabaseError and changes
// nothing.
void UpgradeData(TffDatabase *Database);
