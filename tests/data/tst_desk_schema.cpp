// The desk's names and the query texts the screens send: the texts stay exactly what they were
// before they were composed from the names.
#include "data/DeskSchema.h"
#include "data/SqlText.h"

#include <QTest>

using namespace convodesk::data;

// Joined when compiled: a wrong join fails the build, not a run.
static_assert(desk::kProgrammesInDescOrder.view().size() == 45);
static_assert(desk::kGraduatesInQueueOrder[14] == u'G' && desk::kGraduatesInQueueOrder[22] == u's');
static_assert(desk::indexOf(desk::kGraduatesFieldsUsed, desk::kQueue.view()) == 8);
static_assert(desk::indexOf(desk::kGraduateFieldsUsed, desk::kIc.view()) == desk::kGraduateFieldsUsed.size());

class DeskSchemaTest : public QObject {
    Q_OBJECT

private slots:
    void screensSendTheSameTexts() {
        QCOMPARE(QString(desk::kGraduatesInQueueOrder),
                 QStringLiteral("select * from Graduates order by Queue"));
        QCOMPARE(QString(desk::kProgrammesInDescOrder),
                 QStringLiteral("select * from Programme order by Program_Desc"));
        QCOMPARE(desk::graduateLookupText(sqlTextLiteral(QStringLiteral("2003'1"))),
                 QStringLiteral("select * from Graduate where GraduateID = '2003''1'"));
        QCOMPARE(
            desk::graduateSearchText(sqlTextLiteral(QStringLiteral("%o'b%"))),
            QStringLiteral("select * from Graduate where Name like '%o''b%' or GraduateID like '%o''b%' or "
                           "Program_Desc like '%o''b%' order by Queue"));
        QCOMPARE(desk::graduateSearchText(QString()),
                 QStringLiteral("select * from Graduate where Name like  or GraduateID like  or Program_Desc "
                                "like  order by Queue"));
    }

    void namesAndLists() {
        QCOMPARE((QStringList{desk::kGraduateQuery, desk::kGraduatesTable, desk::kProgrammeTable,
                              desk::kDatabaseFile}),
                 (QStringList{"Graduate", "Graduates", "Programme", "Tassel.mdb"}));
        // Every field a screen uses of Graduate is one the stored query gives.
        for (QStringView field : desk::kGraduateFieldsUsed)
            QVERIFY(desk::indexOf(desk::kGraduateQueryFields, field) < desk::kGraduateQueryFields.size());
    }

    // A named text is lent to the QString in place; one joined in passing is copied before the
    // join it came from is gone.
    void fixedTextsLendOrCopy() {
        const QString named = desk::kProgramDesc;
        QCOMPARE(named.constData(), reinterpret_cast<const QChar*>(desk::kProgramDesc.view().utf16()));
        QString joined = desk::kProgrammeTable + "." + desk::kProgramCode;
        QCOMPARE(joined, QStringLiteral("Programme.Program_Code"));
        QString changed = named;
        changed[0] = u'p';
        QCOMPARE(QString(desk::kProgramDesc), QStringLiteral("Program_Desc"));
        QCOMPARE(changed, QStringLiteral("program_Desc"));
    }
};

QTEST_GUILESS_MAIN(DeskSchemaTest)
#include "tst_desk_schema.moc"
