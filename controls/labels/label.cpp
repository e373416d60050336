#include "controls/labels/label.h"
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

TPoint OvcShadeStep(TOvcShadeDirection Direction) {
  switch (Direction) {
  case sdNone: return {0, 0};
  case sdUp: return {0, -1};
  case sdUpRight: return {1, -1};
  case sdRight: return {1, 0};
  case sdDownRight: return {1, 1};
  case sdDown: return {0, 1};
  case sdDownLeft: return {-1, 1};
  case sdLeft: return {-1, 0};
  case sdUpLeft: return {-1, -1};
  }
  return {0, 0};
}

// ---- TOvcCustomSettings ----

template <typename T>
void TOvcCustomSettings::Change(T &Field, T Value, bool Colour) {
  if (Field == Value) return;
  Field = Value;
  if (Updating()) return;
  const TNotifyEvent &callback = Colour ? OnColorChange : OnSettingChange;
  if (callback) callback(this);
}

void TOvcCustomSettings::SetGraduateFromColor(TColor Value) { Change(graduateFromColor_, Value, true); }
void TOvcCustomSettings::SetGraduateStyle(TOvcGraduateStyle Value) { Change(graduateStyle_, Value, false); }
void TOvcCustomSettings::SetHighlightColor(TColor Value) { Change(highlightColor_, Value, true); }
void TOvcCustomSettings::SetHighlightDepth(int Value) {
  Change(highlightDepth_, std::clamp(Value, 0, 255), false);
}
void TOvcCustomSettings::SetHighlightDirection(TOvcShadeDirection Value) {
  Change(highlightDirection_, Value, false);
}
void TOvcCustomSettings::SetHighlightStyle(TOvcShadeStyle Value) { Change(highlightStyle_, Value, false); }
void TOvcCustomSettings::SetShadowColor(TColor Value) { Change(shadowColor_, Value, true); }
void TOvcCustomSettings::SetShadowDepth(int Value) { Change(shadowDepth_, std::clamp(Value, 0, 255), false); }
void TOvcCustomSettings::SetShadowDirection(TOvcShadeDirection Value) {
  Change(shadowDirection_, Value, false);
}
void TOvcCustomSettings::SetShadowStyle(TOvcShadeStyle Value) { Change(shadowStyle_, Value, false); }

void TOvcCustomSettings::Assign(const TPersistent *Source) {
  const auto *other = dynamic_cast<const TOvcCustomSettings *>(Source);
  if (!other) {
    TPersistent::Assign(Source);
    return;
  }
  SetGraduateFromColor(other->graduateFromColor_);
  SetGraduateStyle(other->graduateStyle_);
  SetHighlightColor(other->highlightColor_);
  SetHighlightDepth(other->highlightDepth_);
  SetHighlightDirection(other->highlightDirection_);
  SetHighlightStyle(other->highlightStyle_);
  SetShadowColor(other->shadowColor_);
  SetShadowDepth(other->shadowDepth_);
  SetShadowDirection(other->shadowDirection_);
  SetShadowStyle(other->shadowStyle_);
}

// ---- layers ----

namespace {

// From + (To - From) x Num / Den for each of red, green and blue, rounded.
TColor Blend(TColor From, TColor To, int Num, int Den) {
  const TColor from = ColorToRGB(From);
  const TColor to = ColorToRGB(To);
  auto channel = [&](int shift) {
    const int a = (from >> shift) & 0xFF;
    const int b = (to >> shift) & 0xFF;
    return int(std::lround(a + double(b - a) * Num / Den));
  };
  return RGB(channel(0), channel(8), channel(16));
}

void AddShade(std::vector<TOvcLabelLayer> &Layers, TOvcLabelLayer::Kind Kind, TOvcShadeDirection Direction,
              int Depth, TOvcShadeStyle Style, TColor Color, TColor FontColor) {
  const TPoint step = OvcShadeStep(Direction);
  if (Depth <= 0 || (step.X == 0 && step.Y == 0)) return; // it would lie under the face
  const bool layered = Style != ssPlain && Depth >= 2;
  for (int layer = Depth; layer >= (layered ? 1 : Depth); --layer) {
    const TColor color =
        Style == ssGraduated && layered ? Blend(Color, FontColor, Depth - layer, Depth) : ColorToRGB(Color);
    Layers.push_back({Kind, TPoint{step.X * layer, step.Y * layer}, color});
  }
}

} // namespace

std::vector<TOvcLabelLayer> OvcLabelLayers(const TOvcCustomSettings &Settings, TColor FontColor) {
  std::vector<TOvcLabelLayer> layers;
  AddShade(layers, TOvcLabelLayer::Shadow, Settings.ShadowDirection(), Settings.ShadowDepth(),
           Settings.ShadowStyle(), Settings.ShadowColor(), FontColor);
  AddShade(layers, TOvcLabelLayer::Highlight, Settings.HighlightDirection(), Settings.HighlightDepth(),
           Settings.HighlightStyle(), Settings.HighlightColor(), FontColor);
  layers.push_back({TOvcLabelLayer::Face, TPoint{0, 0}, ColorToRGB(FontColor)});
  return layers;
}

// ---- TOvcCustomLabel ----

TOvcCustomLabel::TOvcCustomLabel(TComponent *AOwner)
    : TCustomLabel(AOwner), settings_(std::make_unique<TOvcCustomSettings>()), custom_(Scheme(csWindows)) {
  SetAutoSize(false);
  SetBounds(Left(), Top(), 150, 35);
  SetTransparent(true);
  SetWordWrap(true);
  Font()->SetName(QStringLiteral("Times New Roman"));
  Font()->SetSize(20);
  settings_->OnColorChange = TNotifyEvent(this, &TOvcCustomLabel::ColorChanged);
  settings_->OnSettingChange = TNotifyEvent(this, &TOvcCustomLabel::SettingChanged);
  SetColorScheme(csWindows);
  SetAppearance(apRaised);
}

TOvcCustomLabel::~TOvcCustomLabel() = default;

TOvcCustomLabel::SchemeColors TOvcCustomLabel::Scheme(TOvcColorScheme Scheme) const {
  switch (Scheme) {
  case csCustom: return custom_;
  case csText: return {clWhite, clGray, clBlack};
  case csWindows: return {clWhite, clBlack, clGray};
  case csEmbossed: return {clWhite, clBlack, clSilver};
  case csGold: return {clYellow, clBlack, clOlive};
  case csSteel: return {clAqua, clNavy, clTeal};
  }
  return custom_;
}

void TOvcCustomLabel::SetColorScheme(TOvcColorScheme Value) {
  colorScheme_ = Value;
  const SchemeColors colors = Scheme(Value);
  settings_->BeginUpdate();
  settings_->SetHighlightColor(colors.highlight);
  settings_->SetShadowColor(colors.shadow);
  settings_->EndUpdate();
  Font()->SetColor(colors.text);
  if (Value != csCustom) custom_ = colors;
  Invalidate();
}

void TOvcCustomLabel::SetAppearance(TOvcAppearance Value) {
  appearance_ = Value;
  const SchemeColors colors = Scheme(colorScheme_);
  TOvcCustomSettings &s = *settings_;
  s.BeginUpdate();
  s.SetHighlightColor(colors.highlight);
  auto shades = [&s](TOvcShadeDirection highlight, int highlightDepth, TOvcShadeDirection shadow,
                     int shadowDepth) {
    s.SetHighlightDirection(highlight);
    s.SetHighlightDepth(highlightDepth);
    s.SetShadowDirection(shadow);
    s.SetShadowDepth(shadowDepth);
  };
  switch (Value) {
  case apNone: shades(sdNone, 0, sdNone, 0); break;
  case apCustom: break;
  case apFlying:
    shades(sdDownRight, 1, sdDownRight, 5);
    s.SetHighlightColor(colors.shadow);
    break;
  case apRaised: shades(sdUpLeft, 1, sdDownRight, 1); break;
  case apSunken: shades(sdDownRight, 1, sdUpLeft, 1); break;
  case apShadow: shades(sdNone, 0, sdDownRight, 2); break;
  }
  s.EndUpdate();
  Invalidate();
}

void TOvcCustomLabel::ColorChanged(TObject *) {
  colorScheme_ = csCustom;
  Invalidate();
}

void TOvcCustomLabel::SettingChanged(TObject *) {
  appearance_ = apCustom;
  Invalidate();
}

TRect TOvcCustomLabel::FaceRect() const {
  int minX = 0, maxX = 0, minY = 0, maxY = 0;
  for (const TOvcLabelLayer &layer : OvcLabelLayers(*settings_, Font()->Color())) {
    minX = std::min(minX, layer.offset.X);
    maxX = std::max(maxX, layer.offset.X);
    minY = std::min(minY, layer.offset.Y);
    maxY = std::max(maxY, layer.offset.Y);
  }
  const TRect client = ClientRect();
  return TRect{client.Left - minX, client.Top - minY, client.Right - maxX, client.Bottom - maxY};
}

void TOvcCustomLabel::PaintFace(TCanvas *Canvas, const QString &Text, const TRect &Rect, unsigned Flags) {
  TRect r = Rect;
  if (settings_->GraduateStyle() == gsNone) {
    Canvas->Font()->SetColor(ColorToRGB(Font()->Color()));
    Canvas->DrawText(Text, r, Flags);
    return;
  }
  // The text's shape as a mask over bands running from GraduateFromColor to the font colour.
  const int width = ClientWidth();
  const int height = ClientHeight();
  if (width <= 0 || height <= 0) return;
  QImage mask(width, height, QImage::Format_ARGB32_Premultiplied);
  mask.fill(Qt::transparent);
  {
    TCanvas maskCanvas(&mask);
    maskCanvas.SetFont(Font());
    maskCanvas.Font()->SetColor(clBlack);
    maskCanvas.Brush()->SetStyle(bsClear);
    maskCanvas.DrawText(Text, r, Flags);
    maskCanvas.Release();
  }
  QImage face(width, height, QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&face);
  const bool across = settings_->GraduateStyle() == gsHorizontal;
  const int bands = across ? width : height;
  for (int band = 0; band < bands; ++band) {
    const QColor color =
        ColorToQColor(Blend(settings_->GraduateFromColor(), Font()->Color(), band, std::max(1, bands - 1)));
    painter.fillRect(across ? QRect(band, 0, 1, height) : QRect(0, band, width, 1), color);
  }
  painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
  painter.drawImage(0, 0, mask);
  painter.end();
  Canvas->DrawImage(ClientRect(), face, QRect(0, 0, width, height));
}

void TOvcCustomLabel::Paint() {
  TCanvas *canvas = Canvas();
  if (!Transparent()) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(ClientRect());
  }
  unsigned flags = DT_EXPANDTABS | (WordWrap() ? DT_WORDBREAK : 0) | (ShowAccelChar() ? 0 : DT_NOPREFIX);
  if (Alignment() == taRightJustify) flags |= DT_RIGHT;
  if (Alignment() == taCenter) flags |= DT_CENTER;
  const QString text = Caption();
  const TRect face = FaceRect();
  canvas->SetFont(Font());
  canvas->Brush()->SetStyle(bsClear);
  for (const TOvcLabelLayer &layer : OvcLabelLayers(*settings_, Font()->Color())) {
    if (layer.kind == TOvcLabelLayer::Face) {
      PaintFace(canvas, text, face, flags);
      continue;
    }
    TRect r = face;
    OffsetRect(r, layer.offset.X, layer.offset.Y);
    canvas->Font()->SetColor(layer.color);
    canvas->DrawText(text, r, flags);
  }
}
