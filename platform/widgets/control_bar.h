// TControlBar: a container whose child controls (tool bars, mostly) stand in bands, in rows of RowSize
// pixels (or as high as the row's tallest band), left to right in the order they were put on the bar; a band
// that does not fit in the row's width starts the next row. Each band is drawn around its control: a raised
// frame and, on its left, a grabber.
//
// OnBandPaint lets a program draw the bands itself: it is called for each band with the band's rectangle and
// the parts the bar would still draw (bpoFrame, bpoGrabber); the handler may paint, change the rectangle and
// take parts out of the options.
#pragma once
#include "platform/core/small_set.h"
#include "platform/windowing/controls.h"

enum TBandPaintOption { bpoGrabber, bpoFrame };
using TBandPaintOptions = TSmallSet<TBandPaintOption>;
using TBandPaintEvent = TEvent<void(TObject *Sender, TControl *Control, TCanvas *Canvas, TRect &ARect,
                                    TBandPaintOptions &Options)>;

class TControlBar : public TCustomControl {
public:
  // The room a band takes around its control: the grabber's width on the left, the frame on every side.
  static constexpr int kGrabberSize = 11;
  static constexpr int kBandBorder = 2;

  explicit TControlBar(TComponent *AOwner);
  QString ClassName() const override { return QStringLiteral("TControlBar"); }
  void WndProc(TMessage &Message) override;

  // The height of a row of bands.
  int RowSize() const { return rowSize_; }
  void SetRowSize(int Value);
  // The rectangle of Control's band, in client coordinates.
  TRect BandRect(const TControl *Control) const;

  TBandPaintEvent OnBandPaint;

protected:
  void Paint() override;
  void AlignControls(TControl *AControl, TRect &Rect) override;

private:
  void DrawGrabber(const TRect &Band);
  int rowSize_ = 26;
};
