// Carets drawn by the control that owns them:
//   TOvcCaret        one caret's look (shape, size, alignment in the character cell, bitmap, blink time),
//                    reference counted because several carets may share one description;
//   TOvcSingleCaret  the caret of one control: where it stands, whether it shows, and its blinking;
//   TOvcCaretPair    a single caret that switches between an insert and an overwrite look.
//
// The caret never touches a system-wide caret or blink setting. While it is linked to its owner's window it
// blinks on a timer of its own and invalidates the rectangle it covers; the owner draws it by calling Paint
// from its own Paint.
#pragma once
#include "platform/core/events.h"
#include "platform/core/object.h"
#include "platform/core/types.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/color.h"
#include "platform/windowing/messages.h"
#include <cstdint>
#include <memory>

class TCanvas;
class TWinControl;

enum TOvcCaretAlign { caLeft, caTop, caRight, caBottom, caCenter };
enum TOvcCaretShape { csBlock, csHalfBlock, csVertLine, csHorzLine, csCustom, csBitmap };

// A caret coordinate that lies off the window.
constexpr int kCaretOffWindow = 2147483647;

class TOvcCaret : public TPersistent {
public:
  TOvcCaret();
  ~TOvcCaret() override;
  QString ClassName() const override { return QStringLiteral("TOvcCaret"); }
  // Copies the look of another caret (its users and count stay).
  void Assign(const TPersistent *Source) override;

  // -- reference counting: a new caret has a count of 0; Release frees it when the count drops to 0 --
  void AddRef() { ++refCount_; }
  void Release();
  int RefCount() const { return refCount_; }

  TOvcCaretAlign Align() const { return align_; }
  void SetAlign(TOvcCaretAlign Value);
  // Null until a bitmap is set.
  TBitmap *Bitmap() const { return bitmap_.get(); }
  // A null bitmap is ignored; another one is copied.
  void SetBitmap(const TBitmap *Value);
  int BitmapHotSpotX() const { return hotSpotX_; }
  void SetBitmapHotSpotX(int Value);
  int BitmapHotSpotY() const { return hotSpotY_; }
  void SetBitmapHotSpotY(int Value);
  // Milliseconds between blinks; 0 for the system's blink time.
  WORD BlinkTime() const { return blinkTime_; }
  void SetBlinkTime(WORD Value);
  // Heights and widths below 1 are ignored.
  int CaretHeight() const { return height_; }
  void SetCaretHeight(int Value);
  int CaretWidth() const { return width_; }
  void SetCaretWidth(int Value);
  bool IsGray() const { return isGray_; }
  void SetIsGray(bool Value);
  // Each shape sets the alignment (and a line's thickness) that goes with it; csBitmap takes the bitmap's
  // size.
  TOvcCaretShape Shape() const { return shape_; }
  void SetShape(TOvcCaretShape Value);

  // Fired on every change of the look; set by the caret's user.
  TNotifyEvent OnChange;

private:
  void Changed();

  int refCount_ = 0;
  TOvcCaretAlign align_ = caLeft;
  std::unique_ptr<TBitmap> bitmap_;
  int hotSpotX_ = 0;
  int hotSpotY_ = 0;
  WORD blinkTime_ = 0;
  int height_ = 10;
  int width_ = 2;
  bool isGray_ = false;
  TOvcCaretShape shape_ = csVertLine;
};

class TOvcSingleCaret : public TPersistent {
public:
  explicit TOvcSingleCaret(TWinControl *Owner);
  ~TOvcSingleCaret() override;
  QString ClassName() const override { return QStringLiteral("TOvcSingleCaret"); }

  TWinControl *Owner() const { return owner_; }

  // The description in use (a reference is held). Changing it while linked unlinks, recomputes and links
  // again.
  TOvcCaret *Caret() const { return caret_; }
  void SetCaret(TOvcCaret *Value);

  // The character cell the caret stands in (at least 1 x 1).
  int CellHeight() const { return cellHeight_; }
  void SetCellHeight(int Value);
  int CellWidth() const { return cellWidth_; }
  void SetCellWidth(int Value);

  // Linked: the caret belongs to its owner's window, blinks and is painted there. Linking needs the window;
  // without it the caret stays unlinked.
  bool Linked() const { return linked_; }
  void SetLinked(bool Value);

  // The cell's top left in client pixels; kCaretOffWindow in a coordinate: off the window.
  int PosX() const { return posX_; }
  int PosY() const { return posY_; }
  // A negative coordinate puts the caret off the window in that direction.
  void SetPosition(int X, int Y);

  bool Visible() const { return visible_; }
  void SetVisible(bool Value);

  // The caret's place inside its cell and its size, as computed from the description and the cell.
  int OffsetX() const { return offsetX_; }
  int OffsetY() const { return offsetY_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // The blink interval in use: the description's, else the system's.
  unsigned BlinkInterval() const;

  // The client rectangle the caret covers; empty while it is off the window.
  TRect CaretRect() const;
  // Whether the caret is drawn now: linked, visible, on the window and in the shown half of its blink.
  bool Showing() const;
  // Draws the caret when it is showing: the bitmap for csBitmap, else a block in Color (grey when IsGray).
  void Paint(TCanvas *Canvas, TColor Color = clWindowText) const;
  // Turns the blink phase over (the blink timer calls this).
  void Blink();

protected:
  // Marks a client rectangle of the owner for repainting.
  virtual void InvalidateArea(const TRect &Rect);
  // The change callback given to each description this caret uses.
  void CaretChanged(TObject *Sender);

private:
  void Recalc();
  void Link();
  void Unlink();
  void StartTimer();
  void StopTimer();
  // Shows the caret at once (a moved or shown caret starts in its shown phase).
  void RestartBlink();
  void InvalidateCaret();

  TWinControl *owner_;
  TOvcCaret *caret_ = nullptr;
  int cellHeight_ = 10;
  int cellWidth_ = 10;
  bool linked_ = false;
  int posX_ = 0;
  int posY_ = 0;
  bool visible_ = false;
  int offsetX_ = 0;
  int offsetY_ = 0;
  int width_ = 0;
  int height_ = 0;
  bool blinkOn_ = true;
  std::uintptr_t timerId_ = 0;
  // Lets the timer's procedure see whether the caret still exists.
  std::shared_ptr<TOvcSingleCaret *> self_;
};

class TOvcCaretPair : public TOvcSingleCaret {
public:
  explicit TOvcCaretPair(TWinControl *Owner);
  ~TOvcCaretPair() override;
  QString ClassName() const override { return QStringLiteral("TOvcCaretPair"); }

  // The insert caret is in use in insert mode, the overwrite caret otherwise.
  bool InsertMode() const { return insertMode_; }
  void SetInsertMode(bool Value);
  TOvcCaret *CaretIns() const { return caretIns_; }
  // Copies the look of Value.
  void SetCaretIns(const TOvcCaret *Value);
  TOvcCaret *CaretOvr() const { return caretOvr_; }
  void SetCaretOvr(const TOvcCaret *Value);

private:
  bool insertMode_ = true;
  TOvcCaret *caretIns_;
  TOvcCaret *caretOvr_;
};
