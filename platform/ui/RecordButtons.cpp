#include "platform/ui/RecordButtons.h"

#include <QBoxLayout>
#include <QPushButton>

#include "platform/ui/DBControls.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Window.h"

namespace ui {

RecordButtons::RecordButtons(QWidget* owner, db::Table* table, DBGrid* grid, bool createButtons)
    : QObject(owner), owner_(owner) {
    static const char* const texts[6] = {"&Dopisz", "&Popraw", "&Usuń",
                                         "&Zapisz", "&Anuluj", "&Wyjście"};
    if (createButtons) {
        for (int i = 0; i < 6; ++i) {
            auto* b = new QPushButton(QString::fromUtf8(texts[i]), owner);
            b->setAutoDefault(false);
            b->setDefault(false);
            setButton(Action(i), b);
            created_[i] = true;
        }
    }
    setGrid(grid);
    setTable(table);
}

void RecordButtons::setButton(Action a, QAbstractButton* b) {
    if (buttons_[a] == b) return;
    if (buttons_[a]) {
        disconnect(buttons_[a], nullptr, this, nullptr);
        if (created_[a]) delete buttons_[a];
    }
    created_[a] = false;
    buttons_[a] = b;
    if (b) {
        switch (a) {
            case Add:
                connect(b, &QAbstractButton::clicked, this, &RecordButtons::add);
                break;
            case Edit:
                connect(b, &QAbstractButton::clicked, this, &RecordButtons::edit);
                break;
            case Delete:
                connect(b, &QAbstractButton::clicked, this, &RecordButtons::remove);
                break;
            case Save:
                connect(b, &QAbstractButton::clicked, this, [this] { save(); });
                break;
            case Cancel:
                connect(b, &QAbstractButton::clicked, this, &RecordButtons::cancel);
                break;
            case Exit:
                connect(b, &QAbstractButton::clicked, this, &RecordButtons::close);
                break;
        }
    }
    updateButtons();
}

void RecordButtons::addTo(QBoxLayout* layout) const {
    for (const auto& b : buttons_)
        if (b) layout->addWidget(b);
}

void RecordButtons::setEditStyle(EditStyle s) {
    style_ = s;
    updateButtons();
}

void RecordButtons::setTable(db::Table* t) {
    for (const auto& c : conns_) disconnect(c);
    conns_.clear();
    table_ = t;
    if (t) {
        conns_ << connect(t, &db::Table::stateChanged, this, &RecordButtons::updateButtons);
        conns_ << connect(t, &db::Table::dataSetChanged, this, &RecordButtons::updateButtons);
    }
    updateButtons();
}

void RecordButtons::setGrid(DBGrid* g) {
    grid_ = g;
    updateButtons();
}

void RecordButtons::setBrowseOnly(bool on) {
    browseOnly_ = on;
    updateButtons();
}

bool RecordButtons::editing() const {
    if (!table_ || !table_->active()) return false;
    const auto st = table_->state();
    return st == db::Table::Insert || st == db::Table::Edit;
}

void RecordButtons::updateButtons() {
    const bool ed = editing();
    auto show = [this](Action a, bool visible, bool enabled = true) {
        if (!buttons_[a]) return;
        buttons_[a]->setVisible(visible);
        buttons_[a]->setEnabled(enabled);
    };
    if (!ed) {
        show(Add, !browseOnly_);
        show(Edit, !browseOnly_);
        show(Delete, !browseOnly_);
        show(Exit, true);
        show(Save, false);
        show(Cancel, false);
    } else {
        const bool keepPressed = style_ == PressedStaysDisabled;
        const Action pressed = table_->state() == db::Table::Insert ? Add : Edit;
        show(Add, keepPressed && pressed == Add, false);
        show(Edit, keepPressed && pressed == Edit, false);
        show(Delete, false);
        show(Exit, false);
        show(Save, true);
        show(Cancel, true);
    }
    if (grid_) grid_->setEnabled(!ed);
}

void RecordButtons::add() {
    if (!table_ || browseOnly_ || editing()) return;
    if (allow && !allow(Add)) return;
    try {
        if (!table_->active()) table_->open();
        table_->append();
    } catch (const db::Error&) {
        MessageBox(QStringLiteral("Nie można dopisać pozycji!"), QStringLiteral("Uwaga!"), MB_OK);
        return;
    }
    updateButtons();
    if (started) started(Add);
    if (focusOnEdit) focusOnEdit->setFocus();
}

void RecordButtons::edit() {
    if (!table_ || browseOnly_ || editing()) return;
    if (allow && !allow(Edit)) return;
    try {
        if (!table_->active() || table_->isEmpty()) return;
        table_->edit();
    } catch (const db::Error&) {
        MessageBox(QStringLiteral("Nie można poprawić pozycji!"), QStringLiteral("Uwaga!"), MB_OK);
        return;
    }
    updateButtons();
    if (started) started(Edit);
    if (focusOnEdit) focusOnEdit->setFocus();
}

void RecordButtons::remove() {
    if (!table_ || browseOnly_ || editing()) return;
    try {
        if (!table_->active() || table_->isEmpty()) return;
    } catch (const db::Error&) {
        return;
    }
    if (allow && !allow(Delete)) return;
    const int answer = MessageBox(deleteQuestion, deleteCaption, deleteFlags);
    if (answer != IDOK && answer != IDYES) return;
    try {
        table_->remove();
    } catch (const db::Error&) {
        MessageBox(QStringLiteral("Nie można usunąć pozycji!"), QStringLiteral("Uwaga!"), MB_OK);
        updateButtons();
        return;
    }
    updateButtons();
    if (deleted) deleted();
}

bool RecordButtons::save() {
    if (!table_ || !editing()) return false;
    if (!checkFocusedInput(table_)) return false;  // an unfinished entry is not saved unseen
    if (validate && !validate()) return false;
    try {
        table_->post();
    } catch (const db::Error& e) {
        // The record stays pending, so the user may correct it or cancel.
        // A taken key is the entry's fault; any other cause (a full disk...) is named.
        const bool dup = e.kind() == db::Error::KeyViolation && !duplicateKeyText.isEmpty();
        QString tekst = dup ? duplicateKeyText : saveErrorText;
        if (e.kind() != db::Error::KeyViolation) tekst += QLatin1Char('\n') + e.message();
        MessageBox(tekst, QStringLiteral("Uwaga!"), MB_OK);
        updateButtons();
        return false;
    }
    updateButtons();
    if (saved) saved();
    return true;
}

void RecordButtons::cancel() {
    if (!table_) return;
    const bool was = editing();
    try {
        if (was) table_->cancel();
    } catch (const db::Error&) {
    }
    updateButtons();
    if (was && cancelled) cancelled();
}

void RecordButtons::close() {
    if (exit) {
        exit();
        return;
    }
    QWidget* w = owner_ ? owner_->window() : nullptr;
    if (auto* win = qobject_cast<Window*>(w))
        win->Close();
    else if (w)
        w->close();
}

}  // namespace ui
