// The definitions of the application's eight tables, as the shipped database holds them: fields with their
// engine types and sizes, and indexes. The program itself builds only INV2 (CreateINV2Table in
// data_module.h); the others come with the program (shipped_data.h).
//
// Field types as the data module sees them: strings are null-terminated strings of the given number of
// characters (ftString), whole numbers 32-bit integers (ftInteger), amounts doubles (ftFloat), dates
// date-times (ftDateTime), the logo a graphic BLOB (ftGraphic), templates plain BLOBs (ftBlob), the small
// numbers of Reports 16-bit integers (ftSmallint), flags booleans (ftBoolean) and record numbers automatic
// numbers (ftAutoInc).
#pragma once
#include "db/storage/ff_data_dictionary.h"
#include <QList>
#include <QString>

struct TAppTableDefinition {
  QString TableName;
  TffDataDictionary Dictionary;
};

// The block size every table is built with.
constexpr int AppTableBlockSize = 4096;

// INV2, the lines of the invoice being made: QUANTITY, DESCRIPTION (1000), ITEMPRICE, ITEMTOTAL; no index
// beyond the sequential one.
TffDataDictionary INV2Dictionary();

// MINV1, the stored invoice headers; its INVNUM index (the highest number first) holds every number once.
TffDataDictionary MINV1Dictionary();

// Every table, in the order CONTROL, INV1, INV2, Reports, MINV1, MINV2, CUSTOMERS, PRODUCTS.
QList<TAppTableDefinition> AppTableDefinitions();
