// TInterpretator: the report's script interpreter. Names are resolved against the report variables, the
// current page's free space, the properties of the current object (or of "Object.Property" on the current
// page) and colour names, and otherwise by the report parser's value handler; assignments set object
// properties or report variables; NEWPAGE and NEWCOLUMN request a new page or column of the band being
// printed, and other functions go to the report parser's function handler.
#pragma once
#include "report/interpreter.h"
#include <optional>

class TfrEngineView;

class TInterpretator : public TfrInterpretator {
public:
  void GetValue(const QString &Name, Variant &Value) override;
  // Setting an object property with no object to set it on raises EfrScriptError.
  void SetValue(const QString &Name, const Variant &Value) override;
  void DoFunction(const QString &Name, const Variant &P1, const Variant &P2, const Variant &P3,
                  QString &Result) override;

protected:
  bool Terminated() const override;
  QString DefaultOwnerName() const override;
};

// The index of an object property name ("Left" .. "Adjust", any letter case); -1 for another name.
int frViewPropertyIndex(const QString &Name);
// The colour of a colour name ("clWhite" .. "clAqua", "clTransparent", any letter case).
std::optional<int> frColorByName(const QString &Name);
