#include "frmMenu.h"

#include "HandlerGuard.h"
#include "PanelFrame.h"
#include "ResourcePaths.h"
#include "Twips.h"
#include "modButton.h"
#include "modGeneral.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace convodesk::app {

namespace {

constexpr int panelWidth = 9135;
constexpr int panelHeight = 5850;
constexpr int buttonSize = 2175;
constexpr int captionHeight = 375;
constexpr int firstRowTop = 240;
constexpr int secondRowTop = 3000;
constexpr int firstCaptionTop = 2520;
constexpr int secondCaptionTop = 5280;
constexpr int unseenTop = 6720;
constexpr int columnLeft[] = {240, 2400, 4560, 6720};

} // namespace

frmMenu::frmMenu(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmMenu"));
    setFixedSize(ui::twipsRect(0, 0, panelWidth, panelHeight).size());
    ui::paintBackground(*this, QColor(224, 224, 224));

    Frame2 = ui::addPanel(this, "Frame2", ui::twipsRect(0, 0, panelWidth, panelHeight), QColor(0, 0, 128));
    Frame1 = ui::addPanel(this, "Frame1", ui::twipsRect(0, 98, panelWidth, 5655), QColor(192, 192, 192));

    QPushButton* cmdHome = addPictureButton(Frame1, "cmdHome", columnLeft[0], firstRowTop, "home");
    QPushButton* Command2 = addPictureButton(Frame1, "Command2", columnLeft[1], firstRowTop, "data-manager");
    QPushButton* cmdDelivery =
        addPictureButton(Frame1, "cmdDelivery", columnLeft[2], firstRowTop, "graduate-list");
    QPushButton* cmdSearch = addPictureButton(Frame1, "cmdSearch", columnLeft[3], firstRowTop, "search");
    QPushButton* cmdStaffReg =
        addPictureButton(Frame1, "cmdStaffReg", columnLeft[0], secondRowTop, "customize");
    QPushButton* cmdRecord =
        addPictureButton(Frame1, "cmdRecord", columnLeft[1], secondRowTop, "audio-recorder");
    QPushButton* cmdShortname =
        addPictureButton(Frame1, "cmdShortname", columnLeft[2], secondRowTop, "print-barcode");
    QPushButton* Command1 =
        addPictureButton(Frame1, "Command1", columnLeft[3], secondRowTop, "technical-support");

    addCaption("Label1", columnLeft[0], firstCaptionTop, QStringLiteral("Home System"));
    addCaption("Label2", columnLeft[1], firstCaptionTop, QStringLiteral("Data Manager"));
    addCaption("Label3", columnLeft[2], firstCaptionTop, QStringLiteral("View Graduate List"));
    addCaption("Label4", columnLeft[3], firstCaptionTop, QStringLiteral("Search Graduate"));
    addCaption("Label5", columnLeft[0], secondCaptionTop, QStringLiteral("Customize Data"));
    addCaption("Label7", columnLeft[1], secondCaptionTop, QStringLiteral("Audio Recorder"));
    addCaption("Label6", columnLeft[2], secondCaptionTop, QStringLiteral("Print Barcode"));
    addCaption("Label9", columnLeft[3], secondCaptionTop, QStringLiteral("Technical Support"));

    // Below the visible area, never seen; the focus lands on txtSetFocus so that no visible
    // button shows a focus mark.
    QPushButton* Command3 = addPictureButton(this, "Command3", 3480, unseenTop, QString());
    QPushButton* cmdStaffAttend = addPictureButton(this, "cmdStaffAttend", 1320, unseenTop, QString());
    txtSetFocus = new QLineEdit(this);
    txtSetFocus->setObjectName(QStringLiteral("txtSetFocus"));
    txtSetFocus->setGeometry(ui::twipsRect(240, unseenTop, 735, 285));
    setFocusProxy(txtSetFocus);

    tabCycle_.setOrder({txtSetFocus, cmdSearch, cmdRecord, cmdHome, cmdShortname, cmdDelivery, cmdStaffReg,
                        Command1, Command2, cmdStaffAttend, Command3});

    connect(cmdHome, &QPushButton::clicked, this, &frmMenu::cmdHome_Click);
    connect(Command2, &QPushButton::clicked, this, &frmMenu::Command2_Click);
    connect(cmdSearch, &QPushButton::clicked, this, &frmMenu::cmdSearch_Click);
}

QPushButton* frmMenu::addPictureButton(QWidget* container, const char* name, int leftTwips, int topTwips,
                                       const QString& picture) {
    auto* button = new QPushButton(container);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(ui::twipsRect(leftTwips, topTwips, buttonSize, buttonSize));
    ui::makePictureButton(*button);
    if (!picture.isEmpty()) {
        const QPixmap pixmap(resources::picturePath(QStringLiteral("buttons/%1.png").arg(picture)));
        button->setIcon(QIcon(pixmap));
        button->setIconSize(pixmap.size());
    }
    return button;
}

void frmMenu::addCaption(const char* name, int leftTwips, int topTwips, const QString& caption) {
    auto* label = new QLabel(caption, Frame1);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(ui::twipsRect(leftTwips, topTwips, buttonSize, captionHeight));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}

void frmMenu::Form_Initialize(const QWidget& mainClientArea, QWidget& panelWindow) {
    ui::CenterForm(mainClientArea, panelWindow);
}

void frmMenu::cmdHome_Click() {
    ui::runHandler(ShowHome);
}

void frmMenu::Command2_Click() {
    ui::runHandler(ShowDatabase);
}

void frmMenu::cmdSearch_Click() {
    ui::runHandler(ShowSearch);
}

bool frmMenu::focusNextPrevChild(bool next) {
    return tabCycle_.moveFocus(next);
}

} // namespace convodesk::app
