// The template stream: writing version 23, reading versions 21 to 23 and version-less streams.
#include "platform/core/streams.h"
#include "report/model_state.h"
#include "report/report_model.h"
#include "report/stream_utils.h"
#include "report/view_stream.h"
#include <QSet>

namespace {

constexpr quint8 kPageMarker = 0xFF;
constexpr quint8 kValuesMarker = 0xFE;
constexpr quint8 kAddInDataMarker = 0xFD;
constexpr int kOldestVersion = 21;

void WriteBody(TStream *stream, TfrReportModel &model) {
  stream->WriteUInt16(model.PrintToDefault ? 0xFFFF : 0);
  stream->WriteUInt16(model.DoublePass ? 0xFFFF : 0);
  WriteStreamString(stream, ReportPrinter()->PrinterName());
  for (int i = 0; i < model.Pages.Count(); ++i) {
    stream->WriteUInt8(kPageMarker);
    model.Pages[i]->SaveToStream(stream);
  }
  for (int i = 0; i < model.Pages.Count(); ++i) {
    TfrPage *page = model.Pages[i];
    if (page->ObjectCount() > 0 && i > 255)
      throw EWriteError(QStringLiteral("A template can hold objects on its first 256 pages only"));
    for (int k = 0; k < page->ObjectCount(); ++k) {
      TfrView *view = page->Object(k);
      view->PreparedForm = false;
      stream->WriteUInt8(quint8(view->Typ));
      if (view->Typ == gtAddIn) WriteStreamString(stream, view->ClassName());
      stream->WriteUInt8(quint8(i));
      view->SaveToStream(stream);
    }
  }
  stream->WriteUInt8(kValuesMarker);
  model.Values.SaveToStream(stream);
  WriteStreamLines(stream, &model.Variables);
}

// Names the objects of a stream that stores none: the class's base name and the first free number.
void GenerateNames(TfrReportModel &model) {
  QSet<QString> taken;
  for (int i = 0; i < model.Pages.Count(); ++i)
    for (int k = 0; k < model.Pages[i]->ObjectCount(); ++k)
      if (!model.Pages[i]->Object(k)->Name.isEmpty()) taken.insert(model.Pages[i]->Object(k)->Name.toLower());
  for (int i = 0; i < model.Pages.Count(); ++i)
    for (int k = 0; k < model.Pages[i]->ObjectCount(); ++k) {
      TfrView *view = model.Pages[i]->Object(k);
      if (!view->Name.isEmpty()) continue;
      for (int n = 1; n <= 10000; ++n) {
        const QString name = view->BaseName + QString::number(n);
        if (taken.contains(name.toLower())) continue;
        view->Name = name;
        taken.insert(name.toLower());
        break;
      }
    }
}

void ReadBody(TStream *stream, TfrReportModel &model, QString &printerName) {
  model.PrintToDefault = stream->ReadUInt16() != 0;
  model.DoublePass = stream->ReadUInt16() != 0;
  printerName = frReadString(stream);
  while (stream->Position() < stream->Size()) {
    const qint64 at = stream->Position();
    const int marker = stream->ReadUInt8();
    if (marker == kPageMarker) {
      auto page = std::make_unique<TfrPage>();
      page->LoadFromStream(stream);
      model.Pages.Append(std::move(page));
    } else if (marker == kValuesMarker) {
      model.Values.LoadFromStream(stream);
      frReadLines(stream, &model.Variables);
    } else if (marker == kAddInDataMarker) {
      // Data of a data-manager add-in, which this program does not have: the template ends here.
      break;
    } else if (marker <= gtAddIn) {
      bool framedMemo = false;
      std::unique_ptr<TfrView> view = frCreateViewOfEntry(stream, marker, &framedMemo);
      const int pageIndex = stream->ReadUInt8();
      if (pageIndex >= model.Pages.Count())
        throw EfrStreamError(
            QStringLiteral("The object at byte %1 belongs to page %2 of a template of %3 pages")
                .arg(at)
                .arg(pageIndex + 1)
                .arg(model.Pages.Count()));
      view->PreparedForm = false;
      view->LoadFromStream(stream);
      if (framedMemo) stream->ReadBytes(8);
      model.Pages[pageIndex]->Add(std::move(view));
    } else {
      throw EfrStreamError(QStringLiteral("Unknown record type %1 at byte %2").arg(marker).arg(at));
    }
  }
}

} // namespace

void TfrReportModel::SaveToStream(TStream *stream) {
  // Written aside first, so that a refused template leaves the stream untouched; the aside stream starts at
  // the target's position, so that the picture offsets it records are the target's.
  const qint64 start = stream->Position();
  TMemoryStream aside;
  aside.SetSize(start);
  aside.SetPosition(start);
  aside.WriteUInt8(frCurrentVersion);
  WriteBody(&aside, *this);
  aside.SetPosition(start);
  stream->CopyFrom(&aside, aside.Size() - start);
}

void TfrReportModel::LoadFromStream(TStream *stream) {
  TfrStreamVersionScope versionScope(frModel().StreamVersion);
  TfrReportModel fresh;
  QString printerName;
  const qint64 start = stream->Position();
  try {
    if (start >= stream->Size()) throw EfrStreamError(QStringLiteral("The report template is empty"));
    int version = stream->ReadUInt8();
    if (version < kOldestVersion) {
      // No version byte: the stream starts with the report's switches, laid out as version 21.
      version = kOldestVersion;
      stream->SetPosition(start);
    }
    if (version > frCurrentVersion) throw EfrStreamError(QStringLiteral("Unsupported FRF format"));
    frModel().StreamVersion = version;
    ReadBody(stream, fresh, printerName);
    if (version < frCurrentVersion) GenerateNames(fresh);
  } catch (const EfrStreamError &) {
    throw;
  } catch (const EReadError &) {
    throw EfrStreamError(
        QStringLiteral("The report template is damaged: it ends inside a record (at byte %1 of %2)")
            .arg(stream->Position() - start)
            .arg(stream->Size() - start));
  }
  Swap(fresh);
  TfrPrinter *printer = ReportPrinter();
  if (!PrintToDefault) printer->SelectPrinterByName(printerName);
  for (int i = 0; i < Pages.Count(); ++i) Pages[i]->ApplyPaper();
}

void TfrReportModel::WriteReportForm(TStream *stream, bool storeInDfm) {
  TMemoryStream form;
  form.WriteInt32(frCurrentVersion);
  if (storeInDfm) {
    TMemoryStream report;
    SaveToStream(&report);
    form.WriteInt32(qint32(report.Size()));
    form.CopyFrom(&report, 0);
  }
  stream->CopyFrom(&form, 0);
}

void TfrReportModel::ReadReportForm(TStream *stream, bool storeInDfm) {
  try {
    stream->ReadInt32(); // the version the component was stored with
    if (!storeInDfm) return;
    const qint32 length = stream->ReadInt32();
    if (length < 0 || length > stream->Size() - stream->Position())
      throw EfrStreamError(
          QStringLiteral("The stored report form claims %1 bytes, more than it holds").arg(length));
    TMemoryStream report(stream->ReadBytes(length));
    LoadFromStream(&report);
  } catch (const EfrStreamError &) {
    throw;
  } catch (const EReadError &) {
    throw EfrStreamError(QStringLiteral("The stored report form is damaged: it ends too early"));
  }
}

void TfrReportModel::Clear() {
  Pages.Clear();
  Values.Clear();
  Variables.Clear();
  PrintToDefault = false;
  DoublePass = false;
}

void TfrReportModel::Swap(TfrReportModel &other) {
  Pages.Swap(other.Pages);
  std::swap(Values, other.Values);
  TStringList variables;
  variables.Assign(&Variables);
  Variables.Assign(&other.Variables);
  other.Variables.Assign(&variables);
  std::swap(PrintToDefault, other.PrintToDefault);
  std::swap(DoublePass, other.DoublePass);
}

TfrView *TfrReportModel::FindObject(const QString &name) const {
  for (int i = 0; i < Pages.Count(); ++i)
    if (TfrView *view = Pages[i]->FindView(name)) return view;
  return nullptr;
}
