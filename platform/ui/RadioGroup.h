#pragma once
// A captioned group of exclusive choices with an item index (0-based, -1 none), as the choice
// windows and the print options use it.

#include <QStringList>
#include <QWidget>

class QButtonGroup;

namespace ui {

class RadioGroup : public QWidget {
    Q_OBJECT
  public:
    RadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);
    int ItemIndex() const;
    void SetItemIndex(int i);

  private:
    QButtonGroup* group_ = nullptr;
};

}  // namespace ui
