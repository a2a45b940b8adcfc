#include "ui/ReportList.h"
#include "ui/ReportListRowNumber.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace convodesk::ui;

class ReportListTest : public QObject {
    Q_OBJECT

    static std::vector<ReportColumn> columns() {
        return {{QStringLiteral("ID"), Qt::AlignLeft, 0},
                {QStringLiteral("No."), Qt::AlignHCenter, 600},
                {QStringLiteral("Name"), Qt::AlignLeft, 4941}};
    }

private slots:
    void headersWidthsAndAlignment() {
        ReportList list(columns());
        const QHeaderView* head = list.header();
        QCOMPARE(list.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("No."));
        QCOMPARE(head->sectionSize(0), 0);
        QVERIFY(!head->isSectionHidden(0));
        QCOMPARE(head->sectionSize(1), 40);
        QCOMPARE(head->sectionSize(2), 329); // 4941 twips, 329.4 px
        QCOMPARE(head->minimumSectionSize(), 0);
        QCOMPARE(head->sectionResizeMode(0), QHeaderView::Interactive);
        const int row = list.addItem(QStringLiteral("x"));
        const auto align = [&](int column) {
            return list.model()
                ->data(list.model()->index(row, column), Qt::TextAlignmentRole)
                .value<Qt::Alignment>();
        };
        QVERIFY(align(1) & Qt::AlignHCenter);
        QVERIFY(align(2) & Qt::AlignLeft);
    }

    void zeroWidthColumnDragsOpenAndShut() {
        ReportList list(columns());
        list.header()->resizeSection(0, 50);
        QCOMPARE(list.header()->sectionSize(0), 50);
        list.header()->resizeSection(0, 3);
        QCOMPARE(list.header()->sectionSize(0), 3);
        list.header()->resizeSection(0, 0);
        QCOMPARE(list.header()->sectionSize(0), 0);
    }

    // Columns that fit need no horizontal scroll bar, also when they fill the view exactly, and
    // a zero-width first or last column is still dragged open from its line.
    void zeroWidthColumnsDragOpenWithoutAScrollBar() {
        ReportList list({{QStringLiteral("ID"), Qt::AlignLeft, 0},
                         {QStringLiteral("No."), Qt::AlignLeft, 600},
                         {QStringLiteral("Phone"), Qt::AlignLeft, 0}});
        list.resize(40 + list.verticalScrollBar()->sizeHint().width() + 2 * list.frameWidth(), 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QHeaderView* head = list.header();
        for (int rows : {0, 50}) { // without and with a vertical scroll bar
            for (int i = 0; i < rows; ++i)
                list.addItem(QString::number(i));
            QTest::qWait(20);
            QVERIFY2(!list.horizontalScrollBar()->isVisible(), qPrintable(QString::number(rows)));
        }
        QCOMPARE(list.viewport()->width(), 40); // no room at all behind the last line
        const auto drag = [&](int from, int to) {
            const auto send = [&](QEvent::Type type, int x, Qt::MouseButtons buttons) {
                QMouseEvent event(type, QPointF(x, 5), head->viewport()->mapToGlobal(QPointF(x, 5)),
                                  Qt::LeftButton, buttons, Qt::NoModifier);
                QCoreApplication::sendEvent(head->viewport(), &event);
            };
            send(QEvent::MouseButtonPress, from, Qt::LeftButton);
            send(QEvent::MouseMove, to, Qt::LeftButton);
            send(QEvent::MouseButtonRelease, to, Qt::NoButton);
        };
        drag(39, 29); // just left of the last line, dragged back: stays shut
        QCOMPARE(head->sectionSize(2), 0);
        QCOMPARE(head->sectionSize(1), 40);
        drag(39, 49);
        QCOMPARE(head->sectionSize(2), 10);
        QCOMPARE(head->sectionSize(1), 40);
        drag(1, 21); // the first column, from its line at the left edge
        QCOMPARE(head->sectionSize(0), 20);
        QCOMPARE(head->sectionSize(1), 40);
        drag(20, 10); // an open column is dragged by its own divider, as usual
        QCOMPARE(head->sectionSize(0), 10);
        // Well inside a column nothing is resized.
        drag(40, 45);
        QCOMPARE(head->sectionSize(1), 40);
    }

    void itemsAndSubItems() {
        ReportList list(columns());
        QCOMPARE(list.addItem(QStringLiteral("a")), 0);
        QCOMPARE(list.addItem(QStringLiteral("b")), 1);
        list.setSubItemText(1, 2, QStringLiteral("Name of b"));
        QCOMPARE(list.subItemText(1, 0), QStringLiteral("b"));
        QCOMPARE(list.subItemText(1, 2), QStringLiteral("Name of b"));
        QCOMPARE(list.subItemText(0, 2), QString()); // never set
        // Out of range is ignored and reads empty, never another row's cell.
        list.setSubItemText(5, 1, QStringLiteral("lost"));
        list.setSubItemText(0, 3, QStringLiteral("lost"));
        QCOMPARE(list.subItemText(0, 3), QString());
        QCOMPARE(list.itemCount(), 2);
        list.removeAll();
        QCOMPARE(list.itemCount(), 0);
        QCOMPARE(list.addItem(QStringLiteral("c")), 0);
        QCOMPARE(list.subItemText(0, 2), QString());
    }

    void batchSignalsOnceAndViewSeesRows() {
        ReportList list(columns());
        QSignalSpy inserted(list.model(), &QAbstractItemModel::rowsInserted);
        QSignalSpy reset(list.model(), &QAbstractItemModel::modelReset);
        {
            ReportList::Batch batch(list);
            for (int i = 0; i < 1000; ++i)
                list.setSubItemText(list.addItem(QString::number(i)), 1, QStringLiteral("n"));
        }
        QCOMPARE(inserted.count(), 0);
        QCOMPARE(reset.count(), 1);
        QCOMPARE(list.model()->rowCount(), 1000);
        QCOMPARE(list.model()->data(list.model()->index(999, 0)).toString(), QStringLiteral("999"));
        // Outside a batch each append is told on its own.
        list.addItem(QStringLiteral("last"));
        QCOMPARE(inserted.count(), 1);
    }

    void batchEndsWhenTheFillFails() {
        ReportList list(columns());
        try {
            ReportList::Batch batch(list);
            list.addItem(QStringLiteral("a"));
            throw std::runtime_error("read failed");
        } catch (const std::runtime_error&) {
        }
        QCOMPARE(list.model()->rowCount(), 1);
        QSignalSpy inserted(list.model(), &QAbstractItemModel::rowsInserted);
        list.addItem(QStringLiteral("b"));
        QCOMPARE(inserted.count(), 1);
    }

    void hundredThousandRowsFillQuickly() {
        ReportList list(columns());
        list.resize(600, 400);
        list.show();
        QElapsedTimer clock;
        clock.start();
        {
            ReportList::Batch batch(list);
            for (int i = 0; i < 100000; ++i) {
                const int row = list.addItem(QString::number(i));
                list.setSubItemText(row, 1, QString::number(i));
                list.setSubItemText(row, 2, QStringLiteral("Graduate name"));
            }
        }
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(list.itemCount(), 100000);
    }

    void rowNumbers() {
        QCOMPARE(rowNumberText(1, 4), QStringLiteral("0001"));
        QCOMPARE(rowNumberText(999, 4), QStringLiteral("0999"));
        QCOMPARE(rowNumberText(10000, 4), QStringLiteral("10000"));
        QCOMPARE(rowNumberText(9, 3), QStringLiteral("009"));
        QCOMPARE(rowNumberText(99, 3), QStringLiteral("099"));
        QCOMPARE(rowNumberText(1000, 3), QStringLiteral("1000"));
    }
};

QTEST_MAIN(ReportListTest)
#include "tst_reportlist.moc"
