#pragma once
// Small window helpers: hints, Enter-as-Tab, and the Polish number input shared by the edits.

#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

#include "platform/db/Schema.h"

class QWidget;

namespace ui {

// "short|long": the short part becomes the tool tip, the long part the status tip.
// Without '|' the whole text serves as both.
void setHint(QWidget* w, const QString& hint);

// Enter (and keypad Enter) in any control of the window moves the focus to the next control;
// the key itself is dropped. Multi-line editors keep Enter for new lines.
void enableEnterAsTab(QWidget* window);

// Enter (and keypad Enter; Space too when `space`) on w runs `action`, as a double click on a
// list does; the key is used up. For lists and calendars that choose one thing.
void onEnterKey(QWidget* w, std::function<void()> action, bool space = false);

// Plain decimal numbers typed the Polish way, any number of decimals (money: db::parseMoney).
std::optional<double> parseDecimal(const QString& text);
// A text that could still become an amount while being typed ("-", "12,", "").
bool isMoneyPrefix(const QString& text, int maxDecimals);

// A typed text as a value of a field of the type: QVariant() for an empty text (NULL), nothing
// when the text is not such a value. Dates "YYYY-MM-DD", money as db::parseMoney, logicals
// "Tak"/"Nie".
std::optional<QVariant> parseFieldText(db::FieldType type, const QString& text);

// The message for a text that parseFieldText refused.
QString invalidEntryMessage(db::FieldType type);

// Numbers (integers, money, floats): shown right-aligned in grids and edits.
bool isNumericType(db::FieldType type);

}  // namespace ui
