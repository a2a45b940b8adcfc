#include "frmSearch.h"

#include "data/DeskSchema.h"
#include "data/DisplayText.h"
#include "data/SqlText.h"
#include "ui/AppFonts.h"
#include "ui/BusyCursor.h"
#include "ui/FrameCentring.h"
#include "ui/HandlerGuard.h"
#include "ui/PanelFrame.h"
#include "ui/ReportList.h"
#include "ui/ReportListRowNumber.h"
#include "ui/TextBox.h"
#include "ui/Twips.h"
#include "ui/modGeneral.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace convodesk::screens {

namespace {

constexpr int numberDigits = 4;

std::vector<ui::ReportColumn> resultColumns() {
    return {
        {QStringLiteral("ID"), Qt::AlignLeft, 0},
        {QStringLiteral("No."), Qt::AlignHCenter, 600},
        {QStringLiteral("Graduate ID"), Qt::AlignLeft, 1510},
        {QStringLiteral("Name"), Qt::AlignLeft, 4941},
        {QStringLiteral("Program"), Qt::AlignLeft, 5300},
    };
}

} // namespace

frmSearch::frmSearch(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmSearch"));
    setWindowTitle(QStringLiteral("Search"));
    resize(ui::twipsRect(0, 0, 13620, 8970).size());
    ui::paintBackground(*this, QColor(128, 128, 128));
    buildControls();
    setFocusProxy(txtSearch);

    connect(cmdSearch, &QPushButton::clicked, this, &frmSearch::cmdSearch_Click);
    connect(txtSearch, &ui::TextBox::textChanged, this, &frmSearch::txtSearch_Change);
    // Enter in the box presses the search button.
    connect(txtSearch, &ui::TextBox::returnPressed, this, &frmSearch::cmdSearch_Click);
}

frmSearch::~frmSearch() = default;

void frmSearch::buildControls() {
    Frame2 = ui::addPanel(this, "Frame2", ui::twipsRect(240, 240, 13095, 8490), QColor(0, 0, 128));
    Label1 = ui::addPlainLabel(Frame2, "Label1", ui::twipsRect(180, 75, 10935, 375),
                               QStringLiteral("Search - Find and View Graduate's Data"));
    Label1->setFont(ui::layoutFont(QStringLiteral("Myriad Pro Light"), 12, 600));
    Label1->setStyleSheet(QStringLiteral("color: white;"));
    Frame1 = ui::addPanel(Frame2, "Frame1", ui::twipsRect(0, 480, 13095, 7935), QColor(192, 192, 192));

    txtSearch = new ui::TextBox(Frame1);
    txtSearch->setObjectName(QStringLiteral("txtSearch"));
    txtSearch->setGeometry(ui::twipsRect(240, 240, 3705, 630));
    txtSearch->setFont(ui::layoutFont(QStringLiteral("Tahoma"), 21.75));
    txtSearch->setAccessibleName(QStringLiteral("Search text"));

    cmdSearch = new QPushButton(Frame1);
    cmdSearch->setObjectName(QStringLiteral("cmdSearch"));
    cmdSearch->setGeometry(ui::twipsRect(4080, 260, 735, 615));
    cmdSearch->setAccessibleName(QStringLiteral("Search"));

    lvwGraduate = new ui::ReportList(resultColumns(), Frame1);
    lvwGraduate->setObjectName(QStringLiteral("lvwGraduate"));
    lvwGraduate->setGeometry(ui::twipsRect(240, 1150, 12615, 6495));
    lvwGraduate->setFont(ui::layoutFont(QStringLiteral("Tahoma"), 9.75));

    // Tab order: the box, then the list, then the button (the panels and label take no focus).
    setTabOrder(txtSearch, lvwGraduate);
    setTabOrder(lvwGraduate, cmdSearch);
    ui::enterPressesButtons(*this);
}

void frmSearch::Form_Load(const QWidget& mainClientArea) {
    ui::CenterFrame(mainClientArea, *Frame2);
    ui::FrameCentring::keep(*this, *Frame2);
}

void frmSearch::cmdSearch_Click() {
    ui::runHandler([this] {
        SearchGraduates();
        txtSearch->setFocus(Qt::OtherFocusReason);
    });
}

void frmSearch::txtSearch_Change() {
    // Typing alone starts nothing.
}

QString frmSearch::searchQuery(const QString& text) {
    const QString pattern = data::sqlTextLiteral(QStringLiteral("%") + text + QStringLiteral("%"));
    return data::desk::graduateSearchText(pattern);
}

void frmSearch::SearchGraduates() {
    const ui::BusyCursor busy;
    data::OpenTable(db_, data::desk::kGraduateQuery);
    lvwGraduate->removeAll();
    const QString query = searchQuery(txtSearch->text());
    db_.recordset = std::make_shared<data::Recordset>();
    db_.recordset->openQuery(query, db_.connection);

    ui::ReportList::Batch batch(*lvwGraduate);
    long long rowNumber = 0;
    while (!db_.recordset->eof()) {
        const QString number = ui::rowNumberText(++rowNumber, numberDigits);
        const QString id = data::displayText(db_.recordset->field(data::desk::kGraduateId));
        const QString name = data::displayText(db_.recordset->field(data::desk::kName));
        const QString programme = data::displayText(db_.recordset->field(data::desk::kProgramDesc));
        const int row = lvwGraduate->addItem(number);
        lvwGraduate->setSubItemText(row, 1, number);
        lvwGraduate->setSubItemText(row, 2, id);
        lvwGraduate->setSubItemText(row, 3, name);
        lvwGraduate->setSubItemText(row, 4, programme);
        db_.recordset->moveNext();
    }
    db_.recordset->close();
    db_.recordset.reset();
    db_.connection->close();
}

} // namespace convodesk::screens
