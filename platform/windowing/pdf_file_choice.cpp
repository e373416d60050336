#include "platform/windowing/pdf_file_choice.h"
#include "platform/graphics/printer.h"
#include "platform/windowing/system_services.h"
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString PdfOfferFolder() {
  // The documents folder is named whether it exists or not.
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (!documents.isEmpty() && QFileInfo(documents).isDir()) return QDir(documents).absolutePath();
  return QDir::homePath();
}

bool ChoosePdfFileForNextJob(TPrinter *Printer, const QString &DialogTitle, const QString &DocumentTitle) {
  if (!Printer || !Printer->IsPdfPrinter()) return true;
  // A choice made for a job that never ran is not this job's.
  Printer->SetPdfFileName(QString());
  const QString folder = PdfOfferFolder();
  TSaveDialog dialog(nullptr);
  dialog.Title = DialogTitle;
  dialog.Filter = QStringLiteral("PDF files (*.pdf)|*.pdf");
  dialog.DefaultExt = QStringLiteral("pdf");
  dialog.InitialDir = folder;
  dialog.FileName = QDir(folder).filePath(SafeFileName(DocumentTitle) + QStringLiteral(".pdf"));
  dialog.Options = TOpenOptions{ofOverwritePrompt, ofHideReadOnly, ofPathMustExist};
  if (!dialog.Execute() || dialog.FileName.trimmed().isEmpty()) return false;
  QString file = dialog.FileName;
  // A bare name belongs in the folder the dialog was showing.
  if (QFileInfo(file).isRelative()) file = QDir(folder).filePath(file);
  if (QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".pdf");
  const QFileInfo chosen(file);
  if (!chosen.dir().exists()) {
    MessageBox(0,
               QStringLiteral("The folder \"%1\" does not exist. Choose a folder that does.")
                   .arg(QDir::toNativeSeparators(chosen.absolutePath())),
               DialogTitle, MB_OK | MB_ICONERROR);
    return false;
  }
  Printer->SetPdfFileName(chosen.absoluteFilePath());
  return true;
}
