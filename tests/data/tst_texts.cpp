// Connection texts and display texts.
#include "data/ConnectionText.h"
#include "data/DataError.h"
#include "data/DisplayText.h"

#include <QTest>

using namespace convodesk::data;
using convodesk::jet4::Value;

Q_DECLARE_METATYPE(convodesk::jet4::Value)

class TextsTest : public QObject {
    Q_OBJECT

private slots:
    void connectionTextIsJoinedWithoutSeparatorCheck() {
        const QString prefix = QStringLiteral("Provider=Microsoft.JET.OLEDB.4.0;Data Source= ");
        QCOMPARE(prefix.size(), 46);
        QCOMPARE(buildConnectionText(QStringLiteral("/opt/desk")),
                 prefix + QStringLiteral("/opt/desk\\Tassel.mdb"));
        QCOMPARE(buildConnectionText(QStringLiteral("/opt/desk/")),
                 prefix + QStringLiteral("/opt/desk/\\Tassel.mdb"));
        QCOMPARE(dataSourcePath(buildConnectionText(QStringLiteral("/opt/desk/"))),
                 QStringLiteral("/opt/desk//Tassel.mdb"));
        QCOMPARE(dataSourcePath(QStringLiteral("data source=  /a/b.mdb;PROVIDER=microsoft.jet.oledb.4.0;")),
                 QStringLiteral("/a/b.mdb"));
    }

    void badConnectionTextsFailClearly() {
        auto failure = [](const QString& text) {
            try {
                dataSourcePath(text);
            } catch (const DataError& error) {
                return error.number();
            }
            return 0;
        };
        QCOMPARE(failure(QStringLiteral("Provider=SQLOLEDB;Data Source=/a.mdb")),
                 int(DataError::ProviderNotFound));
        QCOMPARE(failure(QStringLiteral("Data Source=/a.mdb")), int(DataError::ProviderNotFound));
        QCOMPARE(failure(QStringLiteral("Provider=Microsoft.JET.OLEDB.4.0")),
                 int(DataError::BadConnectionText));
        QCOMPARE(failure(QStringLiteral("Provider=Microsoft.JET.OLEDB.4.0;garbage")),
                 int(DataError::BadConnectionText));
    }

    void displayTexts_data() {
        QTest::addColumn<Value>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("null") << Value::null() << QString();
        QTest::newRow("text kept") << Value::text(QStringLiteral(" a ")) << QStringLiteral(" a ");
        QTest::newRow("integer") << Value::integer(-42) << QStringLiteral("-42");
        QTest::newRow("double") << Value::real(0.1) << QStringLiteral("0.1");
        QTest::newRow("double whole") << Value::real(3) << QStringLiteral("3");
        QTest::newRow("single") << Value::single(1.5f) << QStringLiteral("1.5");
        QTest::newRow("single 0.1") << Value::single(0.1f) << QStringLiteral("0.1");
        QTest::newRow("currency") << Value::currency(12345000) << QStringLiteral("1234.5");
        QTest::newRow("currency negative") << Value::currency(-1) << QStringLiteral("-0.0001");
        QTest::newRow("true") << Value::boolean(true) << QStringLiteral("True");
        QTest::newRow("date") << Value::dateTime(36526) << QStringLiteral("2000-01-01");
        QTest::newRow("date time") << Value::dateTime(36526.75) << QStringLiteral("2000-01-01 18:00:00");
        QTest::newRow("before 1899") << Value::dateTime(-1.5) << QStringLiteral("1899-12-29 12:00:00");
        QTest::newRow("decimal") << Value::decimal(QStringLiteral("-12.3400")) << QStringLiteral("-12.3400");
    }
    void displayTexts() {
        QFETCH(Value, value);
        QFETCH(QString, text);
        QCOMPARE(displayText(value), text);
    }
};

QTEST_GUILESS_MAIN(TextsTest)
#include "tst_texts.moc"
