// The program body: starts Tallyrook inside the QApplication that main made and runs it until the main
// window closes.
//
// In this order: the application object; its title "Tallyrook" (the single-instance guard is named after
// it); the data module DD, whose loading runs the guard and whose creation handler opens the database; then
// the forms, the main window F1 first; then the message loop. At exit the application frees the forms and
// the data module, then its own process-wide state.
//
// A second copy ends right after the guard, without opening the database or creating any form. When the
// database is missing or cannot be used, a message box tells the problem, naming the file once, and the
// program ends without creating any form. A form that cannot be made ends the start the same way: a
// message, then the program ends, the forms made so far freed.
#pragma once
#include <QString>

// Starts the report engine for the application's run: report templates find the forms and the data module
// by name, and at exit the engine is stopped before the printer goes.
void StartApplicationReports();

// Returns the program's exit code: 0, or 1 when the data could not be opened or a form could not be made.
int RunTallyrook();

// The text shown when the database cannot be used: the problem, and the file when the problem does not
// name it.
QString DatabaseFailureMessage(const QString &File, const QString &Problem);
