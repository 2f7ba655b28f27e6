#include "platform/ui/Helpers.h"

#include <QApplication>
#include <QDate>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QTextEdit>
#include <QWidget>
#include <cmath>
#include <limits>

#include "platform/db/Money.h"

namespace ui {

void setHint(QWidget* w, const QString& hint) {
    if (!w) return;
    const int bar = hint.indexOf(QLatin1Char('|'));
    const QString shortHint = bar < 0 ? hint : hint.left(bar);
    const QString longHint = bar < 0 ? hint : hint.mid(bar + 1);
    w->setToolTip(shortHint);
    w->setStatusTip(longHint);
}

namespace {

const char* kEnterAsTab = "ui_enterAsTab";

// One application-wide filter sees the key before the focused control does, as a form that
// previews its keys would.
class EnterAsTabFilter : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* obj, QEvent* ev) override {
        if (ev->type() != QEvent::KeyPress) return false;
        auto* ke = static_cast<QKeyEvent*>(ev);
        if (ke->key() != Qt::Key_Return && ke->key() != Qt::Key_Enter) return false;
        if (ke->modifiers() & ~Qt::KeypadModifier) return false;
        auto* w = qobject_cast<QWidget*>(obj);
        if (!w || w != QApplication::focusWidget()) return false;
        QWidget* win = w->window();
        if (!win || !win->property(kEnterAsTab).toBool()) return false;
        for (QWidget* p = w; p; p = p->parentWidget()) {
            if (qobject_cast<QPlainTextEdit*>(p) || qobject_cast<QTextEdit*>(p)) {
                // A memo keeps Enter for its lines unless it is read-only.
                if (auto* pe = qobject_cast<QPlainTextEdit*>(p); pe && !pe->isReadOnly())
                    return false;
                if (auto* te = qobject_cast<QTextEdit*>(p); te && !te->isReadOnly()) return false;
            }
            if (p == win) break;
        }
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(w, &tab);
        return true;
    }
};

void installFilterOnce() {
    static QPointer<EnterAsTabFilter> filter;
    if (!filter && qApp) {
        filter = new EnterAsTabFilter(qApp);
        qApp->installEventFilter(filter);
    }
}

// Splits an amount into sign, integer digits and decimal digits. Blanks (also non-breaking ones)
// are allowed between digits of the integer part only.
bool splitNumber(const QString& in, bool& negative, QString& whole, QString& frac, bool& hasSep) {
    QString s = in.trimmed();
    negative = false;
    hasSep = false;
    whole.clear();
    frac.clear();
    if (s.startsWith(QLatin1Char('-'))) {
        negative = true;
        s = s.mid(1).trimmed();
    }
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            (hasSep ? frac : whole).append(c);
        } else if (c == QLatin1Char(',') || c == QLatin1Char('.')) {
            if (hasSep) return false;
            hasSep = true;
        } else if (c == QLatin1Char(' ') || c == QChar(0x00A0) || c == QChar(0x202F)) {
            if (hasSep) return false;  // no blanks among the decimals
        } else {
            return false;
        }
    }
    return true;
}

std::optional<double> parseNumber(const QString& text, int maxDecimals) {
    bool neg, sep;
    QString whole, frac;
    if (!splitNumber(text, neg, whole, frac, sep)) return std::nullopt;
    if (whole.isEmpty() && frac.isEmpty()) return std::nullopt;
    if (maxDecimals >= 0 && frac.size() > maxDecimals) return std::nullopt;
    whole.remove(QRegularExpression(QStringLiteral("^0+(?=\\d)")));
    if (whole.size() > 12) return std::nullopt;  // beyond any amount the program keeps
    if (maxDecimals >= 0) {
        // Whole grosze first, so that the result is the double nearest to the typed amount.
        const qint64 w = whole.isEmpty() ? 0 : whole.toLongLong();
        qint64 f = frac.isEmpty() ? 0 : frac.toLongLong();
        for (qsizetype i = frac.size(); i < maxDecimals; ++i) f *= 10;
        qint64 scale = 1;
        for (int i = 0; i < maxDecimals; ++i) scale *= 10;
        const double v = double(w * scale + f) / double(scale);
        return neg ? -v : v;
    }
    bool ok = false;
    const double v = (QString(whole.isEmpty() ? QStringLiteral("0") : whole) + QLatin1Char('.') +
                      (frac.isEmpty() ? QStringLiteral("0") : frac))
                         .toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return neg ? -v : v;
}

}  // namespace

void enableEnterAsTab(QWidget* window) {
    if (!window) return;
    installFilterOnce();
    window->setProperty(kEnterAsTab, true);
}

namespace {
class EnterKeyFilter : public QObject {
  public:
    EnterKeyFilter(QObject* parent, std::function<void()> action, bool space)
        : QObject(parent), action_(std::move(action)), space_(space) {}
    bool eventFilter(QObject*, QEvent* ev) override {
        if (ev->type() != QEvent::KeyPress) return false;
        auto* k = static_cast<QKeyEvent*>(ev);
        const Qt::KeyboardModifiers mods = k->modifiers() & ~Qt::KeypadModifier;
        const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
        if (mods != Qt::NoModifier || !(enter || (space_ && k->key() == Qt::Key_Space)))
            return false;
        if (!k->isAutoRepeat() && action_) action_();
        return true;
    }

  private:
    std::function<void()> action_;
    bool space_;
};
}  // namespace

void onEnterKey(QWidget* w, std::function<void()> action, bool space) {
    if (w) w->installEventFilter(new EnterKeyFilter(w, std::move(action), space));
}

std::optional<double> parseDecimal(const QString& text) { return parseNumber(text, -1); }

bool isMoneyPrefix(const QString& text, int maxDecimals) {
    bool neg, sep;
    QString whole, frac;
    if (!splitNumber(text, neg, whole, frac, sep)) return false;
    if (maxDecimals >= 0 && frac.size() > maxDecimals) return false;
    return whole.size() <= 12;
}

std::optional<QVariant> parseFieldText(db::FieldType type, const QString& text) {
    using T = db::FieldType;
    const QString t = text.trimmed();
    switch (type) {
        case T::Text:
        case T::Memo:
            return QVariant(text);
        case T::SmallInt:
        case T::Integer:
        case T::AutoInc: {
            if (t.isEmpty()) return QVariant();
            bool ok = false;
            const qint64 v = t.toLongLong(&ok);
            const qint64 lim = type == T::SmallInt ? 32767 : std::numeric_limits<qint32>::max();
            if (!ok || v > lim || v < -lim - 1) return std::nullopt;
            return QVariant(int(v));
        }
        case T::Currency:
        case T::Float: {
            if (t.isEmpty()) return QVariant();
            auto v = type == T::Currency ? db::parseMoney(t) : parseDecimal(t);
            if (!v) return std::nullopt;
            return QVariant(*v);
        }
        case T::Date: {
            if (t.isEmpty()) return QVariant();
            const QDate d = QDate::fromString(t, QStringLiteral("yyyy-MM-dd"));
            if (!d.isValid() || t.size() != 10) return std::nullopt;
            return QVariant(d);
        }
        case T::Logical: {
            if (t.isEmpty()) return QVariant();
            const QString u = t.toUpper();
            if (u == QStringLiteral("TAK") || u == QStringLiteral("T")) return QVariant(true);
            if (u == QStringLiteral("NIE") || u == QStringLiteral("N")) return QVariant(false);
            return std::nullopt;
        }
    }
    return std::nullopt;
}

QString invalidEntryMessage(db::FieldType type) {
    using T = db::FieldType;
    switch (type) {
        case T::Date:
            return QStringLiteral("Nieprawidłowa data! Datę wpisuje się w postaci RRRR-MM-DD.");
        case T::Currency:
            return QStringLiteral("Nieprawidłowa kwota! Kwotę wpisuje się w postaci 1 234,56.");
        case T::Float:
            return QStringLiteral("Nieprawidłowa liczba!");
        case T::SmallInt:
        case T::Integer:
        case T::AutoInc:
            return QStringLiteral("Nieprawidłowa liczba całkowita!");
        case T::Logical:
            return QStringLiteral("Wpisz Tak lub Nie.");
        default:
            return QStringLiteral("Nieprawidłowa wartość!");
    }
}

bool isNumericType(db::FieldType t) {
    using T = db::FieldType;
    return t == T::SmallInt || t == T::Integer || t == T::AutoInc || t == T::Currency ||
           t == T::Float;
}

}  // namespace ui
