// The fields convodesk-db check wants are the ones the screens use: a file that lacks any one
// field of the desk's sources fails the check exactly when a screen fails with it.
#include "convodesk-db/CheckCommand.h"
#include "convodesk-db/ToolInfo.h"
#include "data/DeskSchema.h"
#include "screens/database/frmDBase.h"
#include "screens/home/frmHome.h"
#include "screens/search/frmSearch.h"
#include "support/DeskFile.h"
#include "support/FailureLog.h"
#include "ui/HandlerGuard.h"
#include "ui/ReportList.h"
#include "ui/TextBox.h"

#include <QApplication>
#include <QTest>

using namespace convodesk;
using jet4::Value;
using jet4::WriterTable;
namespace desk = data::desk;

namespace {

const QString kId = QStringLiteral("200312345678");
const QString kGraduateName = QStringLiteral("Aina binti Yusof");
const QString kCode = QStringLiteral("P1");
const QString kDescription = QStringLiteral("Diploma in Nursing");

// The value of a field in the one row each source holds.
Value valueOf(QStringView field) {
    if (field == desk::kQueue.view())
        return Value::integer(1);
    if (field == desk::kGraduateId.view())
        return Value::text(kId);
    if (field == desk::kName.view())
        return Value::text(kGraduateName);
    if (field == desk::kProgramme.view() || field == desk::kProgramCode.view())
        return Value::text(kCode);
    if (field == desk::kProgramDesc.view())
        return Value::text(kDescription);
    return Value::text(field.toString() + QStringLiteral(" value"));
}

} // namespace

class DeskFieldsTest : public QObject {
    Q_OBJECT

    testing::FailureLog failureLog_;
    QList<ui::Failure>& failures_ = failureLog_.failures();

    // The desk's file with Graduate written as a table, one row in each source, less `field`
    // of `source`.
    static void writeTassel(const QString& source = {}, const QString& field = {}) {
        testing::DeskFile file;
        for (WriterTable* table : {&file.graduateTable(), &file.graduates(), &file.programme()}) {
            std::vector<Value> row;
            for (const jet4::WriterColumn& column : table->columns)
                row.push_back(valueOf(column.name));
            table->rows.push_back(std::move(row));
        }
        file.dropColumn(source, field);
        file.writeBesideProgram();
    }

    static bool checkPasses() {
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        return dbtool::CheckCommand::checkFile(testing::DeskFile::besideProgram(), outStream, errStream,
                                               QStringLiteral("check")) == dbtool::kExitOk;
    }

    // Home looks the graduate up, Search lists everybody, Database fills both lists; true when
    // none of them failed and each showed the one graduate (and programme).
    bool screensWork() {
        failures_.clear();
        QWidget client;
        client.resize(1000, 700);
        screens::frmHome home;
        ui::runHandler([&] { home.Form_Load(client); });
        home.findChild<ui::TextBox*>(QStringLiteral("txtStudentID"))->setText(kId);
        const bool homeShows = home.shownName() == kGraduateName && home.shownProgramme() == kDescription;

        screens::frmSearch search;
        search.findChild<ui::TextBox*>(QStringLiteral("txtSearch"))->setText(QStringLiteral("a"));
        search.cmdSearch_Click();
        const bool searchShows = search.resultList().itemCount() == 1;

        screens::frmDBase database;
        ui::runHandler([&] { database.Form_Load(client); });
        const bool databaseShows =
            database.graduateList().itemCount() == 1 && database.programmeList().itemCount() == 1;
        return failures_.empty() && homeShows && searchShows && databaseShows;
    }

private slots:
    void init() { failures_.clear(); }

    void wholeFileServesEveryScreen() {
        writeTassel();
        QVERIFY(screensWork());
        QVERIFY(checkPasses());
    }

    void checkFailsExactlyWhenAScreenDoes_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("field");
        const auto add = [](const QString& source, const auto& fields) {
            for (QStringView field : fields)
                QTest::addRow("%s without %s", qPrintable(source), qPrintable(field.toString()))
                    << source << field.toString();
        };
        add(desk::kGraduateQuery, desk::kGraduateQueryFields);
        add(desk::kGraduatesTable, desk::kGraduatesFieldsUsed);
        add(desk::kProgrammeTable, desk::kProgrammeFieldsUsed);
    }
    void checkFailsExactlyWhenAScreenDoes() {
        QFETCH(QString, source);
        QFETCH(QString, field);
        writeTassel(source, field);
        const bool screens = screensWork();
        QCOMPARE(checkPasses(), screens);
        // Graduate's Faculty is the one field no screen uses.
        QCOMPARE(screens, source == desk::kGraduateQuery && field == desk::kFaculty);
    }
};

QTEST_MAIN(DeskFieldsTest)
#include "tst_desk_fields.moc"
