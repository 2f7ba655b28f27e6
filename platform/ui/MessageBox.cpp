#include "platform/ui/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "platform/ui/TestHooks.h"
#include "platform/ui/TestHooksInternal.h"

namespace ui {

int MessageBox(const QString& text, const QString& caption, int flags) {
    if (test::enabled()) return test::takeAnswer(text, caption, flags);

    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(caption);
    box.setTextFormat(Qt::PlainText);  // texts carry user data: never read them as markup
    box.setText(text);
    switch (flags & 0xF0) {
        case 16:
            box.setIcon(QMessageBox::Critical);
            break;
        case 32:
            box.setIcon(QMessageBox::Question);
            break;
        case 48:
            box.setIcon(QMessageBox::Warning);
            break;
        case 64:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            box.setIcon(QMessageBox::NoIcon);
            break;
    }

    struct Choice {
        const char* label;
        QMessageBox::ButtonRole role;
        int result;
    };
    QList<Choice> choices;
    switch (flags & 0x0F) {
        case MB_OKCANCEL:
            choices = {{"OK", QMessageBox::AcceptRole, IDOK},
                       {"Anuluj", QMessageBox::RejectRole, IDCANCEL}};
            break;
        case 3:  // Yes/No/Cancel
            choices = {{"Tak", QMessageBox::YesRole, IDYES},
                       {"Nie", QMessageBox::NoRole, IDNO},
                       {"Anuluj", QMessageBox::RejectRole, IDCANCEL}};
            break;
        case MB_YESNO:
            choices = {{"Tak", QMessageBox::YesRole, IDYES}, {"Nie", QMessageBox::NoRole, IDNO}};
            break;
        default:
            choices = {{"OK", QMessageBox::AcceptRole, IDOK}};
            break;
    }
    QList<QPushButton*> buttons;
    for (const Choice& c : choices)
        buttons.append(box.addButton(QString::fromUtf8(c.label), c.role));
    // As the system's boxes: the first button is the default unless the flags pick another.
    int def = (flags & 0x200) ? 2 : (flags & 0x100) ? 1 : 0;
    box.setDefaultButton(buttons.value(def, buttons.first()));
    if (choices.size() == 1) box.setEscapeButton(buttons.first());

    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (int i = 0; i < buttons.size(); ++i)
        if (buttons[i] == clicked) return choices[i].result;
    // Closed without a button: the cancelling answer.
    switch (flags & 0x0F) {
        case MB_OKCANCEL:
        case 3:
            return IDCANCEL;
        case MB_YESNO:
            return IDNO;
        default:
            return IDOK;
    }
}

}  // namespace ui
