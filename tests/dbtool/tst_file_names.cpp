// File names that are not valid UTF-8 (bytes Qt would turn into replacement characters)
// open everywhere: names keep every byte through decoding, and check, query and install
// (the file and the folder) work with them, in this process and from the command line.
#include "convodesk-db/CheckCommand.h"
#include "InstallFixture.h"
#include "convodesk-db/MakeCommand.h"
#include "convodesk-db/QueryCommand.h"
#include "data/jet4/read/NativePath.h"

#include <QFile>
#include <QProcess>
#include <QTest>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace convodesk;
using namespace convodesk::dbtool;
using namespace convodesk::dbtool::test;
using jet4::NativePath;

namespace {

const QByteArray kBadName("caf\xe9 \xff\xfe.mdb"); // Latin-1 bytes, not UTF-8

// The names in a folder as bytes (QDir skips the ones it cannot encode back).
QList<QByteArray> names(const QByteArray& folder) {
    QList<QByteArray> found;
    if (DIR* listing = ::opendir(folder.constData())) {
        while (const dirent* entry = ::readdir(listing))
            found << QByteArray(entry->d_name);
        ::closedir(listing);
    }
    return found;
}

} // namespace

class FileNamesTest : public QObject {
    Q_OBJECT

private slots:
    void everyByteSurvivesDecoding_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("ASCII") << QByteArray("/var/lib/Tassel.mdb") << true;
        QTest::newRow("UTF-8, two to four bytes")
            << QByteArray("caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\x93") << true;
        QTest::newRow("Latin-1") << kBadName << false;
        QTest::newRow("cut-off sequence at the end") << QByteArray("a\xc3") << false;
        QTest::newRow("overlong slash") << QByteArray("a\xc0\xaf"
                                                      "b")
                                        << false;
        QTest::newRow("encoded surrogate") << QByteArray("\xed\xa0\x80") << false;
        QTest::newRow("past U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << false;
        QTest::newRow("escape-like valid text next to a bad byte")
            << QByteArray("\xed\x9f\xbf\x80\xf0\x9f\x8e\x93\xff") << false;
    }
    void everyByteSurvivesDecoding() {
        QFETCH(QByteArray, name);
        QFETCH(bool, valid);
        const QString decoded = NativePath::decode(name);
        QCOMPARE(NativePath::encode(decoded), name);
        if (valid)
            QCOMPARE(decoded, QString::fromUtf8(name));
        QVERIFY(!decoded.contains(QChar::ReplacementCharacter));
    }

    void checkQueryAndInstallOpenSuchNames() {
        Layout l;
        const QByteArray folder = QFile::encodeName(l.root()) + "/desk " + kBadName;
        QCOMPARE(::mkdir(folder.constData(), 0755), 0);
        const QByteArray file = QFile::encodeName(l.root()) + "/" + kBadName;
        QCOMPARE(::link(QFile::encodeName(l.path(QStringLiteral("b.mdb"))).constData(), file.constData()), 0);
        const QString name = NativePath::decode(file);

        QString out, err;
        QTextStream o(&out), e(&err);
        QCOMPARE(CheckCommand::run({name}, o, e), 0);
        QCOMPARE(QueryCommand::run({name, QStringLiteral("select count(*) from Graduate")}, o, e), 0);
        o.flush();
        QVERIFY2(out.contains(QStringLiteral("\n50\n")), qPrintable(out + err));
        const Run r = install({name, QStringLiteral("--folder"), NativePath::decode(folder)});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QFile installed;
        QVERIFY(NativePath::openForReading(installed, NativePath::decode(folder + "/Tassel.mdb")).isEmpty());
        QCOMPARE(installed.readAll(), bytes(l.path(QStringLiteral("b.mdb"))));

        // Writing one is refused, as the writer cannot name it: never a file of another name.
        const QString output = NativePath::decode(QFile::encodeName(l.root()) + "/new " + kBadName);
        QCOMPARE(MakeCommand::run({QStringLiteral("--graduates"), QStringLiteral("g.csv"),
                                   QStringLiteral("--programmes"), QStringLiteral("p.csv"),
                                   QStringLiteral("--output"), output},
                                  o, e),
                 2);
        e.flush();
        QVERIFY2(err.contains(QStringLiteral("not valid UTF-8")), qPrintable(err));
        QVERIFY(!names(QFile::encodeName(l.root())).contains("new " + kBadName));

        // The built tool, given the bytes by the shell.
        QProcess p;
        p.start(QStringLiteral("sh"), {QStringLiteral("-c"),
                                       QStringLiteral("exec \"$0\" check \"$1\"/\"$(printf '%1')\"")
                                           .arg(QStringLiteral("caf\\351 \\377\\376.mdb")),
                                       tool(), l.root()});
        QVERIFY(p.waitForFinished(60000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardOutput() + p.readAllStandardError());

        // Qt cannot remove such names for the temporary folder.
        QCOMPARE(::unlink((folder + "/Tassel.mdb").constData()), 0);
        QCOMPARE(::rmdir(folder.constData()), 0);
        QCOMPARE(::unlink(file.constData()), 0);
    }
};

QTEST_GUILESS_MAIN(FileNamesTest)
#include "tst_file_names.moc"
