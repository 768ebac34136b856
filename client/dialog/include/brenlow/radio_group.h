// TRadioGroup: a framed group of radio buttons laid out in columns, one of which (or none) is
// selected by its index, as the host class library's radio group.
#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

namespace brenlow {

class TRadioGroup : public QGroupBox {
 public:
  TRadioGroup(const QString& name, const QString& caption, const QStringList& items, int columns,
              QWidget* parent = nullptr);
  // -1 when no item is selected.
  int ItemIndex() const { return buttons_.checkedId(); }
  // An index outside the items selects none.
  void SetItemIndex(int index);

 private:
  QButtonGroup buttons_;
};

}  // namespace brenlow
