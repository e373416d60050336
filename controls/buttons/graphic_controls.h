// The base classes of the small graphic controls and the single-instance guard:
//   TVrComponent            a non-visual component carrying the family's version;
//   TVrGraphicControl       a graphic control that tells when the mouse enters and leaves it
//                           (OnMouseEnter / OnMouseLeave) and can hold its repaints off while it is changed;
//   TVrGraphicImageControl  a graphic control that paints into an off-screen buffer of its size, which is
//                           then copied to the screen in one go; a transparent one starts each paint from a
//                           copy of what its parent shows under it.
#pragma once
#include "controls/buttons/graphic_utils.h"
#include "platform/core/component.h"
#include "platform/core/events.h"
#include "platform/graphics/bitmap.h"
#include "platform/windowing/controls.h"
#include <memory>

// The version every component of the family answers.
inline QString VrVersion() { return QStringLiteral("1.70"); }

class TVrComponent : public TComponent {
public:
  explicit TVrComponent(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TVrComponent"); }
  QString Version() const { return VrVersion(); }
};

class TVrGraphicControl : public TGraphicControl {
public:
  explicit TVrGraphicControl(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TVrGraphicControl"); }
  QString Version() const { return VrVersion(); }

  void WndProc(TMessage &Message) override;

  // Repaints are held off from BeginUpdate to the matching EndUpdate, which repaints once.
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();
  bool Updating() const { return updateCount_ > 0; }

  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

protected:
  // Asks for a repaint, unless the control is being loaded or its updates are held off.
  virtual void UpdateControlCanvas();
  // Lets a descendant fit its size to its content; the base keeps the size it has.
  virtual void AdjustControlSize() {}
  // Applies the bounds again (with the size adjustment) and repaints when they changed.
  virtual void UpdateControlBounds();
  // The mouse came over the control / went away from it: fire OnMouseEnter / OnMouseLeave.
  virtual void MouseEnter();
  virtual void MouseLeave();

private:
  int updateCount_ = 0;
};

class TVrGraphicImageControl : public TVrGraphicControl {
public:
  explicit TVrGraphicImageControl(TComponent *AOwner);
  ~TVrGraphicImageControl() override;
  QString ClassName() const override { return QStringLiteral("TVrGraphicImageControl"); }

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

  bool Transparent() const { return transparent_; }
  void SetTransparent(bool Value);

  // The off-screen buffer (always the control's size) and the captured background.
  TBitmap *BitmapImage() const { return buffer_.get(); }
  TCanvas *BitmapCanvas() const { return buffer_->Canvas(); }
  TBitmap *Background() const { return background_.get(); }

protected:
  // Paints the buffer: prepares it, lets PaintImage draw into it, and copies it to the control's canvas.
  void Paint() final;
  // Makes the buffer ready for painting: filled with the control's colour, or (transparent) holding the
  // background under the control, captured afresh when it is due.
  virtual void PrepareBuffer();
  // The descendant's painting, on BitmapCanvas().
  virtual void PaintImage() {}

private:
  // Copies what the parent shows under the control into the background bitmap.
  void CaptureBackground();

  std::unique_ptr<TBitmap> buffer_;
  std::unique_ptr<TBitmap> background_;
  bool transparent_ = false;
  bool captureBackground_ = true;
};
