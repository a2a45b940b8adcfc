#include "frmDBase.h"

#include "data/DeskSchema.h"
#include "data/DisplayText.h"
#include "frmAddEdit.h"
#include "ui/AppFonts.h"
#include "ui/BusyCursor.h"
#include "ui/FrameCentring.h"
#include "ui/HandlerGuard.h"
#include "ui/PanelFrame.h"
#include "ui/ReportList.h"
#include "ui/ReportListRowNumber.h"
#include "ui/TabContainer.h"
#include "ui/Twips.h"
#include "ui/modGeneral.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <array>

namespace convodesk::screens {

namespace {

constexpr int graduateDigits = 4;
constexpr int programmeDigits = 3;
const QString noPhoneText = QStringLiteral("No H/P Number");

std::vector<ui::ReportColumn> graduateColumns() {
    return {
        {QStringLiteral("ID"), Qt::AlignLeft, 0},
        {QStringLiteral("No."), Qt::AlignHCenter, 600},
        {QStringLiteral("Graduate ID"), Qt::AlignLeft, 1510},
        {QStringLiteral("Name"), Qt::AlignLeft, 4941},
        {QStringLiteral("Program"), Qt::AlignHCenter, 1000},
        {QStringLiteral("Faculty"), Qt::AlignHCenter, 800},
        {QStringLiteral("Status"), Qt::AlignHCenter, 750},
        {QStringLiteral("Audio"), Qt::AlignHCenter, 720},
        {QStringLiteral("Handphone"), Qt::AlignLeft, 0},
    };
}

std::vector<ui::ReportColumn> programmeColumns() {
    return {
        {QStringLiteral("ID"), Qt::AlignLeft, 0},
        {QStringLiteral("No."), Qt::AlignHCenter, 600},
        {QStringLiteral("Code"), Qt::AlignLeft, 1510},
        {QStringLiteral("Descriptions"), Qt::AlignLeft, 7000},
        {QStringLiteral("Faculty"), Qt::AlignLeft, 1200},
    };
}

// Runs one step of a loader. Before the loader has added its first row a failure leaves it;
// from then on a failing step is abandoned and the loader goes on with the next one.
template <class Step> bool step(bool trapping, Step&& work) {
    if (!trapping) {
        work();
        return true;
    }
    try {
        work();
        return true;
    } catch (...) {
        return false;
    }
}

// The display texts of the first N of `names` in the current row, read as one step each: a
// field that cannot be read (a failing step) shows empty. Fields are found by name once, at the
// first read.
template <std::size_t N> struct FieldTexts {
    template <std::size_t M>
    FieldTexts(data::Recordset& recordset, const std::array<QStringView, M>& fieldNames) : rows(recordset) {
        static_assert(N <= M);
        std::copy_n(fieldNames.begin(), N, names.begin());
        indexes.fill(-1);
    }

    void read(bool trapping) {
        for (std::size_t i = 0; i < N; ++i) {
            texts[i].resize(0);
            step(trapping, [&] {
                if (indexes[i] < 0)
                    indexes[i] = rows.fieldIndex(names[i].toString());
                const QStringView text = rows.fieldText(indexes[i]);
                texts[i].resize(text.size());
                std::copy(text.begin(), text.end(), texts[i].begin());
            });
        }
    }

    data::Recordset& rows;
    std::array<QStringView, N> names;
    std::array<int, N> indexes{};
    std::array<QString, N> texts;
};

} // namespace

frmDBase::frmDBase(QWidget* mainWindow, QWidget* parent) : QWidget(parent), mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("frmDBase"));
    setWindowTitle(QStringLiteral("Database"));
    resize(ui::twipsRect(0, 0, 13590, 8970).size());
    ui::paintBackground(*this, QColor(128, 128, 128));
    buildControls();
    setFocusProxy(SSTab1);
    ui::enterPressesButtons(*this);
    connect(cmdEdit, &QPushButton::clicked, this, &frmDBase::cmdEdit_Click);
}

frmDBase::~frmDBase() = default;

void frmDBase::buildControls() {
    Frame2 = ui::addPanel(this, "Frame2", ui::twipsRect(240, 240, 13095, 8490), QColor(0, 0, 128));
    Label1 = ui::addPlainLabel(Frame2, "Label1", ui::twipsRect(180, 75, 10935, 375),
                               QStringLiteral("Database - Manage Graduate Data: Add/Edit/Delete"));
    Label1->setFont(ui::layoutFont(QStringLiteral("Myriad Pro Light"), 12, 600));
    Label1->setStyleSheet(QStringLiteral("color: white;"));
    Frame1 = ui::addPanel(Frame2, "Frame1", ui::twipsRect(0, 480, 13095, 7935), QColor(192, 192, 192));

    SSTab1 = new ui::TabContainer(Frame1);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->setGeometry(ui::twipsRect(240, 240, 12615, 7455));
    SSTab1->setFont(ui::layoutFont(QStringLiteral("Tahoma"), 9.75));
    SSTab1->setDocumentMode(false);

    lvwGraduate =
        addTabPage(QStringLiteral("Graduate's Data"), graduateColumns(), "lvwGraduate",
                   {QStringLiteral("cmdEdit"), QStringLiteral("Command2"), QStringLiteral("Command3"),
                    QStringLiteral("Command4"), QStringLiteral("Command5")});
    lvwProgramme =
        addTabPage(QStringLiteral("Programme's Data"), programmeColumns(), "lvwProgramme",
                   {QStringLiteral("Command10"), QStringLiteral("Command9"), QStringLiteral("Command8"),
                    QStringLiteral("Command7"), QStringLiteral("Command6")});
    cmdEdit = SSTab1->findChild<QPushButton*>(QStringLiteral("cmdEdit"));
    cmdEdit->setText(QStringLiteral("Edit Data"));
    SSTab1->setCurrentIndex(0);

    QList<QWidget*> order{SSTab1};
    for (const char* name : {"Command6", "Command7", "Command8", "Command9", "Command10", "Command5",
                             "Command4", "Command3", "Command2", "cmdEdit"})
        order << SSTab1->findChild<QPushButton*>(QString::fromLatin1(name));
    order << lvwGraduate << lvwProgramme;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

ui::ReportList* frmDBase::addTabPage(const QString& caption, std::vector<ui::ReportColumn> columns,
                                     const char* listName, const QStringList& buttonNames) {
    QWidget* page = SSTab1->addPage(caption);
    // The layout places the tab's controls relative to the whole tabbed container.
    const auto onPage = [this](double left, double top, double width, double height) {
        return SSTab1->onPage(ui::twipsRect(left, top, width, height));
    };

    auto* list = new ui::ReportList(std::move(columns), page);
    list->setObjectName(QString::fromLatin1(listName));
    list->setGeometry(onPage(360, 840, 10575, 6255));
    list->setFont(ui::layoutFont(QStringLiteral("Tahoma"), 9.75));

    double top = 840;
    for (const QString& name : buttonNames) {
        auto* button = new QPushButton(QStringLiteral("Command1"), page);
        button->setObjectName(name);
        button->setGeometry(onPage(11160, top, 1215, 975));
        top += 960;
    }
    return list;
}

void frmDBase::Form_Load(const QWidget& mainClientArea) {
    ui::CenterFrame(mainClientArea, *Frame2);
    ui::FrameCentring::keep(*this, *Frame2);
    const ui::BusyCursor busy;
    LoadGraduates();
    LoadProgrammes();
}

void frmDBase::cmdEdit_Click() {
    ui::runHandler([this] { frmAddEdit::open(mainWindow_ ? mainWindow_->window() : window()); });
}

void frmDBase::LoadGraduates() {
    data::OpenTable(db_, data::desk::kGraduatesTable);
    lvwGraduate->removeAll();
    db_.recordset = std::make_shared<data::Recordset>();
    db_.recordset->openQuery(data::desk::kGraduatesInQueueOrder, db_.connection);

    ui::ReportList::Batch batch(*lvwGraduate);
    // The fields shown, in the order the header lists them; their texts are kept from row to row.
    FieldTexts<8> values(*db_.recordset, data::desk::kGraduatesFieldsUsed);
    const auto& [id, name, ic, programme, faculty, phone, status, audio] = values.texts;
    QString number;
    bool trapping = false;
    long long rowNumber = 0;
    for (;;) {
        bool atEnd = true;
        if (!step(trapping, [&] { atEnd = values.rows.eof(); }) || atEnd)
            break;
        ui::writeRowNumberText(number, ++rowNumber, graduateDigits);
        values.read(trapping);
        trapping = true;
        const int row = lvwGraduate->addItem(ic);
        for (const auto& [index, text] : {std::pair<int, const QString*>{1, &number},
                                          {2, &id},
                                          {3, &name},
                                          {4, &programme},
                                          {5, &faculty},
                                          {6, &status},
                                          {7, &audio},
                                          {8, &phone}})
            lvwGraduate->setSubItemText(row, index, *text);
        if (phone.isEmpty())
            lvwGraduate->setSubItemText(row, 8, noPhoneText);
        if (!step(trapping, [&] { values.rows.moveNext(); }))
            break;
    }
    closeAfterRows(trapping);
}

void frmDBase::LoadProgrammes() {
    lvwProgramme->removeAll();
    data::OpenTable(db_, data::desk::kProgrammeTable);
    db_.recordset = std::make_shared<data::Recordset>();
    db_.recordset->openQuery(data::desk::kProgrammesInDescOrder, db_.connection);

    ui::ReportList::Batch batch(*lvwProgramme);
    FieldTexts<3> values(*db_.recordset, data::desk::kProgrammeFieldsUsed);
    QString number;
    bool trapping = false;
    long long rowNumber = 0;
    for (;;) {
        bool atEnd = true;
        if (!step(trapping, [&] { atEnd = values.rows.eof(); }) || atEnd)
            break;
        ++rowNumber;
        values.read(trapping);
        ui::writeRowNumberText(number, rowNumber, programmeDigits);
        trapping = true;
        const int row = lvwProgramme->addItem(number);
        lvwProgramme->setSubItemText(row, 1, number);
        for (int i = 0; i < 3; ++i)
            lvwProgramme->setSubItemText(row, 2 + i, values.texts[std::size_t(i)]);
        if (!step(trapping, [&] { values.rows.moveNext(); }))
            break;
    }
    closeAfterRows(trapping);
}

void frmDBase::closeAfterRows(bool trapping) {
    step(trapping, [this] { db_.recordset->close(); });
    db_.recordset.reset();
    step(trapping, [this] { db_.connection->close(); });
}

} // namespace convodesk::screens
