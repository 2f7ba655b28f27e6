#include "platform/ui/RadioGroup.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ui {

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QWidget(parent) {
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    auto* box = new QGroupBox(caption, this);
    l->addWidget(box);
    auto* bl = new QVBoxLayout(box);
    group_ = new QButtonGroup(this);
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], box);
        group_->addButton(b, i);
        bl->addWidget(b);
    }
    SetItemIndex(0);
}

int RadioGroup::ItemIndex() const { return group_->checkedId(); }

void RadioGroup::SetItemIndex(int i) {
    if (auto* b = group_->button(i)) b->setChecked(true);
}

}  // namespace ui
