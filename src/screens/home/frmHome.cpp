#include "frmHome.h"

#include "data/DeskSchema.h"
#include "data/DisplayText.h"
#include "data/SqlText.h"
#include "ui/AppFonts.h"
#include "ui/BandLabel.h"
#include "ui/BusyCursor.h"
#include "ui/FrameCentring.h"
#include "ui/HandlerGuard.h"
#include "ui/PanelFrame.h"
#include "ui/ResourcePaths.h"
#include "ui/SyntheticKeys.h"
#include "ui/TextBox.h"
#include "ui/Twips.h"
#include "ui/modGeneral.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace convodesk::screens {

namespace {

constexpr double waitBeforeBackspace = 0.1;
constexpr double smallestBandPoints = 12;
const QString sampleName = QStringLiteral("NUR AISYAH BINTI KAMARUDDIN");
const QString sampleProgramme = QStringLiteral("Diploma Teknologi Penyejukbekuan dan Penyaman Udara");

// Leading and trailing spaces go; other white space (a tab) stays.
QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}

// `tooltip` keeps its blanks; a screen reader names the button by the words alone.
QPushButton* addIconButton(QWidget* container, const char* name, int leftTwips, const QString& tooltip,
                           const QString& accessibleName) {
    auto* button = new QPushButton(container);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(ui::twipsRect(leftTwips, 1560, 650, 495));
    button->setToolTip(tooltip);
    button->setAccessibleName(accessibleName);
    button->setIconSize(QSize(28, 28));
    ui::makePictureButton(*button);
    return button;
}

// A long text is shown smaller rather than cut: the name within one line, the programme
// within two, down to 12 points.
QLabel* addBandText(QWidget* container, const char* name, const QRect& geometry, const QString& text,
                    int preferredLines) {
    auto* label = new ui::BandLabel(container);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setFont(ui::layoutFont(QStringLiteral("Myriad Pro"), 24));
    label->setFitting(preferredLines, smallestBandPoints);
    label->setText(text);
    return label;
}

QIcon smallIcon(const char* name) {
    return QIcon(resources::picturePath(QStringLiteral("small/%1.png").arg(QLatin1String(name))));
}

} // namespace

frmHome::frmHome(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmHome"));
    setWindowTitle(QStringLiteral("Home"));
    resize(ui::twipsRect(0, 0, 11880, 6735).size());
    ui::paintBackground(*this, QColor(128, 128, 128));
    buildControls();
    setFocusProxy(txtStudentID);

    connect(txtStudentID, &ui::TextBox::textChanged, this, &frmHome::txtStudentID_Change);
    connect(cmdEnter, &QPushButton::clicked, this, &frmHome::cmdEnter_Click);
    connect(cmdReset, &QPushButton::clicked, this, &frmHome::cmdReset_Click);
    connect(chkMuteSound, &QPushButton::clicked, this, &frmHome::chkMuteSound_Click);
}

frmHome::~frmHome() = default;

void frmHome::buildControls() {
    Frame2 = ui::addPanel(this, "Frame2", ui::twipsRect(240, 240, 10935, 5850), QColor(0, 0, 128));
    Label1 = ui::addPlainLabel(Frame2, "Label1", ui::twipsRect(180, 75, 7695, 375),
                               QStringLiteral("Home - Scan Barcode & View on Output Screen"));
    Label1->setFont(ui::layoutFont(QStringLiteral("Myriad Pro Light"), 12, 600));
    Label1->setStyleSheet(QStringLiteral("color: white;"));
    Label1->setWordWrap(true);

    Frame1 = ui::addPanel(Frame2, "Frame1", ui::twipsRect(0, 480, 10935, 5295), QColor(192, 192, 192));

    // The bands first, so that the texts lie over them.
    lblDesc1Back = ui::addPlainLabel(Frame1, "lblDesc1Back", ui::twipsRect(0, 2520, 10935, 675), QString());
    ui::paintBackground(*lblDesc1Back, QColor(64, 64, 64));
    lblDesc2Back = ui::addPlainLabel(Frame1, "lblDesc2Back", ui::twipsRect(0, 3240, 10935, 1245), QString());
    ui::paintBackground(*lblDesc2Back, QColor(0, 0, 64));

    lblDesc1 = addBandText(Frame1, "lblDesc1", ui::twipsRect(0, 2535, 10935, 675), sampleName, 1);
    QPalette white = lblDesc1->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    lblDesc1->setPalette(white);
    lblDesc2 = addBandText(Frame1, "lblDesc2", ui::twipsRect(600, 3240, 9735, 1215), sampleProgramme, 2);
    lblDesc2->setForegroundRole(QPalette::HighlightedText);

    // A box of our own: a pasted megabyte still shows its end, and a key costs no more than
    // in an empty box.
    txtStudentID = new ui::TextBox(Frame1);
    txtStudentID->setObjectName(QStringLiteral("txtStudentID"));
    txtStudentID->setGeometry(ui::twipsRect(3600, 830, 3705, 630));
    txtStudentID->setFont(ui::layoutFont(QStringLiteral("Tahoma"), 21.75));
    txtStudentID->setAccessibleName(QStringLiteral("Student ID"));

    cmdEnter = addIconButton(Frame1, "cmdEnter", 3840, QStringLiteral(" Submit Data "),
                             QStringLiteral("Submit Data"));
    cmdEnter->setIcon(smallIcon("return"));
    cmdReset = addIconButton(Frame1, "cmdReset", 4500, QStringLiteral(" Refresh Text Box "),
                             QStringLiteral("Refresh Text Box"));
    cmdReset->setIcon(smallIcon("refresh"));
    cmdShow = addIconButton(Frame1, "cmdShow", 5150, QStringLiteral(" Show Data on Output Screen "),
                            QStringLiteral("Show Data on Output Screen"));
    cmdShow->setIcon(smallIcon("tick-box"));
    cmdOutput = addIconButton(Frame1, "cmdOutput", 5800, QStringLiteral(" Clear Output Screen "),
                              QStringLiteral("Clear Output Screen"));
    cmdOutput->setIcon(smallIcon("cross-box"));
    chkMuteSound = addIconButton(Frame1, "chkMuteSound", 6440, QString(), QStringLiteral("Mute Sound"));
    chkMuteSound->setCheckable(true);
    QIcon speaker;
    speaker.addFile(resources::picturePath(QStringLiteral("small/speaker.png")), QSize(), QIcon::Normal,
                    QIcon::Off);
    speaker.addFile(resources::picturePath(QStringLiteral("small/speaker-muted.png")), QSize(), QIcon::Normal,
                    QIcon::On);
    chkMuteSound->setIcon(speaker);

    tabCycle_.setOrder({cmdEnter, cmdReset, cmdShow, cmdOutput, chkMuteSound, txtStudentID});
    ui::enterPressesButtons(*this);
}

QString frmHome::shownName() const {
    return lblDesc1->text();
}

QString frmHome::shownProgramme() const {
    return lblDesc2->text();
}

void frmHome::Form_Load(const QWidget& mainClientArea) {
    data::OpenTable(db_, data::desk::kGraduateQuery);
    ui::CenterFrame(mainClientArea, *Frame2);
    ui::FrameCentring::keep(*this, *Frame2);
}

void frmHome::txtStudentID_Change() {
    ui::runHandler([this] {
        if (txtStudentID->text().size() == data::desk::kGraduateIdLength)
            enterAction();
    });
}

void frmHome::cmdEnter_Click() {
    ui::runHandler([this] { enterAction(); });
}

void frmHome::cmdReset_Click() {
    ui::runHandler([this] { resetAction(); });
}

void frmHome::chkMuteSound_Click() {
    ui::runHandler([this] { txtStudentID->setFocus(Qt::OtherFocusReason); });
}

void frmHome::enterAction() {
    ShowGraduate();
    txtStudentID->setFocus(Qt::OtherFocusReason);
    ui::WaitSeconds(waitBeforeBackspace);
    ui::postBackspace();
}

void frmHome::ShowGraduate() {
    // The ID goes in as a literal with its quotes doubled: it is matched exactly as typed.
    const QString query = data::desk::graduateLookupText(data::sqlTextLiteral(txtStudentID->text()));
    const ui::BusyCursor busy;
    lookup_ = std::make_unique<data::Recordset>();
    lookup_->openQuery(query, db_.connectionText);
    if (!lookup_->eof()) {
        // Both texts come from the same row before either label changes; Null shows as empty.
        const QString name = trimBlanks(data::displayText(lookup_->field(data::desk::kName)));
        const QString programme = trimBlanks(data::displayText(lookup_->field(data::desk::kProgramDesc)));
        lblDesc1->setText(name);
        lblDesc2->setText(programme);
    }
    lookup_->close();
    lookup_.reset();
}

void frmHome::resetAction() {
    txtStudentID->setText(QString());
    lblDesc1->setText(QString());
    lblDesc2->setText(QString());
    txtStudentID->setFocus(Qt::OtherFocusReason);
}

bool frmHome::focusNextPrevChild(bool next) {
    return tabCycle_.moveFocus(next);
}

} // namespace convodesk::screens
