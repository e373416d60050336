// TfrView: a report object (view) with its position, frame, fill, format, text and script, the geometry
// rules that scale it onto a canvas, and its background and frame drawing. The same objects serve templates,
// page building and prepared pages. Object classes:
//   type 0 TfrMemoView (text), 1 TfrPictureView, 2 TfrBandView, 3 TfrSubReportView, 4 TfrLineView,
//   10 an add-in object named by its class (such as TfrShapeView).
//
// Coordinates are design pixels of the page (report units); drawing scales them by ScaleX/ScaleY and moves
// them by OffsX/OffsY. Colours are Windows colour values; clNone means no fill.
#pragma once
#include "platform/core/string_list.h"
#include "platform/graphics/canvas.h"
#include "report/engine_model.h"
#include <QString>
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

class TField;
class TStream;
class TfrBand;

// Object type bytes.
constexpr int gtMemo = 0;
constexpr int gtPicture = 1;
constexpr int gtBand = 2;
constexpr int gtSubReport = 3;
constexpr int gtLine = 4;
constexpr int gtAddIn = 10;

// Frame sides (bits of FrameTyp).
constexpr int frbRight = 1;
constexpr int frbBottom = 2;
constexpr int frbLeft = 4;
constexpr int frbTop = 8;
constexpr int frbAll = 15;

// The frame style of a double line; the other styles are pen styles.
constexpr int frsDouble = 5;

// Flags of every object: bit 1 (stretched) means something per class.
constexpr int flStretched = 1;

class TfrView : public TObject, public TfrEngineView {
public:
  TfrView();
  ~TfrView() override;
  QString ClassName() const override { return QStringLiteral("TfrView"); }

  // ---- geometry and drawing ----
  virtual void DrawBackground();
  virtual void DrawFrame();
  // Takes the object's content from a dataset field (a picture from a BLOB field); nothing for most classes.
  virtual void LoadFromField(TField *field) {}
  // Copies the stored properties of another object (of any class; each class copies its own part too).
  virtual void Assign(const TfrView *source);
  // Scales the object onto the canvas: saves the design bounds and frame width, and computes the scaled
  // bounds, the text gaps and the drawing rectangle.
  virtual void ApplyScale();
  // Puts the design bounds and frame width back.
  virtual void RestoreBounds();
  virtual void Draw(TCanvas *canvas) = 0;
  // The area the object paints: its frame rectangle grown by half the frame width (1.5 times for a double
  // line) on the framed sides, and by 10 pixels on every side when widen is set.
  virtual TRect GetClipRegion(bool widen);

  // ---- streams ----
  // The object's own data in template form, or in prepared form when PreparedForm is set. Readers follow
  // the stream version being read (frModel().StreamVersion); writers write version 23.
  virtual void LoadFromStream(TStream *stream);
  virtual void SaveToStream(TStream *stream);
  // Writes the object as one entry of a prepared page: its type byte (and class name), then its prepared
  // form, carrying its expanded text.
  void PrintToStream(TStream *stream);

  // ---- script access (TfrEngineView) ----
  QString ViewName() const override { return Name; }
  TfrViewKind ViewKind() const override;
  Variant GetProperty(TfrViewProperty property) const override;
  void SetProperty(TfrViewProperty property, const Variant &value) override;

  // The design rectangle (Left, Top, Left + Width, Top + Height).
  TRect DesignRect() const { return Bounds(Left, Top, Width, Height); }
  // The right and bottom edges of the object as drawn: round((design edge) x scale + offset).
  int ScaledRight() const;
  int ScaledBottom() const;
  // The pen width of the frame: the scaled frame width rounded, at least 1 and at most 1024 device pixels
  // (damaged data cannot ask for lines wider than any page).
  int FramePenWidth() const;

  // ---- fields ----
  QString BaseName = QStringLiteral("View");
  TCanvas *Canvas = nullptr;
  TRect DRect;  // drawing rectangle, computed by ApplyScale
  int gapx = 0; // inner text gaps
  int gapy = 0;
  TStringList Memo1; // expanded text: the memo with its expressions evaluated
  bool PreparedForm = false;
  TfrBand *Parent = nullptr;
  QString Name;
  int ID = 0;
  int Typ = 0;
  bool Selected = false;
  double ScaleX = 1.0;
  double ScaleY = 1.0;
  int OffsX = 0;
  int OffsY = 0;
  // Set while the object draws on the printer.
  bool IsPrinting = false;
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  quint16 Flags = 0;
  quint16 FrameTyp = 0;
  float FrameWidth = 1.0f;
  TColor FrameColor = clBlack;
  quint16 FrameStyle = 0;
  TColor FillColor = clNone;
  qint32 Format = 0;
  QString FormatStr;
  bool Visible = true;
  TStringList Memo;
  TStringList Script;

protected:
  // Saves the design bounds and computes the scaled geometry for the given scale and offset.
  void ComputeGeometry(double scaleX, double scaleY, int offsX, int offsY);
  // The part of the canvas that drawing can reach, with a margin: what lies beyond need not be drawn.
  TRect ReachableArea() const;
  // Draws one frame side from (x1, y1) to (x2, y2) with the frame's pen rules.
  void FrameLine(int x1, int y1, int x2, int y2, bool vertical);

private:
  int saveX_ = 0, saveY_ = 0, saveDX_ = 0, saveDY_ = 0;
  float saveFW_ = 1.0f;
  bool scaled_ = false;
};

// An object whose height can follow its content.
class TfrStretcheable : public TfrView {
public:
  QString ClassName() const override { return QStringLiteral("TfrStretcheable"); }
  // The height the content needs.
  virtual int CalcHeight() = 0;
  // The height of one step of the content (a text line).
  virtual int StepHeight() = 0;
  // The height of the content not yet printed.
  virtual int RemainingHeight() = 0;
};

// ---- add-in objects ----

// A registered add-in object class.
struct TfrAddInObjectInfo {
  QString ClassName;
  std::function<std::unique_ptr<TfrView>()> Create;
  QString ButtonHint;
};

// The registry holds at most this many add-in classes.
constexpr int frMaxAddIns = 32;

// Appends an add-in class; registering a class name again replaces nothing and does nothing. Raises
// EInvalidOperation when the registry is full.
void frRegisterObject(const QString &className, std::function<std::unique_ptr<TfrView>()> create,
                      const QString &buttonHint);
int frAddInCount();
const TfrAddInObjectInfo &frAddIn(int index);

// A new object of the type byte: types 0 to 4 make their class, type 10 the add-in class of exactly that
// name (EClassNotFound "Не найден класс <name>" when none is registered); any other type gives nullptr.
// Every object created takes the next serial number.
std::unique_ptr<TfrView> CreateViewByType(int typ, const QString &className = QString());

// Rounds as the class library does: halves to the even neighbour (held within the int range; not a number
// gives 0). Adding and taking away 2^52 rounds so in the default rounding mode, as nearbyint does, without a
// call; numbers that large have no fraction.
inline int frRound(double value) {
  if (!std::isfinite(value)) return 0;
  constexpr double kNoFraction = 4503599627370496.0;
  const double magnitude = std::fabs(value);
  const double r =
      magnitude < kNoFraction ? std::copysign((magnitude + kNoFraction) - kNoFraction, value) : value;
  if (r >= 2147483647.0) return 2147483647;
  if (r <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(r);
}
// Coordinates are held within +-2^28 pixels, so that a sum of two stays within int: damaged data and
// scripts cannot make the geometry overflow.
constexpr int frMaxCoordinate = 1 << 28;
inline int frCoord(double value) { return std::clamp(frRound(value), -frMaxCoordinate, frMaxCoordinate); }
