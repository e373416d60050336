// The texts of the report engine's windows.
#pragma once
#include <QString>

namespace frtext {

// ---- preview ----
inline const QString Scale = QStringLiteral("Scale");
inline const QString OpenReport = QStringLiteral("Open report");
inline const QString SaveReport = QStringLiteral("Save report");
inline const QString PrintReport = QStringLiteral("Print report");
inline const QString FindText = QStringLiteral("Find text");
inline const QString ClosePreview = QStringLiteral("Close preview");
inline const QString WebPage = QStringLiteral("Report engine home page");
inline const QString PageWidth = QStringLiteral("&Page width");
inline const QString WholePage = QStringLiteral("&Whole page");
inline const QString TwoPages = QStringLiteral("&Two pages");
inline const QString Page = QStringLiteral("Page");
inline const QString ReportFile = QStringLiteral("Report file");
inline const QString Preview = QStringLiteral("Preview");

// ---- find dialog ----
inline const QString TextToFind = QStringLiteral("Text to &find");
inline const QString Options = QStringLiteral("Options");
inline const QString CaseSensitive = QStringLiteral("&Case sensitive");
inline const QString Origin = QStringLiteral("Origin");
inline const QString FirstPage = QStringLiteral("&1st page");
inline const QString CurrentPage = QStringLiteral("Current &page");
inline const QString OK = QStringLiteral("OK");
inline const QString Cancel = QStringLiteral("Cancel");

// ---- print dialog ----
inline const QString Print = QStringLiteral("Print");
inline const QString Printer = QStringLiteral("Printer");
inline const QString Properties = QStringLiteral("Properties");
inline const QString Copies = QStringLiteral("&Copies:");
inline const QString PageRange = QStringLiteral("Page range");
inline const QString All = QStringLiteral("&All");
inline const QString Numbers = QStringLiteral("&Numbers:");
inline const QString PageRangeHint =
    QStringLiteral("Enter page numbers and/or page ranges, separated by commas. For example, 1,3,5-12");
inline const QString BadCopies = QStringLiteral("The number of copies must be a whole number from 1 to %1.");

// ---- format dialog ----
inline const QString FormatCaption = QStringLiteral("Display format");
inline const QString Category = QStringLiteral("Category");
inline const QString Format = QStringLiteral("Format");
inline const QString DecimalPlaces = QStringLiteral("Decimal places:");
inline const QString DecimalSeparator = QStringLiteral("Decimal separator:");
inline const QString FormatText = QStringLiteral("Format text:");

} // namespace frtext
