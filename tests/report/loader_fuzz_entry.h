// The inputs of the template and prepared-report fuzz targets, shared with the regression test that runs
// their corpora in the normal build. Refusing an input with an error is a normal outcome; a crash, a hang, a
// sanitizer report or an input that loads but does not save and load again to the same bytes is a fault.
// Whatever loads is drawn too, as the preview would draw it.
#pragma once
#include "platform/core/streams.h"
#include "platform/graphics/canvas.h"
#include "report/model_state.h"
#include "report/prepared_pages.h"
#include "report/printer_wrapper.h"
#include "report/report_model.h"
#include "report/shape_view.h"
#include <QImage>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

inline void Check(bool condition, const char *what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

inline void PrepareLoaders() {
  BindReportPrinter(nullptr); // the virtual printer: no system printers are asked
  frRegisterShapeObject();
  frModel().DocMode = dmDesigning;
}

inline TMemoryStream InputStream(const uint8_t *data, size_t size) {
  return TMemoryStream(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
}

// Saves, loads the result and saves again: the two saved forms must be the same. False when the model holds
// something its stream form cannot (a text too long), which saving refuses.
template <typename Save, typename Load>
bool SavesStably(Save save, Load load) {
  TMemoryStream first;
  try {
    save(&first);
  } catch (const EWriteError &) {
    return false;
  }
  first.SetPosition(0);
  TMemoryStream second;
  load(&first, &second);
  Check(first.Bytes() == second.Bytes(), "a loaded stream saves, loads and saves to the same bytes");
  return true;
}

inline int RunTemplateInput(const uint8_t *data, size_t size) {
  PrepareLoaders();
  TMemoryStream input = InputStream(data, size);
  TfrReportModel model;
  try {
    model.LoadFromStream(&input);
  } catch (const Exception &) {
    return 0;
  }
  SavesStably([&](TStream *s) { model.SaveToStream(s); },
              [](TStream *s, TStream *out) {
                TfrReportModel again;
                again.LoadFromStream(s);
                again.SaveToStream(out);
              });
  QImage image(120, 170, QImage::Format_RGB32);
  TCanvas canvas(&image);
  TfrDocModeScope printing(dmPrinting);
  for (int p = 0; p < model.Pages.Count(); ++p)
    for (int i = 0; i < model.Pages[p]->ObjectCount(); ++i) {
      TfrView *view = model.Pages[p]->Object(i);
      view->ScaleX = view->ScaleY = 0.15;
      view->Draw(&canvas);
    }
  return 0;
}

inline int RunPreparedInput(const uint8_t *data, size_t size) {
  PrepareLoaders();
  TMemoryStream input = InputStream(data, size);
  TfrEMFPages pages;
  try {
    pages.LoadFromStream(&input, false);
  } catch (const Exception &) {
    return 0;
  }
  SavesStably([&](TStream *s) { pages.SaveToStream(s); },
              [](TStream *s, TStream *out) {
                TfrEMFPages again;
                again.LoadFromStream(s, false);
                again.SaveToStream(out);
              });
  QImage image(120, 170, QImage::Format_RGB32);
  TCanvas canvas(&image);
  for (int i = 0; i < pages.Count(); ++i) {
    pages[i].Visible = true;
    pages.Draw(i, &canvas, Rect(0, 0, 120, 170));
    pages[i].Visible = false;
    pages.Draw(i, &canvas, TRect{});
  }
  return 0;
}

} // namespace fuzz
