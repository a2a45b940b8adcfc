// Database and Search screen timings on large files, one measurement per process so that the
// peak memory belongs to it alone:
//   bench_screens write GRADUATES PROGRAMMES   writes Tassel.mdb next to the program
//   bench_screens realistic GRADUATES          puts a RealisticDesk file there instead
//   bench_screens database                     opens the Database screen (both lists filled)
//   bench_screens search                       searches a text that every tenth graduate holds
//   bench_screens search-all                   searches the empty text: every graduate listed
//   bench_screens click                        in the real main window: from the click on "Data
//                                              Manager" to the graduate list painted on screen
//   bench_screens paste                        a 1 MB paste into the Home screen's ID box, painted
//   bench_screens keys                         keys in the ID box holding 1 MB, each until painted:
//                                              typed at the end, in the middle, Home and End
#include "RealisticDesk.h"
#include "app/fraMDI.h"
#include "app/frmMenu.h"
#include "data/jet4/write/Writer.h"
#include "screens/database/frmDBase.h"
#include "screens/home/frmHome.h"
#include "screens/search/frmSearch.h"
#include "support/DeskFile.h"
#include "support/Values.h"
#include "ui/HandlerGuard.h"
#include "ui/ReportList.h"
#include "ui/TextBox.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>
#ifdef __GLIBC__
#include <malloc.h>
#endif

using namespace convodesk;

namespace {

// A figure of /proc/self/status in KiB ("VmHWM:" the peak, "VmRSS:" the present); -1 if unknown.
long statusKiB(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const auto length = static_cast<qsizetype>(std::strlen(field));
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(length).trimmed().split(' ').first().toLong();
    return -1;
}

long peakRssKiB() {
    return statusKiB("VmHWM:");
}

// The memory the process holds once the heap has handed back what is free: what the filled
// lists keep after the query's rows are gone.
double keptMiB() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
    return statusKiB("VmRSS:") / 1024.0;
}

// Notes when a widget has been painted: the paint is over once the event processing that
// delivered it returns.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget& widget) { widget.installEventFilter(this); }
    void reset() { painted = false; }
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

// Processes events until `watch` has seen a paint; returns false if none came within 10 s.
bool processUntilPainted(const PaintWatch& watch) {
    QElapsedTimer limit;
    limit.start();
    while (!watch.painted && limit.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    QApplication::processEvents();
    return watch.painted;
}

QString megabyteOfNames() {
    QString big;
    while (big.size() < (1 << 20))
        big += QStringLiteral("CV24DIT00010 Lim Chee Keong (\u6797\u5fd7\u5f3a) ");
    big.truncate(1 << 20);
    return big;
}

// Milliseconds from each key press to the box painted after it: median and slowest.
struct KeyCosts {
    double median = 0;
    double slowest = 0;
};
KeyCosts timeKeys(PaintWatch& watch, int count, const std::function<void(int)>& press) {
    std::vector<double> costs;
    QElapsedTimer clock;
    for (int i = 0; i < count; ++i) {
        watch.reset();
        clock.start();
        press(i);
        processUntilPainted(watch);
        costs.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(costs.begin(), costs.end());
    return {costs[costs.size() / 2], costs.back()};
}

// The Home screen shown and active, its ID box with the keyboard and a megabyte on the
// clipboard; null if the window never became active.
ui::TextBox* focusedIdBox(screens::frmHome& screen) {
    screen.show();
    screen.activateWindow();
    if (!QTest::qWaitForWindowActive(&screen))
        return nullptr;
    auto* box = screen.findChild<ui::TextBox*>(QStringLiteral("txtStudentID"));
    box->setFocus();
    QApplication::clipboard()->setText(megabyteOfNames());
    return box;
}

// The Graduate table, Graduates and Programme of a large desk, next to the program.
void writeFile(int graduates, int programmes) {
    using testing::n;
    using testing::t;
    testing::DeskFile file;
    jet4::WriterTable& graduate = file.graduateTable();
    jet4::WriterTable& all = file.graduates();
    for (int i = 1; i <= graduates; ++i) {
        const QString id = QStringLiteral("CV24DT%1").arg(i, 6, 10, QLatin1Char('0'));
        // Every tenth graduate carries the searched name.
        const QString name = i % 10 == 0 ? QStringLiteral("Nur Aisyah binti Zakaria %1").arg(i)
                                         : QStringLiteral("Muhammad Hafiz bin Hassan %1").arg(i);
        graduate.rows.push_back(
            {t(id), t(name), t("Diploma in Information Technology"), t("Faculty of Computing"), n(i)});
        all.rows.push_back(
            {t(id), t(name), t(QStringLiteral("990101-01-%1").arg(i % 10000, 4, 10, QLatin1Char('0'))),
             t(QStringLiteral("DIT")), t(QStringLiteral("Faculty of Computing")),
             i % 7 ? t(QStringLiteral("012-%1").arg(i)) : jet4::Value::null(), t(QStringLiteral("Attending")),
             t(id + QStringLiteral(".wav")), jet4::Value::integer(i)});
    }
    for (int i = 1; i <= programmes; ++i)
        file.programme().rows.push_back(
            {t(QStringLiteral("P%1").arg(i)),
             t(QStringLiteral("Diploma in Subject %1").arg(i, 4, 10, QLatin1Char('0'))),
             t(QStringLiteral("Faculty %1").arg(i % 9))});
    file.writeBesideProgram();
}

} // namespace

int main(int argc, char* argv[]) {
    // Measured without a display unless one is asked for.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == QLatin1String("write") && argc > 3) {
        writeFile(atoi(argv[2]), atoi(argv[3]));
        return 0;
    }
    if (mode == QLatin1String("realistic") && argc > 2) {
        const QString made = bench::RealisticDesk::make(atoi(argv[2])).mdbPath;
        const QString beside = testing::DeskFile::besideProgram();
        QFile::remove(beside);
        return QFile::copy(made, beside) ? 0 : 1;
    }
    ui::setFailureReporter([](const ui::Failure& failure) {
        std::fprintf(stderr, "failed: %s\n", qPrintable(ui::failureMessage(failure)));
    });
    QWidget client;
    client.resize(1366, 700);
    QElapsedTimer clock;
    if (mode == QLatin1String("database")) {
        screens::frmDBase screen;
        screen.show();
        QApplication::processEvents();
        const long before = peakRssKiB();
        clock.start();
        screen.Form_Load(client);
        QApplication::processEvents(); // the first paint of the filled lists
        const qint64 ms = clock.elapsed();
        std::printf(
            "database: %d graduates, %d programmes listed in %lld ms; peak RSS %.1f MiB (%.1f before), "
            "%.1f MiB kept after the fill\n",
            screen.graduateList().itemCount(), screen.programmeList().itemCount(), ms, peakRssKiB() / 1024.0,
            before / 1024.0, keptMiB());
        return 0;
    }
    if (mode == QLatin1String("search") || mode == QLatin1String("search-all")) {
        screens::frmSearch screen;
        screen.show();
        screen.Form_Load(client);
        screen.findChild<ui::TextBox*>(QStringLiteral("txtSearch"))
            ->setText(mode == QLatin1String("search") ? QStringLiteral("Zakaria") : QString());
        QApplication::processEvents();
        const long before = peakRssKiB();
        clock.start();
        screen.findChild<QPushButton*>(QStringLiteral("cmdSearch"))->click();
        QApplication::processEvents();
        const qint64 ms = clock.elapsed();
        std::printf(
            "search: %d rows listed in %lld ms; peak RSS %.1f MiB (%.1f before), %.1f MiB kept after the "
            "fill\n",
            screen.resultList().itemCount(), ms, peakRssKiB() / 1024.0, before / 1024.0, keptMiB());
        return 0;
    }
    if (mode == QLatin1String("click")) {
        app::fraMDI main;
        main.showAndLoad();
        if (!QTest::qWaitForWindowExposed(&main))
            return 1;
        QApplication::processEvents();
        auto* button = main.menuPanel()->findChild<QPushButton*>(QStringLiteral("Command2"));
        const long before = peakRssKiB();
        clock.start();
        QTest::mouseClick(button, Qt::LeftButton);
        const qint64 filled = clock.elapsed();
        auto* screen = static_cast<screens::frmDBase*>(main.openScreen(QStringLiteral("frmDBase")));
        if (!screen)
            return 1;
        const PaintWatch watch(*screen->graduateList().viewport());
        if (!processUntilPainted(watch))
            return 1;
        const qint64 painted = clock.elapsed();
        std::printf("click to Database screen: %d graduates, %d programmes filled after %lld ms, "
                    "list painted after %lld ms; peak RSS %.1f MiB (%.1f before)\n",
                    screen->graduateList().itemCount(), screen->programmeList().itemCount(), filled, painted,
                    peakRssKiB() / 1024.0, before / 1024.0);
        return 0;
    }
    if (mode == QLatin1String("paste")) {
        screens::frmHome screen;
        ui::TextBox* box = focusedIdBox(screen);
        if (!box)
            return 1;
        QApplication::processEvents();
        const PaintWatch watch(*box);
        clock.start();
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        const qint64 pasted = clock.elapsed();
        processUntilPainted(watch);
        const qint64 painted = clock.elapsed();
        clock.start();
        QTest::keyClick(box, Qt::Key_X);
        const qint64 typed = clock.elapsed();
        std::printf("paste of %lld characters into the ID box: in the box after %lld ms, painted after %lld "
                    "ms; one more key %lld ms\n",
                    static_cast<long long>(box->text().size()), pasted, painted, typed);
        return 0;
    }
    if (mode == QLatin1String("keys")) {
        screens::frmHome screen;
        ui::TextBox* box = focusedIdBox(screen);
        if (!box)
            return 1;
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        PaintWatch watch(*box);
        processUntilPainted(watch);
        const int keys = 50;
        const KeyCosts atEnd = timeKeys(watch, keys, [box](int) { QTest::keyClick(box, Qt::Key_X); });
        box->setCursorPosition(box->text().size() / 2);
        processUntilPainted(watch);
        const KeyCosts inMiddle = timeKeys(watch, keys, [box](int) { QTest::keyClick(box, Qt::Key_Y); });
        const KeyCosts backspace =
            timeKeys(watch, keys, [box](int) { QTest::keyClick(box, Qt::Key_Backspace); });
        const KeyCosts homeEnd =
            timeKeys(watch, keys, [box](int i) { QTest::keyClick(box, i % 2 ? Qt::Key_End : Qt::Key_Home); });
        const bool endShown = box->cursorPosition() == box->text().size() && box->isShown(box->text().size());
        std::printf(
            "keys in the ID box holding %lld characters, each until painted (median / slowest of %d):\n"
            "  typed at the end     %7.2f / %7.2f ms\n"
            "  typed in the middle  %7.2f / %7.2f ms\n"
            "  Backspace            %7.2f / %7.2f ms\n"
            "  Home and End         %7.2f / %7.2f ms\n"
            "  the end shown after End: %s\n",
            static_cast<long long>(box->text().size()), keys, atEnd.median, atEnd.slowest, inMiddle.median,
            inMiddle.slowest, backspace.median, backspace.slowest, homeEnd.median, homeEnd.slowest,
            endShown ? "yes" : "no");
        return 0;
    }
    std::fprintf(stderr, "usage: bench_screens write GRADUATES PROGRAMMES | realistic GRADUATES | database | "
                         "search | search-all | "
                         "click | paste | keys\n");
    return 2;
}
