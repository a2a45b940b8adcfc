// The data layer on files the writer makes and on sample files: the screens' query texts,
// OpenTable's ownership rules and the errors of a missing file.
#include "data/Connection.h"
#include "data/ConnectionText.h"
#include "data/DataError.h"
#include "data/DisplayText.h"
#include "data/Recordset.h"
#include "data/ScreenDatabase.h"
#include "data/SqlText.h"
#include "support/CaughtError.h"
#include "support/CorpusFiles.h"
#include "support/DeskFile.h"
#include "support/Values.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace convodesk::data;
using convodesk::jet4::Value;
using convodesk::testing::DeskFile;
using convodesk::testing::n;
using convodesk::testing::t;

using convodesk::testing::errorOf;

namespace {

QString lookupText(const QString& id) {
    return QStringLiteral("select * from Graduate where GraduateID = ") + sqlTextLiteral(id);
}

QString searchText(const QString& t) {
    return QStringLiteral("select * from Graduate where Name like '%") + t +
           QStringLiteral("%' or GraduateID like '%") + t + QStringLiteral("%' or Program_Desc like '%") + t +
           QStringLiteral("%' order by Queue");
}

QStringList readAll(Recordset& rs, const QString& field) {
    QStringList out;
    for (; !rs.eof(); rs.moveNext())
        out << displayText(rs.field(field));
    return out;
}

} // namespace

class LayerFilesTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString connectionText;

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        DeskFile::made({{t("200312345678"), t("Ana Lima"), t("P1"), n(5)},
                        {t("O'NEIL000001"), t("Sean O'Neil"), t("P2"), n(2)},
                        {t("200300000001"), t(QString()), t("P19"), Value::null()},
                        {t("2003_50%0001"), Value::null(), t("P2"), n(2)}})
            .write(dir.filePath(QStringLiteral("Tassel.mdb")));
        connectionText = buildConnectionText(dir.path());
    }

    void homeLookupThroughTheStoredQuery() {
        Recordset rs;
        rs.openQuery(lookupText(QStringLiteral("200312345678")), connectionText);
        QVERIFY(!rs.eof());
        QCOMPARE(displayText(rs.field(QStringLiteral("Name"))), QStringLiteral("Ana Lima"));
        QCOMPARE(displayText(rs.field(QStringLiteral("Program_Desc"))), QStringLiteral("Programme 17"));
        QCOMPARE(rs.fieldNames(), (QStringList{"GraduateID", "Name", "Program_Desc", "Faculty", "Queue"}));
        rs.moveNext();
        QVERIFY(rs.eof());
        rs.openQuery(lookupText(QStringLiteral("o'neil000001")), connectionText);
        QCOMPARE(displayText(rs.field(QStringLiteral("name"))), QStringLiteral("Sean O'Neil"));
        rs.openQuery(lookupText(QStringLiteral("x' or GraduateID like '%")), connectionText);
        QVERIFY(rs.eof());
        // Unknown programme: the graduate is found with a Null description.
        rs.openQuery(lookupText(QStringLiteral("200300000001")), connectionText);
        QVERIFY(rs.field(QStringLiteral("Program_Desc")).isNull());
        QCOMPARE(rs.field(QStringLiteral("Name")), Value::text(QString()));
    }

    // "=", "<>" and "like" on a stored text column ignore letter case exactly as Qt's comparison
    // does, whether the stored text is compressed or not, and Null matches none of them.
    void textEqualityOnStoredRows() {
        const QStringList ids = {QStringLiteral("abc"),         QStringLiteral("ABC"),
                                 QStringLiteral("abcd"),        QString(),
                                 QStringLiteral("\u212Aelvin"), QStringLiteral("kelvin"),
                                 QStringLiteral("Stra\u00DFe"), QStringLiteral("\u0141\u00F3d\u017A"),
                                 QStringLiteral("ab'c"),        QStringLiteral("")};
        std::vector<std::vector<Value>> rows;
        rows.reserve(ids.size());
        for (int i = 0; i < ids.size(); ++i)
            rows.push_back({ids[i].isNull() ? Value::null() : Value::text(ids[i]),
                            Value::text(QStringLiteral("G%1").arg(i)), Value::text(QStringLiteral("P1")),
                            Value::integer(i)});
        QTemporaryDir folder;
        DeskFile::made(rows).write(folder.filePath(QStringLiteral("Tassel.mdb")));
        const QString text = buildConnectionText(folder.path());
        const QStringList literals = {QStringLiteral("abc"),         QStringLiteral("aBC"),
                                      QStringLiteral("KELVIN"),      QStringLiteral("\u212AELVIN"),
                                      QStringLiteral("STRA\u00DFE"), QStringLiteral("\u0142\u00D3D\u0179"),
                                      QStringLiteral("ab'c"),        QStringLiteral(""),
                                      QStringLiteral("ab")};
        for (const QString& literal : literals) {
            QStringList equal, unequal;
            for (int i = 0; i < ids.size(); ++i) {
                if (ids[i].isNull())
                    continue;
                (QString::compare(ids[i], literal, Qt::CaseInsensitive) == 0 ? equal : unequal)
                    << QStringLiteral("G%1").arg(i);
            }
            for (const QString& where :
                 {QStringLiteral("GraduateID = %1"), QStringLiteral("%1 = GraduateID")}) {
                Recordset rs;
                rs.openQuery(QStringLiteral("select * from Graduates where ") +
                                 where.arg(sqlTextLiteral(literal)) + QStringLiteral(" order by Queue"),
                             text);
                QCOMPARE(readAll(rs, QStringLiteral("Name")), equal);
            }
            Recordset rs;
            rs.openQuery(QStringLiteral("select * from Graduates where GraduateID <> ") +
                             sqlTextLiteral(literal) + QStringLiteral(" order by Queue"),
                         text);
            QCOMPARE(readAll(rs, QStringLiteral("Name")), unequal);
        }
        const QList<std::pair<QString, QStringList>> likes = {
            {QStringLiteral("GraduateID like 'ab%'"), {"G0", "G1", "G2", "G8"}},
            {QStringLiteral("GraduateID not like '%ELVIN'"), {"G0", "G1", "G2", "G6", "G7", "G8", "G9"}},
            {QStringLiteral("GraduateID like 'k%'"), {"G4", "G5"}},
            {QStringLiteral("GraduateID like '%\u00D3%'"), {"G7"}},
            {QStringLiteral("GraduateID like 'ab_c'"), {"G8"}},
            {QStringLiteral("GraduateID like '%'"), {"G0", "G1", "G2", "G4", "G5", "G6", "G7", "G8", "G9"}},
            {QStringLiteral("GraduateID = 'ABC' or 'KELVIN' = GraduateID"), {"G0", "G1", "G4", "G5"}},
            {QStringLiteral("not (GraduateID <> 'abcd')"), {"G2"}}};
        for (const auto& [where, names] : likes) {
            Recordset rs;
            rs.openQuery(QStringLiteral("select * from Graduates where ") + where +
                             QStringLiteral(" order by Queue"),
                         text);
            QCOMPARE(readAll(rs, QStringLiteral("Name")), names);
        }
    }

    // A list held in memory keeps one string for a text repeated in consecutive rows, and
    // never lets texts that differ only in letter case stand for each other. (Some of the
    // table's columns: a query of all of them in order reads each row from the file instead.)
    void repeatedTextsKeepTheirCase() {
        const QStringList programmes = {
            QStringLiteral("IT"), QStringLiteral("it"), QStringLiteral("IT"), QStringLiteral("IT"), QString(),
            QStringLiteral("IT")};
        std::vector<std::vector<Value>> rows;
        rows.reserve(programmes.size());
        for (int i = 0; i < programmes.size(); ++i)
            rows.push_back({Value::text(QStringLiteral("G%1").arg(i)), Value::text(QStringLiteral("N")),
                            programmes[i].isNull() ? Value::null() : Value::text(programmes[i]),
                            Value::integer(i)});
        QTemporaryDir folder;
        DeskFile::made(rows).write(folder.filePath(QStringLiteral("Tassel.mdb")));
        Recordset rs;
        rs.openQuery(QStringLiteral("select GraduateID, Programme, Queue from Graduates order by Queue"),
                     buildConnectionText(folder.path()));
        std::vector<Value> seen;
        for (; !rs.eof(); rs.moveNext())
            seen.push_back(rs.field(QStringLiteral("Programme")));
        QCOMPARE(int(seen.size()), int(programmes.size()));
        for (int i = 0; i < programmes.size(); ++i) {
            QCOMPARE(seen[i].isNull(), programmes[i].isNull());
            if (!programmes[i].isNull())
                QCOMPARE(seen[i].asText(), programmes[i]);
        }
        QCOMPARE(seen[3].asText().constData(), seen[2].asText().constData());
        QCOMPARE(seen[1].asText().constData() == seen[0].asText().constData(), false);
    }

    void searchAndListsInTheirOrder() {
        Recordset rs;
        rs.openQuery(searchText(QStringLiteral("o'n").replace(QLatin1Char('\''), QStringLiteral("''"))),
                     connectionText);
        QCOMPARE(readAll(rs, QStringLiteral("GraduateID")), QStringList{"O'NEIL000001"});
        rs.openQuery(searchText(QString()), connectionText);
        QCOMPARE(readAll(rs, QStringLiteral("GraduateID")),
                 (QStringList{"200300000001", "O'NEIL000001", "2003_50%0001", "200312345678"}));
        rs.openQuery(searchText(QStringLiteral("PROGRAMME 16")), connectionText);
        QCOMPARE(readAll(rs, QStringLiteral("GraduateID")), (QStringList{"O'NEIL000001", "2003_50%0001"}));
        rs.openQuery(searchText(QStringLiteral("zz")), connectionText);
        QVERIFY(rs.eof());

        auto connection = std::make_shared<Connection>();
        connection->setConnectionString(connectionText);
        connection->open();
        rs.openQuery(QStringLiteral("select * from Graduates order by Queue"), connection);
        QCOMPARE(readAll(rs, QStringLiteral("Queue")), (QStringList{"", "2", "2", "5"}));
        rs.openQuery(QStringLiteral("select * from Programme order by Program_Desc"), connection);
        const QStringList descriptions = readAll(rs, QStringLiteral("Program_Desc"));
        QCOMPARE(descriptions.size(), 19);
        QCOMPARE(descriptions.first(), QStringLiteral("Programme 00"));
        rs.openTable(QStringLiteral("programme"), connection);
        QCOMPARE(displayText(rs.field(QStringLiteral("Program_Code"))), QStringLiteral("P0"));
    }

    void errorTexts() {
        auto connection = std::make_shared<Connection>();
        connection->setConnectionString(connectionText);
        connection->open();
        Recordset rs;
        int number = 0;
        QCOMPARE(
            errorOf([&] { rs.openQuery(QStringLiteral("select * from Graduat"), connection); }, &number),
            QStringLiteral("No table or query named 'Graduat' in '%1'.").arg(dataSourcePath(connectionText)));
        QCOMPARE(number, int(DataError::NoSuchSource));
        QCOMPARE(errorOf([&] {
                     rs.openQuery(QStringLiteral("select * from Graduate order by Nothing"), connection);
                 }),
                 QStringLiteral("No field named 'Nothing' in 'Graduate'."));
        QVERIFY(!rs.isOpen());
        rs.openTable(QStringLiteral("Graduate"), connection);
        QCOMPARE(errorOf([&] { rs.field(QStringLiteral("Phone")); }, &number),
                 QStringLiteral("No field named 'Phone' in 'Graduate'."));
        for (int i = 0; i < 4; ++i)
            rs.moveNext();
        QVERIFY(rs.eof());
        errorOf([&] { rs.field(QStringLiteral("Name")); }, &number);
        QCOMPARE(number, int(DataError::NoCurrentRow));
    }

    // The texts handed to lists without a value in between are the values' display texts, for
    // stored text read in place and for anything else (a query's own rows, Null, numbers).
    void fieldTextsAreTheDisplayTexts() {
        auto connection = std::make_shared<Connection>();
        connection->setConnectionString(connectionText);
        connection->open();
        Recordset rs;
        for (const QString& query : {QStringLiteral("select * from Graduates order by Queue"),
                                     QStringLiteral("select * from Graduate order by Queue")}) {
            rs.openQuery(query, connection);
            const int fields = int(rs.fieldNames().size());
            int rows = 0;
            for (; !rs.eof(); rs.moveNext(), ++rows)
                for (int i = 0; i < fields; ++i)
                    QCOMPARE(rs.fieldText(i).toString(), displayText(rs.field(i)));
            QCOMPARE(rows, 4);
            QCOMPARE(rs.fieldIndex(QStringLiteral("queue")),
                     int(rs.fieldNames().indexOf(QStringLiteral("Queue"))));
            int number = 0;
            errorOf([&] { rs.fieldText(0); }, &number);
            QCOMPARE(number, int(DataError::NoCurrentRow));
            QCOMPARE(errorOf([&] { rs.fieldIndex(QStringLiteral("Nothing")); }),
                     QStringLiteral("No field named 'Nothing' in '%1'.").arg(query));
        }
    }

    void openTableTwiceKeepsOneConnectionAndRecordset() {
        const QString path =
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Tassel.mdb"));
        QFile::remove(path);
        const int connections = Connection::openCount();
        const int recordsets = Recordset::openCount();
        {
            ScreenDatabase db;
            QVERIFY(QFile::copy(dir.filePath(QStringLiteral("Tassel.mdb")), path));
            OpenTable(db, QStringLiteral("Graduate"));
            OpenTable(db, QStringLiteral("Graduate"));
            QCOMPARE(Connection::openCount(), connections + 1);
            QCOMPARE(Recordset::openCount(), recordsets + 1);
            QCOMPARE(db.connectionText, programConnectionText());
            QCOMPARE(db.connectionText.left(46),
                     QStringLiteral("Provider=Microsoft.JET.OLEDB.4.0;Data Source= "));
            QVERIFY(!db.recordset->eof());
        }
        QCOMPARE(Connection::openCount(), connections);
        QCOMPARE(Recordset::openCount(), recordsets);

        // Without the file: the text is stored, the connection made, and its open fails.
        QVERIFY(QFile::remove(path));
        ScreenDatabase db;
        int number = 0;
        const QString message = errorOf([&] { OpenTable(db, QStringLiteral("Graduate")); }, &number);
        QCOMPARE(number, int(DataError::FileNotFound));
        QVERIFY(message.contains(QStringLiteral("Tassel.mdb")));
        QCOMPARE(db.connectionText, programConnectionText());
        QVERIFY(db.connection && !db.connection->isOpen());
        QVERIFY(!db.recordset);
        QCOMPARE(Connection::openCount(), connections);
    }

    void tenThousandGraduates() {
        const QString path = dir.filePath(QStringLiteral("big.mdb"));
        DeskFile::made(10000).write(path);
        const QString text =
            buildConnectionText(dir.path()).replace(QStringLiteral("Tassel.mdb"), QStringLiteral("big.mdb"));
        Recordset rs;
        rs.openQuery(lookupText(QStringLiteral("200300009999")), text);
        QCOMPARE(displayText(rs.field(QStringLiteral("Name"))), QStringLiteral("Graduate 9999"));
        QVERIFY(rs.field(QStringLiteral("Program_Desc")).isNull()); // P19
        rs.openQuery(searchText(QStringLiteral("e 99")), text);
        const QStringList ids = readAll(rs, QStringLiteral("GraduateID"));
        QCOMPARE(ids.size(), 111); // 99, 990..999, 9900..9999
        rs.openQuery(QStringLiteral("select * from Graduates order by Queue"), text);
        QStringList queue = readAll(rs, QStringLiteral("Queue"));
        QCOMPARE(queue.size(), 10000);
        QCOMPARE(queue.first(), QStringLiteral("0"));
        QCOMPARE(queue.last(), QStringLiteral("999"));
    }

    void sampleFileQueries() {
        VERIFY_CORPUS(QStringLiteral("jackcess/queryTestV2000.mdb"));
        const QString path = convodesk::testing::corpusPath(QStringLiteral("jackcess/queryTestV2000.mdb"));
        const QString text = QStringLiteral("Provider=Microsoft.JET.OLEDB.4.0;Data Source=") + path;
        Recordset rs;
        rs.openQuery(QStringLiteral("select * from SelectQuery"), text);
        QVERIFY(rs.fieldNames().size() > 0);
        // Its union's parts have no FROM and name Table1.col1: a parameter, as Jet asks for it.
        int unionNumber = 0;
        errorOf([&] { rs.openQuery(QStringLiteral("select * from UnionQuery"), text); }, &unionNumber);
        QCOMPARE(unionNumber, int(DataError::ParameterMissing));
        for (const char* name : {"UpdateQuery", "AppendQuery", "DeleteQuery", "MakeTableQuery",
                                 "CrosstabQuery", "PassthroughQuery", "DataDefinitionQuery"}) {
            int number = 0;
            const QString message = errorOf(
                [&] { rs.openQuery(QStringLiteral("select * from %1").arg(QLatin1String(name)), text); },
                &number);
            QCOMPARE(number, int(DataError::UnsupportedQuery));
            QVERIFY2(
                message.startsWith(QStringLiteral("The stored query '%1' uses ").arg(QLatin1String(name))) &&
                    message.endsWith(QStringLiteral(", which this program cannot run.")),
                qPrintable(message));
        }
    }
};

QTEST_GUILESS_MAIN(LayerFilesTest)
#include "tst_layer_files.moc"
