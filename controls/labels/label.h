// TOvcLabel: a heading label drawn with layered highlight and shadow copies of its text (raised, sunken,
// flying, shadowed or extruded looks) and an optional colour gradient on the text face. A look is chosen as a
// preset (Appearance) with a preset colour set (ColorScheme), or in detail through CustomSettings; changing a
// detail there switches the preset to its custom value.
#pragma once
#include "platform/widgets/std_labels.h"
#include <memory>
#include <vector>

enum TOvcGraduateStyle { gsNone, gsHorizontal, gsVertical };
enum TOvcShadeDirection {
  sdNone,
  sdUp,
  sdUpRight,
  sdRight,
  sdDownRight,
  sdDown,
  sdDownLeft,
  sdLeft,
  sdUpLeft
};
enum TOvcShadeStyle { ssPlain, ssExtrude, ssGraduated };
enum TOvcAppearance { apNone, apCustom, apFlying, apRaised, apSunken, apShadow };
enum TOvcColorScheme { csCustom, csText, csWindows, csEmbossed, csGold, csSteel };

// The pixel step of a direction.
TPoint OvcShadeStep(TOvcShadeDirection Direction);

class TOvcCustomSettings : public TPersistent {
public:
  QString ClassName() const override { return QStringLiteral("TOvcCustomSettings"); }
  void Assign(const TPersistent *Source) override;

  TColor GraduateFromColor() const { return graduateFromColor_; }
  void SetGraduateFromColor(TColor Value);
  TOvcGraduateStyle GraduateStyle() const { return graduateStyle_; }
  void SetGraduateStyle(TOvcGraduateStyle Value);
  TColor HighlightColor() const { return highlightColor_; }
  void SetHighlightColor(TColor Value);
  int HighlightDepth() const { return highlightDepth_; }
  void SetHighlightDepth(int Value);
  TOvcShadeDirection HighlightDirection() const { return highlightDirection_; }
  void SetHighlightDirection(TOvcShadeDirection Value);
  TOvcShadeStyle HighlightStyle() const { return highlightStyle_; }
  void SetHighlightStyle(TOvcShadeStyle Value);
  TColor ShadowColor() const { return shadowColor_; }
  void SetShadowColor(TColor Value);
  int ShadowDepth() const { return shadowDepth_; }
  void SetShadowDepth(int Value);
  TOvcShadeDirection ShadowDirection() const { return shadowDirection_; }
  void SetShadowDirection(TOvcShadeDirection Value);
  TOvcShadeStyle ShadowStyle() const { return shadowStyle_; }
  void SetShadowStyle(TOvcShadeStyle Value);

  // While updating (a preset being applied) neither callback is made.
  void BeginUpdate() { ++updating_; }
  void EndUpdate() { --updating_; }
  bool Updating() const { return updating_ > 0; }

  // The owning label's callbacks: a colour changed; another setting changed.
  TNotifyEvent OnColorChange;
  TNotifyEvent OnSettingChange;

private:
  template <typename T>
  void Change(T &Field, T Value, bool Colour);

  TColor graduateFromColor_ = clGray;
  TOvcGraduateStyle graduateStyle_ = gsNone;
  TColor highlightColor_ = clWhite;
  int highlightDepth_ = 1;
  TOvcShadeDirection highlightDirection_ = sdUpLeft;
  TOvcShadeStyle highlightStyle_ = ssPlain;
  TColor shadowColor_ = clBlack;
  int shadowDepth_ = 1;
  TOvcShadeDirection shadowDirection_ = sdDownRight;
  TOvcShadeStyle shadowStyle_ = ssPlain;
  int updating_ = 0;
};

// One copy of the text as painting lays them down, in order: shadow layers, highlight layers, the face.
struct TOvcLabelLayer {
  enum Kind { Shadow, Highlight, Face };
  Kind kind;
  TPoint offset; // from the face
  TColor color;  // RGB; the face's is the font colour
  bool operator==(const TOvcLabelLayer &) const = default;
};
// The layers of a label with these settings and font colour.
std::vector<TOvcLabelLayer> OvcLabelLayers(const TOvcCustomSettings &Settings, TColor FontColor);

class TOvcCustomLabel : public TCustomLabel {
public:
  explicit TOvcCustomLabel(TComponent *AOwner);
  ~TOvcCustomLabel() override;
  QString ClassName() const override { return QStringLiteral("TOvcCustomLabel"); }

  TOvcAppearance Appearance() const { return appearance_; }
  void SetAppearance(TOvcAppearance Value);
  TOvcColorScheme ColorScheme() const { return colorScheme_; }
  void SetColorScheme(TOvcColorScheme Value);
  TOvcCustomSettings *CustomSettings() const { return settings_.get(); }
  void SetCustomSettings(const TOvcCustomSettings *Value) { settings_->Assign(Value); }
  QString About() const { return QStringLiteral("v4.06"); }
  void SetAbout(const QString &) {}

  // The rectangle the face is drawn in: the client area less the room the layers reach beyond it.
  TRect FaceRect() const;

protected:
  void Paint() override;

private:
  struct SchemeColors {
    TColor highlight;
    TColor shadow;
    TColor text;
  };
  SchemeColors Scheme(TOvcColorScheme Scheme) const;
  void ColorChanged(TObject *Sender);
  void SettingChanged(TObject *Sender);
  void PaintFace(TCanvas *Canvas, const QString &Text, const TRect &Rect, unsigned Flags);

  std::unique_ptr<TOvcCustomSettings> settings_;
  TOvcAppearance appearance_ = apRaised;
  TOvcColorScheme colorScheme_ = csWindows;
  // The csCustom row: a copy of the last scheme chosen.
  SchemeColors custom_;
};

class TOvcLabel : public TOvcCustomLabel {
public:
  using TOvcCustomLabel::TOvcCustomLabel;
  QString ClassName() const override { return QStringLiteral("TOvcLabel"); }
};
