// The handler guard (failures reach the operator once, the program goes on) and the fonts.
#include "data/DataError.h"
#include "data/jet4/Error.h"
#include "ui/AppFonts.h"
#include "ui/HandlerGuard.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QTest>
#include <QTimer>
#include <new>

using namespace convodesk;

class tst_guard : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { ui::setFailureReporter({}); }
    void failureIsReportedOnceAndStopsTheHandler();
    void everyKindOfFailureIsCaught();
    void failureInsideEventLoopDoesNotEscape();
    void messageNamesNumberAndDescription();
    void fontsResolve();
};

void tst_guard::failureIsReportedOnceAndStopsTheHandler() {
    QList<ui::Failure> seen;
    ui::setFailureReporter([&](const ui::Failure& f) { seen << f; });
    QStringList steps;
    const bool ok = ui::runHandler([&] {
        steps << "before";
        throw data::DataError(data::DataError::FileNotFound,
                              QStringLiteral("Could not find file 'Tassel.mdb'."));
        steps << "after";
    });
    QVERIFY(!ok);
    QCOMPARE(steps, QStringList{"before"});
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen[0].number, 3024);
    QCOMPARE(seen[0].description, QStringLiteral("Could not find file 'Tassel.mdb'."));
    QVERIFY(ui::runHandler([] {}));
    QCOMPARE(seen.size(), 1);
}

void tst_guard::everyKindOfFailureIsCaught() {
    QList<ui::Failure> seen;
    ui::setFailureReporter([&](const ui::Failure& f) {
        seen << f;
        throw std::runtime_error("the reporter itself fails");
    });
    QVERIFY(!ui::runHandler([] { throw std::bad_alloc(); }));
    QVERIFY(
        !ui::runHandler([] { throw jet4::Error(jet4::Error::Kind::Damaged, QStringLiteral("bad page")); }));
    QVERIFY(!ui::runHandler([] { throw std::logic_error("broken"); }));
    QVERIFY(!ui::runHandler([] { throw 42; }));
    QCOMPARE(seen.size(), 4);
    QCOMPARE(seen[0].number, 7);
    QCOMPARE(seen[1].number, int(data::DataError::DamagedFile));
    QCOMPARE(seen[1].description, QStringLiteral("bad page"));
    QCOMPARE(seen[2].description, QStringLiteral("broken"));
    QVERIFY(seen[3].number != 0);
}

void tst_guard::failureInsideEventLoopDoesNotEscape() {
    int reports = 0;
    ui::setFailureReporter([&](const ui::Failure&) { ++reports; });
    QTimer::singleShot(0, this,
                       [] { ui::runHandler([] { throw data::DataError(3051, QStringLiteral("x")); }); });
    QTRY_COMPARE(reports, 1);
}

void tst_guard::messageNamesNumberAndDescription() {
    QCOMPARE(ui::failureMessage({3024, QStringLiteral("Could not find file.")}),
             QStringLiteral("Error 3024: Could not find file."));
}

void tst_guard::fontsResolve() {
    const QStringList families = ui::registerProgramFonts();
    if (families.isEmpty())
        QSKIP("the Tahoma files of fonts-wine are not installed");
    QVERIFY(families.contains(QStringLiteral("Tahoma")));
    QFont tahoma(QStringLiteral("Tahoma"));
    QCOMPARE(QFontInfo(tahoma).family(), QStringLiteral("Tahoma"));
    tahoma.setBold(true);
    QCOMPARE(QFontInfo(tahoma).family(), QStringLiteral("Tahoma"));
    if (QFontDatabase::hasFamily(QStringLiteral("Open Sans"))) {
        QCOMPARE(QFontInfo(QFont(QStringLiteral("Myriad Pro"))).family(), QStringLiteral("Open Sans"));
        QCOMPARE(QFontInfo(QFont(QStringLiteral("Myriad Pro Light"))).family(), QStringLiteral("Open Sans"));
    }
}

QTEST_MAIN(tst_guard)
#include "tst_guard.moc"
