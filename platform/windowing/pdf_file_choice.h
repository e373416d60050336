// Where a job on the PDF printer goes: the user is asked for every job, in a save dialog that offers the
// document's title as the file name in a folder that exists (the documents folder when there is one, else
// the home folder). The file goes exactly where the user chose; no folder is ever made for it.
#pragma once
#include <QString>

class TPrinter;

// The folder the save dialog offers: the user's documents folder when it exists, else the home folder.
QString PdfOfferFolder();

// When Printer is the PDF printer, asks where its next job is to be written (the dialog titled
// DialogTitle, the file named after DocumentTitle) and gives Printer that file. False when the user
// cancelled, or chose a folder that does not exist (which is said). True at once for any other printer.
bool ChoosePdfFileForNextJob(TPrinter *Printer, const QString &DialogTitle, const QString &DocumentTitle);
