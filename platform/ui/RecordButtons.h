#pragma once
// The record-window pattern: add, edit, delete, save, cancel and exit over one table and its grid.
// Browsing: add, edit, delete and exit shown; save and cancel hidden; the grid enabled.
// Adding or editing: save and cancel shown, the grid disabled; what else shows depends on the
// style (only save and cancel, or the pressed button kept visible but disabled).
// Bound data controls follow the table's state by themselves (read-only outside editing).

#include <QAbstractButton>
#include <QObject>
#include <QPointer>
#include <functional>

#include "platform/db/Table.h"

class QBoxLayout;

namespace ui {

class DBGrid;

class RecordButtons : public QObject {
    Q_OBJECT
  public:
    enum Action { Add, Edit, Delete, Save, Cancel, Exit };
    enum EditStyle {
        OnlySaveCancel,       // while editing only save and cancel are shown
        PressedStaysDisabled  // the pressed one of add/edit stays visible, disabled; the other
                              // hidden
    };

    // Creates the six buttons as push buttons, children of owner ("&Dopisz", "&Popraw", "&Usuń",
    // "&Zapisz", "&Anuluj", "&Wyjście"); place them with addTo() or by hand. With
    // createButtons false there are none until setButton() gives the window's own.
    RecordButtons(QWidget* owner, db::Table* table, DBGrid* grid = nullptr,
                  bool createButtons = true);

    QAbstractButton* button(Action a) const { return buttons_[a]; }
    // Takes the window's own button (e.g. a tool button) for an action; nullptr: none.
    // A button created here for that action is deleted.
    void setButton(Action a, QAbstractButton* b);
    void addTo(QBoxLayout* layout) const;  // in the order above
    void setEditStyle(EditStyle s);
    void setTable(db::Table* t);
    db::Table* table() const { return table_; }
    void setGrid(DBGrid* g);
    // Browse only (e.g. a list opened to pick a row): add, edit and delete hidden and inert.
    void setBrowseOnly(bool on);
    bool browseOnly() const { return browseOnly_; }

    // --- hooks for the owner window ---
    // Before add, edit or delete (rights, conditions): false does nothing.
    std::function<bool(Action)> allow;
    // After the table went into insert or edit state: fill defaults, move the focus.
    std::function<void(Action)> started;
    // Before the post: false keeps the record pending (the hook says why).
    std::function<bool()> validate;
    std::function<void()> saved;
    std::function<void()> cancelled;
    std::function<void()> deleted;
    // What exit does; without it the owner's window is closed (ui::Window::Close() for windows).
    std::function<void()> exit;
    // The control that gets the focus when editing starts.
    QPointer<QWidget> focusOnEdit;
    // The message of a failed post (caption "Uwaga!"); the record stays pending.
    QString saveErrorText = QStringLiteral("Błąd zapisu!");
    // Said instead when the post broke a unique index (empty: saveErrorText).
    QString duplicateKeyText;
    // The delete confirmation; it goes on with OK or Yes.
    QString deleteQuestion = QStringLiteral("Czy skasować pozycję?");
    QString deleteCaption = QStringLiteral("Uwaga!");
    int deleteFlags = 1;  // OK and Cancel

    // The actions, also callable by the owner (e.g. FormClose calls cancel()).
    void add();
    void edit();
    void remove();
    bool save();
    void cancel();
    void close();

    bool editing() const;
    void updateButtons();

  private:
    QPointer<QAbstractButton> buttons_[6];
    bool created_[6] = {};
    QWidget* owner_;
    QPointer<db::Table> table_;
    QPointer<DBGrid> grid_;
    EditStyle style_ = OnlySaveCancel;
    bool browseOnly_ = false;
    QList<QMetaObject::Connection> conns_;
};

}  // namespace ui
