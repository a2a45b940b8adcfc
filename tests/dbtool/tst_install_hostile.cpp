// convodesk-db install run as root against a folder that another user controls: links planted
// at Tassel.mdb (or on the way to its target) are refused with the reason and change nothing,
// names planted while installs run never turn a write outside the folder, a full disk is
// named, and file names that are not UTF-8 work. Most cases need root (chown, mount).
#include "convodesk-db/CheckCommand.h"
#include "convodesk-db/QueryCommand.h"
#include "data/jet4/read/NativePath.h"
#include "support/InstallLayout.h"
#include "support/SmallDisk.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTest>
#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace convodesk;
using namespace convodesk::dbtool;
using namespace convodesk::testing;
using jet4::NativePath;

namespace {

constexpr uid_t kOtherUser = 4242;

QByteArray native(const QString& path) {
    return NativePath::encode(path);
}

void own(const QString& path, uid_t user, gid_t group = gid_t(-1)) {
    QVERIFY(::lchown(native(path).constData(), user, group) == 0);
}

void makeLink(const QString& target, const QString& at, uid_t owner = 0) {
    QVERIFY(::symlink(native(target).constData(), native(at).constData()) == 0);
    own(at, owner);
}

void makeFolder(const QString& path, mode_t mode, uid_t owner = 0) {
    QVERIFY(::mkdir(native(path).constData(), mode) == 0);
    QVERIFY(::chmod(native(path).constData(), mode) == 0);
    own(path, owner);
}

void writeFile(const QString& path, const QByteArray& content, mode_t mode) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    QVERIFY(::chmod(native(path).constData(), mode) == 0);
}

// InstallLayout plus: desk/ (the folder installed into) and outside/secret, a root-only file.
struct Hostile : InstallLayout {
    Hostile() {
        makeFolder(desk(), 0755);
        makeFolder(path(QStringLiteral("outside")), 0755);
        writeFile(secret(), "root's own bytes", 0600);
    }
    QString desk() const { return path(QStringLiteral("desk")); }
    QString secret() const { return path(QStringLiteral("outside/secret")); }
};

} // namespace

class InstallHostileTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        if (::geteuid() != 0)
            QSKIP("needs root: other users' files are made with chown");
    }

    void plantedLinkIsRefusedChangingNothing_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("another user's folder, link to a root-only file") << "to secret"
                                                                         << "belongs to uid 4242";
        QTest::newRow("another user's folder, dangling link") << "dangling"
                                                              << "belongs to uid 4242";
        QTest::newRow("another user's folder, root's link") << "root link"
                                                            << "the folder";
        QTest::newRow("root's folder, another user's link") << "their link"
                                                            << "the link";
        QTest::newRow("target in a folder others may write") << "open folder"
                                                             << "may be written by others";
        QTest::newRow("target owned by another user") << "their file"
                                                      << "the file";
        QTest::newRow("another user's link on the way") << "hop"
                                                        << "the link";
        QTest::newRow("another user's link in DIR's own path") << "folder link"
                                                               << "may be written by others";
    }
    void plantedLinkIsRefusedChangingNothing() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        Hostile h;
        const QString at = h.desk() + QStringLiteral("/Tassel.mdb");
        QString folder = h.desk();
        if (kind == QLatin1String("to secret") || kind == QLatin1String("dangling")) {
            own(h.desk(), kOtherUser, kOtherUser);
            makeLink(kind == QLatin1String("dangling") ? h.path(QStringLiteral("outside/new")) : h.secret(),
                     at, kOtherUser);
        } else if (kind == QLatin1String("root link")) {
            own(h.desk(), kOtherUser, kOtherUser);
            makeLink(h.secret(), at);
        } else if (kind == QLatin1String("their link")) {
            makeLink(h.secret(), at, kOtherUser);
        } else if (kind == QLatin1String("open folder")) {
            makeFolder(h.path(QStringLiteral("open")), 0777);
            writeFile(h.path(QStringLiteral("open/Tassel.mdb")), bytes(h.path(QStringLiteral("a.mdb"))),
                      0644);
            makeLink(h.path(QStringLiteral("open/Tassel.mdb")), at);
        } else if (kind == QLatin1String("their file")) {
            writeFile(h.path(QStringLiteral("outside/theirs.mdb")), bytes(h.path(QStringLiteral("a.mdb"))),
                      0644);
            own(h.path(QStringLiteral("outside/theirs.mdb")), kOtherUser);
            makeLink(h.path(QStringLiteral("outside/theirs.mdb")), at);
        } else if (kind == QLatin1String("hop")) {
            makeLink(h.path(QStringLiteral("outside")), h.path(QStringLiteral("hop")), kOtherUser);
            makeLink(h.path(QStringLiteral("hop/secret")), at);
        } else if (kind == QLatin1String("folder link")) {
            makeFolder(h.path(QStringLiteral("open")), 01777); // sticky, as /tmp
            makeLink(h.path(QStringLiteral("outside")), h.path(QStringLiteral("open/desk")), kOtherUser);
            folder = h.path(QStringLiteral("open/desk"));
        }
        const QStringList before = snapshot(h.root());
        const CommandRun r = install({h.path(QStringLiteral("b.mdb")), QStringLiteral("--folder"), folder});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(reason) && r.err.contains(QStringLiteral("Nothing was changed.")),
                 qPrintable(r.err));
        QVERIFY2(r.out.isEmpty(), qPrintable(r.out)); // refused before the file is even checked
        QCOMPARE(snapshot(h.root()), before);
    }

    // A plain Tassel.mdb in another user's folder is replaced where it is; the new file keeps
    // that user's ownership and mode, and so does the kept one.
    void plainFileInAnotherUsersFolderKeepsOwnerAndMode() {
        Hostile h;
        own(h.desk(), kOtherUser, kOtherUser);
        const QString at = h.desk() + QStringLiteral("/Tassel.mdb");
        writeFile(at, bytes(h.path(QStringLiteral("a.mdb"))), 0600);
        own(at, kOtherUser, kOtherUser + 1);
        const QStringList outside = snapshot(h.path(QStringLiteral("outside")));
        const CommandRun r = install({h.path(QStringLiteral("b.mdb")), QStringLiteral("--folder"), h.desk()});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(bytes(at), bytes(h.path(QStringLiteral("b.mdb"))));
        for (const QString& file : {at, at + QStringLiteral(".previous")}) {
            struct stat st {};
            QCOMPARE(::lstat(native(file).constData(), &st), 0);
            QCOMPARE(st.st_uid, kOtherUser);
            QCOMPARE(st.st_gid, kOtherUser + 1);
            QCOMPARE(st.st_mode & 07777, mode_t(0600));
        }
        QCOMPARE(QDir(h.desk()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 2);
        QCOMPARE(snapshot(h.path(QStringLiteral("outside"))), outside);
    }

    // The folder's owner plants links (to a root-only file, and dangling ones) at every name the
    // tool uses, as fast as it can, while the tool installs 200 times: nothing outside the
    // folder ever changes, and "Installed" is said only with exit 0.
    void namesPlantedDuringInstallsNeverLeadOutside() {
        Hostile h;
        own(h.desk(), kOtherUser, kOtherUser);
        const QByteArray good = bytes(h.path(QStringLiteral("a.mdb")));
        writeFile(h.desk() + QStringLiteral("/Tassel.mdb"), good, 0644);
        const QStringList outsideBefore = snapshot(h.path(QStringLiteral("outside")));
        const QStringList topBefore =
            QDir(h.root()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

        std::atomic<bool> done{false};
        std::atomic<int> planted{0};
        std::thread planter([&] {
            const QByteArray folder = native(h.desk());
            const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY);
            for (int round = 0; !done; ++round) {
                QStringList names = QDir(h.desk()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                             QDir::NoDotAndDotDot);
                names << QStringLiteral("Tassel.mdb") << QStringLiteral("Tassel.mdb.previous");
                for (const QString& name : names) {
                    if (name.startsWith(QLatin1String("zz")))
                        continue;
                    const QByteArray target =
                        round % 3 == 0 ? native(h.secret())
                                       : native(h.path(QStringLiteral("outside/new-%1").arg(round % 7)));
                    struct stat st {};
                    if (name == QLatin1String("Tassel.mdb") && round % 10 != 0) {
                        // Mostly a plain file, so that installs get going and meet the other names.
                        if (::fstatat(dir, "Tassel.mdb", &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                            !S_ISLNK(st.st_mode))
                            continue;
                        const int file = ::openat(dir, "zz-file", O_WRONLY | O_CREAT | O_TRUNC, 0644);
                        if (file >= 0) {
                            (void)!::write(file, good.constData(), good.size());
                            ::close(file);
                        }
                        ::renameat(dir, "zz-file", dir, "Tassel.mdb");
                        continue;
                    }
                    ::unlinkat(dir, "zz-link", 0);
                    if (::symlinkat(target.constData(), dir, "zz-link") == 0 &&
                        ::renameat(dir, "zz-link", dir, native(name).constData()) == 0)
                        ++planted;
                }
                ::usleep(200); // time for installs to get through to their renames
            }
            ::close(dir);
        });
        int installed = 0, refused = 0;
        QSet<QString> reasons;
        QStringList problems;
        for (int i = 0; i < 200; ++i) {
            const CommandRun r = install({h.path(i % 2 ? QStringLiteral("a.mdb") : QStringLiteral("b.mdb")),
                                          QStringLiteral("--folder"), h.desk()});
            if (r.exitCode == 0 && r.out.contains(QStringLiteral("Installed ")))
                ++installed;
            else if (r.exitCode == 1 && !r.out.contains(QStringLiteral("Installed ")))
                ++refused, reasons.insert(r.err.section(QLatin1Char('/'), 4).left(90));
            else
                problems << QStringLiteral("exit %1: %2 %3").arg(r.exitCode).arg(r.out, r.err);
        }
        done = true;
        planter.join();
        qInfo("%d installed, %d refused, %d links planted; refused as: %s", installed, refused,
              planted.load(),
              qPrintable(QStringList(reasons.begin(), reasons.end()).join(QStringLiteral(" | "))));
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
        QCOMPARE(snapshot(h.path(QStringLiteral("outside"))), outsideBefore);
        QCOMPARE(QDir(h.root()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), topBefore);
        QCOMPARE(bytes(h.secret()), QByteArray("root's own bytes"));
        QVERIFY(planted > 200);
        QVERIFY(installed > 0);
    }

    // A disk that fills while the new file is copied in: the reason is named, the old file stays
    // and no hidden file is left behind.
    void fullDiskNamesTheReasonAndKeepsTheOldFile() {
        SmallDisk disk(QStringLiteral("size=1m,mode=0755"));
        if (!disk.available())
            QSKIP("cannot mount a small file system here");
        InstallLayout l;
        const QByteArray old = bytes(l.path(QStringLiteral("a.mdb")));
        const qint64 size = bytes(l.path(QStringLiteral("b.mdb"))).size();
        for (const qint64 free : {qint64(0), qint64(4096), size / 2, size - 4096}) {
            QVERIFY(disk.mount());
            const QString target = disk.filePath(QStringLiteral("Tassel.mdb"));
            writeFile(target, old, 0644);
            disk.fillLeaving(free);
            const CommandRun r =
                install({l.path(QStringLiteral("b.mdb")), QStringLiteral("--folder"), disk.path()});
            const QByteArray after = bytes(target);
            const QStringList left =
                QDir(disk.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
            disk.unmount();
            QCOMPARE(r.exitCode, 1);
            QVERIFY2(r.err.contains(QStringLiteral("No space left on device")), qPrintable(r.err));
            QVERIFY(after == old);
            QCOMPARE(QSet<QString>(left.begin(), left.end()),
                     QSet<QString>({QStringLiteral("Tassel.mdb"), QStringLiteral("filler")}));
        }
    }
};

QTEST_GUILESS_MAIN(InstallHostileTest)
#include "tst_install_hostile.moc"
