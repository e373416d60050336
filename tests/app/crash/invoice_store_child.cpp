// invoice_store_child KILL_AT LINES: the program's start on the data folder TALLYROOK_DATA names, an items
// invoice of LINES lines made and confirmed through Create Invoice, and the end. The file system calls
// that change the database's files (writes, truncations, syncs, deletions) are counted from the question's
// answer to the end of the run; at call number KILL_AT the program kills itself with SIGKILL before making
// the call. With KILL_AT 0 it runs to the end and prints how many such calls it made.
//
// The customer's name says how many lines the invoice has, so that a check can tell a whole invoice.
#include "app/create_invoice.h"
#include "app/data_module.h"
#include "app/invoice_lines.h"
#include "platform/windowing/application.h"
#include <QApplication>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sqlite3.h>
#include <unistd.h>

namespace {

sqlite3_vfs *base = nullptr;
sqlite3_io_methods methods;
bool armed = false;
long calls = 0;
long killAt = 0;

// Counts a call that changes a file; the one numbered killAt is never made.
void Step() {
  if (!armed) return;
  if (++calls == killAt) kill(getpid(), SIGKILL);
}

// A file of the base system, with the methods below in front of it.
struct CountedFile {
  sqlite3_file Base; // first: SQLite sees this
  sqlite3_file *Real;
};

sqlite3_file *Real(sqlite3_file *file) { return reinterpret_cast<CountedFile *>(file)->Real; }

// A method of the real file, counted first when it changes the file.
template <auto Method, bool Changes = false, typename... Args>
int Forward(sqlite3_file *file, Args... args) {
  if (Changes) Step();
  return (Real(file)->pMethods->*Method)(Real(file), args...);
}
// A method of the base file system.
template <auto Method, typename... Args>
int ToBase(sqlite3_vfs *, Args... args) {
  return (base->*Method)(base, args...);
}

int Close(sqlite3_file *file) {
  const int rc = Real(file)->pMethods ? Real(file)->pMethods->xClose(Real(file)) : SQLITE_OK;
  sqlite3_free(Real(file));
  return rc;
}
int Open(sqlite3_vfs *, sqlite3_filename name, sqlite3_file *file, int flags, int *outFlags) {
  auto *counted = reinterpret_cast<CountedFile *>(file);
  counted->Base.pMethods = nullptr;
  counted->Real = static_cast<sqlite3_file *>(sqlite3_malloc(base->szOsFile));
  if (!counted->Real) return SQLITE_NOMEM;
  memset(counted->Real, 0, base->szOsFile);
  const int rc = base->xOpen(base, name, counted->Real, flags, outFlags);
  if (rc != SQLITE_OK) {
    sqlite3_free(counted->Real);
    return rc;
  }
  counted->Base.pMethods = &methods;
  return rc;
}
int Delete(sqlite3_vfs *, const char *name, int syncDir) {
  Step();
  return base->xDelete(base, name, syncDir);
}

// Puts the counting file system in front of the default one, as the new default.
void CountFileCalls() {
  base = sqlite3_vfs_find(nullptr);
  methods = sqlite3_io_methods();
  methods.iVersion = 1;
  methods.xClose = Close;
  methods.xRead = Forward<&sqlite3_io_methods::xRead>;
  methods.xWrite = Forward<&sqlite3_io_methods::xWrite, true>;
  methods.xTruncate = Forward<&sqlite3_io_methods::xTruncate, true>;
  methods.xSync = Forward<&sqlite3_io_methods::xSync, true>;
  methods.xFileSize = Forward<&sqlite3_io_methods::xFileSize>;
  methods.xLock = Forward<&sqlite3_io_methods::xLock>;
  methods.xUnlock = Forward<&sqlite3_io_methods::xUnlock>;
  methods.xCheckReservedLock = Forward<&sqlite3_io_methods::xCheckReservedLock>;
  methods.xFileControl = Forward<&sqlite3_io_methods::xFileControl>;
  methods.xSectorSize = Forward<&sqlite3_io_methods::xSectorSize>;
  methods.xDeviceCharacteristics = Forward<&sqlite3_io_methods::xDeviceCharacteristics>;
  static sqlite3_vfs counting;
  counting = *base;
  counting.iVersion = 1;
  counting.szOsFile = int(sizeof(CountedFile));
  counting.zName = "counting";
  counting.pAppData = nullptr;
  counting.xOpen = Open;
  counting.xDelete = Delete;
  counting.xAccess = ToBase<&sqlite3_vfs::xAccess>;
  counting.xFullPathname = ToBase<&sqlite3_vfs::xFullPathname>;
  counting.xRandomness = ToBase<&sqlite3_vfs::xRandomness>;
  counting.xSleep = ToBase<&sqlite3_vfs::xSleep>;
  counting.xCurrentTime = ToBase<&sqlite3_vfs::xCurrentTime>;
  counting.xGetLastError = ToBase<&sqlite3_vfs::xGetLastError>;
  sqlite3_vfs_register(&counting, 1);
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: invoice_store_child KILL_AT LINES\n");
    return 2;
  }
  killAt = std::atol(argv[1]);
  const int lines = std::atoi(argv[2]);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  CountFileCalls();
  QApplication qtApplication(argc, argv);
  int result = 0;
  try {
    Application()->CreateForm(DD);
    if (!DD) throw Exception(QStringLiteral("the data module did not start"));
    // The lines as the user adds them, saved together to start sooner.
    DD->ffDatabase1->StartTransaction();
    for (int i = 1; i <= lines; ++i)
      AddInvoiceLine(*DD, true, i, QStringLiteral("Line %1 of %2").arg(i).arg(lines), 1.25 * i);
    DD->ffDatabase1->Commit();
    TInvoiceDraft draft;
    draft.Customer = QStringLiteral("%1 lines").arg(lines);
    draft.Address[0] = QStringLiteral("1 Crash Lane");
    draft.Date = 45000;
    draft.TaxPercent = 17.5;
    TCreateInvoiceSteps steps;
    steps.FocusDescription = steps.FocusCustomer = [] {};
    steps.ShowMessage = [](const QString &message) { std::fprintf(stderr, "%s\n", qPrintable(message)); };
    steps.Confirm = [] {
      armed = true;
      return true;
    };
    steps.ShowInvoice = [](int, int number, bool) { std::printf("stored %d\n", number); };
    steps.WhatNext = [] {};
    if (CreateInvoice(*DD, draft, steps) != TCreateInvoiceResult::Stored) result = 1;
  } catch (const std::exception &e) {
    std::fprintf(stderr, "%s\n", e.what());
    result = 1;
  }
  FreeApplication();
  armed = false;
  std::printf("calls %ld\n", calls);
  return result;
}
