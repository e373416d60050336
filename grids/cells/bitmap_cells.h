// Read-only display cells: the bitmap cell draws a bitmap or one glyph of a strip of glyphs; the icon cell
// draws an icon. Neither has an editor.
#pragma once
#include "grids/base/cell.h"
#include "platform/graphics/bitmap.h"

// The value TOvcTCBaseBitMap paints: glyph Index of a strip of Count glyphs (ActiveCount in use).
struct TOvcCellBitMapInfo {
  const TBitmap *BM = nullptr;
  qint32 Count = 1;
  qint32 ActiveCount = 1;
  qint32 Index = 0; // -1 draws nothing
};

class TOvcTCBaseBitMap : public TOvcBaseTableCell {
public:
  explicit TOvcTCBaseBitMap(TComponent *AOwner) : TOvcBaseTableCell(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TOvcTCBaseBitMap"); }
  // Data: a `const TOvcCellBitMapInfo *`.
  void tcPaint(TCanvas *TableCanvas, const TRect &CellRect, int RowNum, int ColNum,
               const TOvcCellAttributes &CellAttr, const void *Data) override;
  HWND EditorWindow() override { return 0; }
  void HideEditor() override {}
  void PlaceEditor(const TRect &) override {}
  void CopyEditorValue(void *) override {}
  void StartEditing(int, int, const TRect &, const TOvcCellAttributes &, int, const void *) override {}
  void EndEditing(bool, void *) override {}
};

class TOvcTCCustomBitMap : public TOvcTCBaseBitMap {
public:
  explicit TOvcTCCustomBitMap(TComponent *AOwner) : TOvcTCBaseBitMap(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TOvcTCCustomBitMap"); }
  // Data: a `const TBitmap *`, drawn whole.
  void tcPaint(TCanvas *TableCanvas, const TRect &CellRect, int RowNum, int ColNum,
               const TOvcCellAttributes &CellAttr, const void *Data) override;
  void GatherAttributes(int RowNum, int ColNum, TOvcCellAttributes &CellAttr) override;
};

class TOvcTCBitMap : public TOvcTCCustomBitMap {
public:
  using TOvcTCCustomBitMap::TOvcTCCustomBitMap;
  QString ClassName() const override { return QStringLiteral("TOvcTCBitMap"); }
};

class TOvcTCCustomIcon : public TOvcBaseTableCell {
public:
  explicit TOvcTCCustomIcon(TComponent *AOwner) : TOvcBaseTableCell(AOwner) {}
  QString ClassName() const override { return QStringLiteral("TOvcTCCustomIcon"); }
  // Data: a `const TIcon *`, drawn at its full size.
  void tcPaint(TCanvas *TableCanvas, const TRect &CellRect, int RowNum, int ColNum,
               const TOvcCellAttributes &CellAttr, const void *Data) override;
  void GatherAttributes(int RowNum, int ColNum, TOvcCellAttributes &CellAttr) override;
};

class TOvcTCIcon : public TOvcTCCustomIcon {
public:
  using TOvcTCCustomIcon::TOvcTCCustomIcon;
  QString ClassName() const override { return QStringLiteral("TOvcTCIcon"); }
};
