#include "data/DisplayText.h"
#include "ui/PackedTextGrid.h"
#include "ui/ReportListModel.h"

#include <QTest>

using namespace convodesk;
using ui::PackedTextGrid;

// The texts of a list kept packed must read back exactly as they were given, whatever their
// characters, lengths and repeats, however many rows.
class PackedTextGridTest : public QObject {
    Q_OBJECT

    // Characters a list meets: ASCII, Latin-1, Han and Tamil, a lone surrogate from a damaged
    // file, NUL; lengths from one character to past what a block keeps.
    static QStringList awkwardTexts() {
        QString lone(2, QChar(u'x'));
        lone[1] = QChar(0xD800);
        return {QStringLiteral("A"),
                QStringLiteral("Nur'ain binti Ma'arof"),
                QStringLiteral("Chlo\u00e9 Fernandez \u00ff"),
                QStringLiteral("Lim Chee Keong (\u6797\u5fd7\u5f3a)"),
                QStringLiteral("Kavitha a/p Raman (\u0b95\u0bb5\u0bbf\u0ba4\u0bbe)"),
                lone,
                QString(3, QChar(0)),
                QString(127, QChar(u'y')) + QChar(0x0100),
                QString(5000, QChar(u'z')),
                QString(70000, QChar(0x4e00))};
    }

private slots:
    void textsReadBackAsGiven() {
        const QStringList texts = awkwardTexts();
        PackedTextGrid grid(3);
        for (int row = 0; row < 3000; ++row) {
            QCOMPARE(grid.appendRow(), row);
            grid.set(row, 0, texts[row % texts.size()]);
            grid.set(row, 1, QStringLiteral("CV24DIT%1").arg(row, 5, 10, QLatin1Char('0')));
            if (row % 3)
                grid.set(row, 2, row % 2 ? QStringLiteral("Attending") : QStringLiteral("In absentia"));
        }
        for (int row = 0; row < 3000; ++row) {
            QCOMPARE(grid.at(row, 0), texts[row % texts.size()]);
            QCOMPARE(grid.at(row, 1), QStringLiteral("CV24DIT%1").arg(row, 5, 10, QLatin1Char('0')));
            QCOMPARE(grid.at(row, 2), row % 3 == 0 ? QString()
                                      : row % 2    ? QStringLiteral("Attending")
                                                   : QStringLiteral("In absentia"));
        }
    }

    void cellsChangeAloneAndOutsideCellsAreEmpty() {
        PackedTextGrid grid(2);
        grid.appendRow();
        grid.appendRow();
        grid.set(0, 0, QStringLiteral("Faculty of Computing"));
        grid.set(1, 0, QStringLiteral("Faculty of Computing"));
        grid.set(0, 0, QStringLiteral("Faculty of Business")); // a shared text, changed in one row
        QCOMPARE(grid.at(0, 0), QStringLiteral("Faculty of Business"));
        QCOMPARE(grid.at(1, 0), QStringLiteral("Faculty of Computing"));
        grid.set(1, 0, QString());
        QCOMPARE(grid.at(1, 0), QString());
        grid.set(2, 0, QStringLiteral("x"));
        grid.set(0, 2, QStringLiteral("x"));
        grid.set(-1, 0, QStringLiteral("x"));
        QCOMPARE(grid.at(2, 0), QString());
        QCOMPARE(grid.at(0, -1), QString());
        grid.clear();
        QCOMPARE(grid.rowCount(), 0);
        QCOMPARE(grid.at(0, 0), QString());
        grid.appendRow();
        grid.set(0, 1, QStringLiteral("Faculty of Computing"));
        QCOMPARE(grid.at(0, 1), QStringLiteral("Faculty of Computing"));
    }

    // A list of many rows keeps its cells and texts in memory cut from large slabs once it
    // outgrows the first pieces; every cell still reads back, and a cleared list starts over.
    void longListsReadBackAndStartOver() {
        PackedTextGrid grid(3);
        const auto id = [](int row) { return QStringLiteral("CV24DIT%1").arg(row, 7, 10, QLatin1Char('0')); };
        for (int round = 0; round < 2; ++round) {
            const int rows = round == 0 ? 400000 : 1000;
            for (int row = 0; row < rows; ++row) {
                grid.appendRow();
                grid.set(row, 0, id(row));
                if (row % 5 == 0)
                    grid.set(row, 2, QStringLiteral("Nur \u00c1isyah %1").arg(row));
            }
            QCOMPARE(grid.rowCount(), rows);
            for (int row = 0; row < rows; row += row % 997 == 0 ? 1 : 13) {
                QCOMPARE(grid.at(row, 0), id(row));
                QCOMPARE(grid.at(row, 1), QString());
                QCOMPARE(grid.at(row, 2),
                         row % 5 == 0 ? QStringLiteral("Nur \u00c1isyah %1").arg(row) : QString());
            }
            grid.clear();
            QCOMPARE(grid.at(0, 0), QString());
        }
    }

    // Values as the screens put them in a list: through their display texts.
    void listShowsValuesAsTheirDisplayTexts() {
        using jet4::Value;
        const std::vector<Value> values{Value::null(),
                                        Value::text(QString()),
                                        Value::text(QStringLiteral("Zulaikh\u0101")),
                                        Value::integer(-2147483647 - 1),
                                        Value::real(0.1),
                                        Value::currency(12345678),
                                        Value::dateTime(45292.5),
                                        Value::boolean(true),
                                        Value::text(QString(300, QChar(u'\u00e9')))};
        ui::ReportListModel model({{QStringLiteral("Value"), Qt::AlignLeft, 1000}});
        for (const Value& value : values)
            model.append(data::displayText(value));
        QCOMPARE(model.rowCount(), int(values.size()));
        for (int row = 0; row < int(values.size()); ++row)
            QCOMPARE(model.data(model.index(row, 0), Qt::DisplayRole).toString(),
                     data::displayText(values[std::size_t(row)]));
        QCOMPARE(model.cell(6, 0), QStringLiteral("2024-01-01 12:00:00"));
        model.removeAll();
        QCOMPARE(model.rowCount(), 0);
    }
};

QTEST_MAIN(PackedTextGridTest)
#include "tst_packed_text_grid.moc"
