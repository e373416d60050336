// The most-recently-used entries of a combo box, most recent first, each with its object.
#pragma once
#include "platform/core/object.h"
#include "platform/core/string_list.h"
#include <memory>

class TOvcMRUList : public TObject {
public:
  TOvcMRUList();
  ~TOvcMRUList() override;
  QString ClassName() const override { return QStringLiteral("TOvcMRUList"); }

  int MaxItems() const { return maxItems_; }
  // Cuts the list to the new capacity (negative counts as 0).
  void SetMaxItems(int Value);
  // The entries, most recent first; the objects are not owned.
  TStringList *Items() const { return items_.get(); }

  // Puts Text at the top: an entry already there moves up, a new one pushes out the oldest past MaxItems.
  void NewItem(const QString &Text, TObject *AObject);
  // Drops the oldest entries past MaxItems.
  void Shrink();
  void Clear();

private:
  int maxItems_ = 3;
  std::unique_ptr<TStringList> items_;
};
