#include "brenlow/radio_group.h"

#include <QGridLayout>
#include <QRadioButton>

namespace brenlow {

TRadioGroup::TRadioGroup(const QString& name, const QString& caption, const QStringList& items,
                         int columns, QWidget* parent)
    : QGroupBox(caption, parent) {
  setObjectName(name);
  auto* grid = new QGridLayout(this);
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    button->setObjectName(name + "Item" + QString::number(i));
    buttons_.addButton(button, i);
    grid->addWidget(button, i / columns, i % columns);
  }
}

void TRadioGroup::SetItemIndex(int index) {
  if (QAbstractButton* button = buttons_.button(index)) {
    button->setChecked(true);
    return;
  }
  // An exclusive group keeps one button checked; clearing needs it open for a moment.
  buttons_.setExclusive(false);
  for (QAbstractButton* b : buttons_.buttons()) b->setChecked(false);
  buttons_.setExclusive(true);
}

}  // namespace brenlow
