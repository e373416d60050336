// Finding the components a report names: datasets by "Form.Component" or by a plain name, and lists of the
// components of a class across the application's forms and data modules (frTopLevelComponents, engine.h).
#pragma once
#include <QString>
#include <functional>

class TComponent;
class TDataSet;
class TField;
class TStrings;

// "Form.Component": the component of that name on the form or data module of that name; a plain name: the
// component of that name among those of the current report's owner. Nothing when it is not found; errors
// during the lookup also give nothing.
TComponent *FindReportDataset(const QString &Name);

// Finds a dataset and a field of it by text: "Dataset.Field" (the dataset found as by FindReportDataset),
// "Form.Dataset.Field", or "Field" in the dataset already in DataSet. A field name in double quotes is taken
// without them; a report record source (TfrDBDataSet) stands for its dataset. Returns true when both were
// found; otherwise Field is nullptr (and DataSet, when the dataset was not found). Errors during the lookup
// count as not found.
bool FindReportDatasetField(const QString &Text, TDataSet *&DataSet, TField *&Field);

// The dataset a component stands for: a dataset itself, or the dataset of a report record source.
TDataSet *frDataSetOf(TComponent *Component);

// Clears List and fills it with the name of every component for which IsOfClass holds on every form and
// data module (the owner's own first when it is not among them), except Skip. A component of a form other
// than Owner is named by the form's name, a full stop and its own name.
void ListComponentsOfClass(TComponent *Owner, const std::function<bool(const TComponent *)> &IsOfClass,
                           TStrings *List, const TComponent *Skip);

template <typename T>
void ListComponentsOfClass(TComponent *Owner, TStrings *List, const TComponent *Skip) {
  ListComponentsOfClass(
      Owner, [](const TComponent *c) { return dynamic_cast<const T *>(c) != nullptr; }, List, Skip);
}
