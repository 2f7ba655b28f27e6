#pragma once
// Small window helpers: hints, Enter-as-Tab, and the Polish number input shared by the edits.

#include <QString>
#include <QVariant>
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

// Money typed the Polish way: "1 234,56", "1234,56", "12,5", "-3", ",5" ('.' is taken as the
// decimal separator too). Blanks may separate thousands. At most two decimals. Returns the
// value rounded to the grosz, or nothing when the text is not an amount (an empty text included).
std::optional<double> parseMoney(const QString& text);
// The same for plain decimal numbers with any number of decimals.
std::optional<double> parseDecimal(const QString& text);
// A text that could still become an amount while being typed ("-", "12,", "").
bool isMoneyPrefix(const QString& text, int maxDecimals);

// A typed text as a value of a field of the type: QVariant() for an empty text (NULL), nothing
// when the text is not such a value. Dates "YYYY-MM-DD", money as parseMoney, logicals "Tak"/"Nie".
std::optional<QVariant> parseFieldText(db::FieldType type, const QString& text);

// The message for a text that parseFieldText refused.
QString invalidEntryMessage(db::FieldType type);

// Numbers (integers, money, floats): shown right-aligned in grids and edits.
bool isNumericType(db::FieldType type);

}  // namespace ui
