// convodesk-db install: a good file goes in (through the package's link to the data folder),
// the previous one is kept, a bad file or bad arguments change nothing, and a desk reading
// the database while files are swapped always gets a whole file.
#include "convodesk-db/InstallCommand.h"
#include "support/DeskFile.h"
#include "support/InstallLayout.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <atomic>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace convodesk;
using namespace convodesk::dbtool;
using namespace convodesk::testing;

class InstallCommandTest : public QObject {
    Q_OBJECT

private slots:
    void goodFileReplacesLinkedFileKeepingPrevious() {
        InstallLayout l;
        const QByteArray a = bytes(l.path(QStringLiteral("a.mdb")));
        const QByteArray b = bytes(l.path(QStringLiteral("b.mdb")));
        // Readable by a group of desk users only: the new file stays so.
        const gid_t deskGroup = ::geteuid() == 0 ? 4343 : ::getegid();
        QCOMPARE(::chown(QFile::encodeName(l.dataFile()).constData(), uid_t(-1), deskGroup), 0);
        QCOMPARE(::chmod(QFile::encodeName(l.dataFile()).constData(), 0640), 0);
        CommandRun r =
            install({l.path(QStringLiteral("b.mdb")), QStringLiteral("--folder"), l.programFolder()});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains(QStringLiteral("Every screen can use this file.")));
        QVERIFY2(r.out.contains(QStringLiteral("Installed ")), qPrintable(r.out));
        QVERIFY(QFileInfo(l.programFolder() + QStringLiteral("/Tassel.mdb")).isSymLink());
        QCOMPARE(bytes(l.dataFile()), b);
        QCOMPARE(bytes(l.dataFile() + QStringLiteral(".previous")), a);
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(l.dataFile()).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0640));
        QCOMPARE(st.st_gid, deskGroup);

        // Again: the file that was in place becomes the previous one, the older is gone.
        r = install({l.path(QStringLiteral("a.mdb")), QStringLiteral("--folder"), l.programFolder()});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(bytes(l.dataFile()), a);
        QCOMPARE(bytes(l.dataFile() + QStringLiteral(".previous")), b);
        QCOMPARE(QDir(l.path(QStringLiteral("var/convodesk"))).entryList(QDir::Files | QDir::Hidden).size(),
                 2);
    }

    void firstFileThroughDanglingLinkOrIntoPlainFolder() {
        InstallLayout l;
        QFile::remove(l.dataFile()); // the link now points at nothing
        CommandRun r =
            install({l.path(QStringLiteral("b.mdb")), QStringLiteral("--folder"), l.programFolder()});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(bytes(l.dataFile()), bytes(l.path(QStringLiteral("b.mdb"))));
        QVERIFY(!QFile::exists(l.dataFile() + QStringLiteral(".previous")));
        QCOMPARE(QFileInfo(l.dataFile()).permissions() & QFile::ReadOther,
                 QFile::ReadOther); // a first file: 0644

        // A folder without any Tassel.mdb (a build tree) gets a plain file.
        const QString plain = l.path(QStringLiteral("plain"));
        QDir().mkpath(plain);
        r = install({l.path(QStringLiteral("a.mdb")), QStringLiteral("--folder"), plain});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(!QFileInfo(plain + QStringLiteral("/Tassel.mdb")).isSymLink());
        QCOMPARE(bytes(plain + QStringLiteral("/Tassel.mdb")), bytes(l.path(QStringLiteral("a.mdb"))));
    }

    void badInputChangesNothing_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("not a database") << "garbage" << 2 << "cannot be read as a database";
        QTest::newRow("cut short") << "truncated" << 2 << "cannot be read as a database";
        QTest::newRow("no Graduates table") << "programmes only" << 1 << "Some screens would fail";
        QTest::newRow("missing file") << "missing" << 2 << "is not a file";
        QTest::newRow("no such folder") << "bad folder" << 2 << "is not a folder";
        QTest::newRow("link into a missing folder")
            << "dangling folder" << 2 << "whose folder does not exist";
        QTest::newRow("installing the file in use") << "itself" << 2 << "already the desk's database";
        QTest::newRow("no file given") << "no file" << 2 << "expected FILE";
        QTest::newRow("unknown option") << "bad option" << 2 << "unknown argument";
    }
    void badInputChangesNothing() {
        QFETCH(QString, kind);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        InstallLayout l;
        QString file = l.path(QStringLiteral("b.mdb"));
        QString folder = l.programFolder();
        QStringList extra;
        if (kind == QLatin1String("garbage")) {
            file = l.write(QStringLiteral("garbage.mdb"), QByteArray(8192, 'x'));
        } else if (kind == QLatin1String("truncated")) {
            file = l.write(QStringLiteral("cut.mdb"), bytes(file).left(4096 + 100));
        } else if (kind == QLatin1String("programmes only")) {
            file = l.path(QStringLiteral("programmes.mdb"));
            DeskFile programmesOnly;
            programmesOnly.programme();
            programmesOnly.write(file);
        } else if (kind == QLatin1String("missing")) {
            file = l.path(QStringLiteral("nowhere.mdb"));
        } else if (kind == QLatin1String("bad folder")) {
            folder = l.path(QStringLiteral("nowhere"));
        } else if (kind == QLatin1String("dangling folder")) {
            QFile::remove(folder + QStringLiteral("/Tassel.mdb"));
            QFile::link(l.path(QStringLiteral("gone/Tassel.mdb")), folder + QStringLiteral("/Tassel.mdb"));
        } else if (kind == QLatin1String("itself")) {
            file = l.programFolder() + QStringLiteral("/Tassel.mdb");
        } else if (kind == QLatin1String("no file")) {
            file.clear();
        } else if (kind == QLatin1String("bad option")) {
            extra << QStringLiteral("--force");
        }
        const QStringList before = snapshot(l.root());
        QStringList args{QStringLiteral("--folder"), folder};
        if (!file.isEmpty())
            args << file;
        const CommandRun r = install(args + extra);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY2(!r.err.contains(QStringLiteral("convodesk-db check:")), qPrintable(r.err));
        QCOMPARE(snapshot(l.root()), before);
    }

    // A user who may not write the data folder is told why and how: with sudo. As root (CI)
    // the built tool runs as the unprivileged user nobody.
    void unwritableFolderSaysToUseSudo() {
        InstallLayout l;
        QFile(l.root()).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                       QFile::ReadOther | QFile::ExeOther);
        QFile(l.path(QStringLiteral("var/convodesk")))
            .setPermissions(QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        const QStringList before = snapshot(l.root());
        const QStringList args{QStringLiteral("install"), l.path(QStringLiteral("b.mdb")),
                               QStringLiteral("--folder"), l.programFolder()};
        QProcess p;
        if (::geteuid() == 0)
            p.start(QStringLiteral("setpriv"),
                    QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                QStringLiteral("--clear-groups"), tool()} +
                        args);
        else
            p.start(tool(), args);
        QVERIFY(p.waitForFinished(60000));
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        const QStringList after = snapshot(l.root());
        QFile(l.path(QStringLiteral("var/convodesk")))
            .setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(p.exitCode(), 1);
        QVERIFY2(err.contains(QStringLiteral("Cannot write in")) &&
                     err.contains(QStringLiteral("Permission denied")) &&
                     err.contains(QStringLiteral("sudo convodesk-db install")),
                 qPrintable(err));
        QVERIFY2(!err.contains(QStringLiteral("convodesk-db check:")), qPrintable(err));
        QCOMPARE(after, before);
    }

    // Started through a link elsewhere (/usr/bin/convodesk-db), the tool still works on the
    // folder it really lives in, and follows that folder's link to the data.
    void defaultFolderIsTheToolsOwnThroughItsLink() {
        InstallLayout l;
        const QString copy = l.programFolder() + QStringLiteral("/convodesk-db");
        QVERIFY(QFile::copy(tool(), copy));
        QDir(l.root()).mkpath(QStringLiteral("bin"));
        QVERIFY(QFile::link(QStringLiteral("../lib/convodesk/convodesk-db"),
                            l.path(QStringLiteral("bin/convodesk-db"))));
        QProcess p;
        p.setWorkingDirectory(l.root());
        p.start(l.path(QStringLiteral("bin/convodesk-db")),
                {QStringLiteral("install"), l.path(QStringLiteral("b.mdb"))});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(bytes(l.dataFile()), bytes(l.path(QStringLiteral("b.mdb"))));
        QVERIFY(!QFile::exists(l.path(QStringLiteral("bin/Tassel.mdb"))));
    }

    // Separate reader processes, as the desk is, read through the link while files are swapped
    // in: each read succeeds and sees one whole file (30 or 50 graduates, never a mix).
    void readerDuringSwapsNeverFails() {
        InstallLayout l;
        std::atomic<bool> done{false};
        std::atomic<int> installs{0};
        std::atomic<int> failedInstalls{0};
        std::thread installer([&] {
            for (int i = 0; !done; ++i) {
                const QString file = l.path(i % 2 ? QStringLiteral("a.mdb") : QStringLiteral("b.mdb"));
                QString sink;
                QTextStream s(&sink);
                if (InstallCommand::run({file, QStringLiteral("--folder"), l.programFolder()}, s, s) != 0)
                    ++failedInstalls;
                ++installs;
            }
        });
        int reads = 0;
        QStringList problems;
        const QString database = l.programFolder() + QStringLiteral("/Tassel.mdb");
        while (reads < 60 || installs < 20) {
            QProcess p;
            p.start(tool(), {QStringLiteral("query"), database, QStringLiteral("select * from Graduate")});
            p.waitForFinished(60000);
            const qsizetype rows = p.readAllStandardOutput().count('\n') - 1;
            if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0 || (rows != 30 && rows != 50))
                problems << QStringLiteral("exit %1%2, %3 rows: %4")
                                .arg(p.exitCode())
                                .arg(p.exitStatus() == QProcess::NormalExit ? QString()
                                                                            : QStringLiteral(" (crashed)"))
                                .arg(rows)
                                .arg(QString::fromLocal8Bit(p.readAllStandardError()));
            ++reads;
            if (reads > 2000)
                break;
        }
        done = true;
        installer.join();
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
        QCOMPARE(failedInstalls.load(), 0);
        QVERIFY(installs >= 20);
        qInfo("%d reads during %d installs", reads, installs.load());
    }
};

QTEST_GUILESS_MAIN(InstallCommandTest)
#include "tst_install_command.moc"
