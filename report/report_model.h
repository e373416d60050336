// TfrReportModel: a report template: its pages with their objects, its values and variables, and the two
// switches stored with it. Its stream form is the template stream (template_stream.cpp):
//   version byte (23); u16 PrintToDefault; u16 DoublePass; printer name; for each page 0xFF and its record;
//   for each object of each page its type byte, [class name for an add-in], page index byte and data;
//   0xFE, the values and the variables.
// Readers take versions 21 and 22 too, and streams older than version 21, which have no version byte.
#pragma once
#include "platform/core/string_list.h"
#include "report/page.h"
#include "report/values.h"
#include "report/view_stream.h"

class TStream;

class TfrReportModel {
public:
  TfrReportModel() = default;
  TfrReportModel(const TfrReportModel &) = delete;
  TfrReportModel &operator=(const TfrReportModel &) = delete;

  // Writes the template stream at the stream's position, in version 23. A template the form cannot hold
  // (a text too long for its length field, a page index above 255) is refused with EWriteError and nothing
  // is written.
  void SaveToStream(TStream *stream);
  // Reads a template stream from the stream's position into a new model and takes it only when the whole
  // stream has been read; then selects the stored printer (unless PrintToDefault) and applies each page's
  // paper. A damaged, truncated or unsupported stream raises EfrStreamError (an unknown add-in class
  // EClassNotFound) and the model keeps what it had.
  void LoadFromStream(TStream *stream);

  // The stored binary property "ReportForm" of a report component: int32 23, then, only when the template is
  // stored with the component, int32 length and the template stream of that length. Reading refuses a length
  // that does not fit the stream.
  void WriteReportForm(TStream *stream, bool storeInDfm);
  void ReadReportForm(TStream *stream, bool storeInDfm);

  void Clear();
  void Swap(TfrReportModel &other);
  // The first object of that name on any page, without regard to case.
  TfrView *FindObject(const QString &name) const;

  TfrPages Pages;
  TfrValues Values;
  TStringList Variables;
  bool PrintToDefault = false;
  bool DoublePass = false;
};
