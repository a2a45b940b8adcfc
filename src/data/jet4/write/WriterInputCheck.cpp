#include "WriterInputCheck.h"

#include "data/jet4/Error.h"

#include <QSet>

namespace convodesk::jet4 {

namespace {
constexpr int kMaxNameLength = 64;
constexpr int kMaxColumns = 255;
constexpr std::size_t kMaxKeyColumns = 10;

[[noreturn]] void fail(const QString& message) {
    throw Error(Error::Kind::InvalidInput, message);
}

void checkName(const QString& name, const QString& what) {
    if (const QString problem = objectNameProblem(name); !problem.isEmpty())
        fail(name.trimmed().isEmpty() ? QStringLiteral("%1 has no name.").arg(what)
                                      : QStringLiteral("%1 \"%2\": %3").arg(what, name, problem));
}

bool allowedUserType(ColumnType t) {
    switch (t) {
    case ColumnType::Text:
    case ColumnType::Memo:
    case ColumnType::Byte:
    case ColumnType::Integer:
    case ColumnType::Long:
    case ColumnType::Double:
    case ColumnType::Boolean:
    case ColumnType::DateTime:
    case ColumnType::Currency:
        return true;
    default:
        return false;
    }
}

void checkPrimaryKey(const WriterTable& t, const QSet<QString>& columns) {
    const QString what = QStringLiteral("Table \"%1\"").arg(t.name);
    if (t.primaryKey.size() > kMaxKeyColumns)
        fail(QStringLiteral("%1: a primary key has at most %2 columns.").arg(what).arg(kMaxKeyColumns));
    QSet<QString> inKey;
    for (const QString& name : t.primaryKey) {
        if (!columns.contains(name.toLower()))
            fail(QStringLiteral("%1 has no column \"%2\" for its primary key.").arg(what, name));
        if (inKey.contains(name.toLower()))
            fail(QStringLiteral("%1 names column \"%2\" twice in its primary key.").arg(what, name));
        inKey.insert(name.toLower());
        for (const WriterColumn& c : t.columns)
            if (c.name.compare(name, Qt::CaseInsensitive) == 0 && c.type == ColumnType::Memo)
                fail(
                    QStringLiteral("%1: the memo column \"%2\" cannot be in a primary key.").arg(what, name));
    }
}

void checkTable(const WriterTable& t) {
    const QString what = QStringLiteral("Table \"%1\"").arg(t.name);
    if (t.columns.empty())
        fail(QStringLiteral("%1 has no columns.").arg(what));
    if (t.columns.size() > kMaxColumns)
        fail(QStringLiteral("%1 has more than %2 columns.").arg(what).arg(kMaxColumns));
    QSet<QString> seen;
    for (const WriterColumn& c : t.columns) {
        checkName(c.name, QStringLiteral("A column of table \"%1\"").arg(t.name));
        if (!allowedUserType(c.type))
            fail(QStringLiteral("%1, column \"%2\": this column type cannot be written.").arg(what, c.name));
        if (c.type == ColumnType::Text && (c.maxChars < 1 || c.maxChars > 255))
            fail(QStringLiteral("%1, column \"%2\": a text column holds 1 to 255 characters.")
                     .arg(what, c.name));
        if (seen.contains(c.name.toLower()))
            fail(QStringLiteral("%1 has two columns named \"%2\".").arg(what, c.name));
        seen.insert(c.name.toLower());
    }
    checkPrimaryKey(t, seen);
}
} // namespace

QString objectNameProblem(const QString& name) {
    if (name.trimmed().isEmpty())
        return QStringLiteral("the name is empty.");
    if (name.size() > kMaxNameLength)
        return QStringLiteral("the name is longer than %1 characters.").arg(kMaxNameLength);
    for (QChar c : name) {
        if (c.unicode() < 0x20 || c == QLatin1Char('[') || c == QLatin1Char(']') || c == QLatin1Char('!') ||
            c == QLatin1Char('.') || c == QLatin1Char('`'))
            return QStringLiteral("the name contains a character names cannot have (. ! ` [ ] or a control "
                                  "character).");
    }
    return {};
}

void WriterInputCheck::check(const std::vector<WriterTable>& tables, const std::vector<QueryDef>& queries) {
    QSet<QString> objects{QStringLiteral("msysobjects"), QStringLiteral("msysqueries"),
                          QStringLiteral("tables")};
    for (const WriterTable& t : tables) {
        checkName(t.name, QStringLiteral("A table"));
        if (objects.contains(t.name.toLower()))
            fail(QStringLiteral("The name \"%1\" is already used by another table or query.").arg(t.name));
        objects.insert(t.name.toLower());
        checkTable(t);
    }
    for (const QueryDef& q : queries) {
        checkName(q.name, QStringLiteral("A query"));
        if (objects.contains(q.name.toLower()))
            fail(QStringLiteral("The name \"%1\" is already used by another table or query.").arg(q.name));
        objects.insert(q.name.toLower());
        if (q.kind == QueryDef::Kind::Select && q.columns.empty() && !(q.selectFlags & QueryDef::AllFields))
            fail(QStringLiteral("Query \"%1\" selects no columns.").arg(q.name));
    }
}

} // namespace convodesk::jet4
