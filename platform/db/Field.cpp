// Field values of a table component: read from the current record, written to the pending one.

#include <QLocale>
#include <cmath>

#include "platform/db/Money.h"
#include "platform/db/TableImpl.h"

namespace db {

namespace {
// "YYYY-MM-DD" without the general formatter: grids and reports show thousands of dates.
QString isoDate(qint64 julianDay) {
    const QDate d = QDate::fromJulianDay(julianDay);
    char t[10];
    if (d.isValid() && d.year() >= 1 && detail::isoDate(julianDay, t))
        return QString::fromLatin1(t, 10);
    return d.toString(Qt::ISODate);
}
}  // namespace

bool Field::isNull() const { return table_->d->cellOf(kind_, column_, def_).null; }

QVariant Field::value() const {
    return cellToVariant(table_->d->cellOf(kind_, column_, def_), def_.type);
}

QString Field::asString() const {
    const Cell& c = table_->d->cellOf(kind_, column_, def_);
    if (c.null) return QString(QLatin1String(""));
    switch (def_.type) {
        case FieldType::Text:
        case FieldType::Memo:
            return c.s;
        case FieldType::Currency:
        case FieldType::Float:
            return QString::number(c.f, 'g', QLocale::FloatingPointShortest);
        case FieldType::Date:
            return isoDate(c.i);
        case FieldType::Logical:
            return c.i ? QStringLiteral("True") : QStringLiteral("False");
        default:
            return QString::number(c.i);
    }
}

int Field::asInteger() const {
    const Cell& c = table_->d->cellOf(kind_, column_, def_);
    if (c.null) return 0;
    switch (def_.type) {
        case FieldType::Text:
        case FieldType::Memo:
            return c.s.trimmed().toInt();
        case FieldType::Currency:
        case FieldType::Float:
            return int(std::llround(c.f));
        default:
            return int(c.i);
    }
}

double Field::asFloat() const {
    const Cell& c = table_->d->cellOf(kind_, column_, def_);
    if (c.null) return 0;
    switch (def_.type) {
        case FieldType::Text:
        case FieldType::Memo: {
            QString s = c.s.trimmed();
            s.replace(QLatin1Char(','), QLatin1Char('.'));
            return s.toDouble();
        }
        case FieldType::Currency:
        case FieldType::Float:
            return c.f;
        case FieldType::Date:
            return 0;
        default:
            return double(c.i);
    }
}

QDate Field::asDate() const {
    const Cell& c = table_->d->cellOf(kind_, column_, def_);
    if (c.null) return QDate();
    if (def_.type == FieldType::Date) return QDate::fromJulianDay(c.i);
    if (isTextType(def_.type)) return QDate::fromString(c.s.trimmed().left(10), Qt::ISODate);
    return QDate();
}

bool Field::asBool() const {
    const Cell& c = table_->d->cellOf(kind_, column_, def_);
    if (c.null) return false;
    switch (def_.type) {
        case FieldType::Text:
        case FieldType::Memo: {
            const QString s = c.s.trimmed().toLower();
            return s == QLatin1String("true") || s == QLatin1String("t") ||
                   s == QLatin1String("tak") || s == QLatin1String("1");
        }
        case FieldType::Currency:
        case FieldType::Float:
            return c.f != 0;
        default:
            return c.i != 0;
    }
}

void Field::setValue(const QVariant& v) {
    checkWritable();
    store(toCell(v, def_, true));
}

void Field::setString(const QString& s) {
    if (def_.type != FieldType::Text && def_.type != FieldType::Memo) return setValue(s);
    checkWritable();
    Cell c;
    const qsizetype n = s.size();
    if (n == 0) return store(std::move(c));  // "" is NULL
    // Only a text that may be too long goes the general way, which cuts it by characters.
    if (def_.type == FieldType::Text && def_.size > 0 && n > def_.size) return setValue(s);
    c.s = s;
    c.null = false;
    store(std::move(c));
}

void Field::setInteger(int v) {
    if (def_.type == FieldType::Integer ||
        (def_.type == FieldType::SmallInt && v >= -32768 && v <= 32767)) {
        checkWritable();
        Cell c;
        c.i = v;
        c.null = false;
        return store(std::move(c));
    }
    setValue(v);
}

void Field::setDate(const QDate& d) {
    if (!d.isValid()) return setValue(QVariant());
    if (def_.type == FieldType::Date && d.year() >= 1 && d.year() <= 9999) {
        checkWritable();
        Cell c;
        c.i = d.toJulianDay();
        c.null = false;
        return store(std::move(c));
    }
    setValue(d);
}

void Field::checkWritable() const {
    const Table::Impl& d = *table_->d;
    if (kind_ == Calculated) {
        if (!d.inCalc)
            throw Error(Error::WrongState,
                        QStringLiteral("Pole wyliczane %1 ustawia się tylko podczas wyliczania")
                            .arg(def_.name));
        return;
    }
    if (kind_ == Lookup)
        throw Error(Error::WrongState,
                    QStringLiteral("Pole przeglądowe %1 jest tylko do odczytu").arg(def_.name));
    if (d.state != Table::Insert && d.state != Table::Edit)
        throw Error(
            Error::WrongState,
            QStringLiteral("Tabela %1 nie jest w trybie dopisywania ani poprawiania (pole %2)")
                .arg(d.bare(), def_.name));
}

void Field::store(Cell&& c) {
    Table::Impl& d = *table_->d;
    if (kind_ == Calculated) {
        d.calc[column_] = std::move(c);
        if (d.calcOnDemand && size_t(column_) < d.calcHave.size()) d.calcHave[size_t(column_)] = 1;
        return;
    }
    d.pending.c[column_] = std::move(c);
    d.modified = true;
    d.touch();
    d.emitRecord();
}

QString Field::displayText() const {
    if (mapper_) return mapper_(*this);
    const Cell& c = table_->d->cellOf(kind_, column_, def_);
    if (c.null) return QString(QLatin1String(""));
    switch (def_.type) {
        case FieldType::Text:
        case FieldType::Memo:
            return c.s;
        case FieldType::Currency:
            return formatByMask(
                c.f, displayFormat_.isEmpty() ? QStringLiteral("### ##0.00") : displayFormat_);
        case FieldType::Float:
            if (!displayFormat_.isEmpty()) return formatByMask(c.f, displayFormat_);
            return QString::number(c.f, 'g', QLocale::FloatingPointShortest)
                .replace(QLatin1Char('.'), QLatin1Char(','));
        case FieldType::Date:
            return isoDate(c.i);
        case FieldType::Logical:
            return c.i ? QStringLiteral("Tak") : QStringLiteral("Nie");
        default:
            if (!displayFormat_.isEmpty()) return formatByMask(double(c.i), displayFormat_);
            return QString::number(c.i);
    }
}

}  // namespace db
