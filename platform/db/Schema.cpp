#include "platform/db/Schema.h"

namespace db {

const FieldDef* TableDef::field(const QString& n) const {
    for (const auto& f : fields)
        if (f.name.compare(n, Qt::CaseInsensitive) == 0) return &f;
    return nullptr;
}

QString bareTableName(const QString& name) {
    QString s = name.trimmed();
    if (s.endsWith(".db", Qt::CaseInsensitive)) s.chop(3);
    return s;
}

}  // namespace db
