#include "frmMenu.h"

#include "modButton.h"
#include "ui/HandlerGuard.h"
#include "ui/PanelFrame.h"
#include "ui/ResourcePaths.h"
#include "ui/Twips.h"
#include "ui/modGeneral.h"

#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <iterator>

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

    // Each button with its caption underneath, which is also the name a screen reader gives it.
    struct Entry {
        const char* button;
        const char* picture;
        const char* label;
        const char* caption;
    };
    const Entry entries[] = {
        {"cmdHome", "home", "Label1", "Home System"},
        {"Command2", "data-manager", "Label2", "Data Manager"},
        {"cmdDelivery", "graduate-list", "Label3", "View Graduate List"},
        {"cmdSearch", "search", "Label4", "Search Graduate"},
        {"cmdStaffReg", "customize", "Label5", "Customize Data"},
        {"cmdRecord", "audio-recorder", "Label7", "Audio Recorder"},
        {"cmdShortname", "print-barcode", "Label6", "Print Barcode"},
        {"Command1", "technical-support", "Label9", "Technical Support"},
    };
    QHash<QByteArray, QPushButton*> buttons;
    for (size_t i = 0; i < std::size(entries); ++i) {
        const Entry& e = entries[i];
        const int left = columnLeft[i % 4];
        const bool firstRow = i < 4;
        QPushButton* button = addPictureButton(Frame1, e.button, left, firstRow ? firstRowTop : secondRowTop,
                                               QString::fromLatin1(e.picture));
        const QString caption = QString::fromLatin1(e.caption);
        button->setAccessibleName(caption);
        addCaption(e.label, left, firstRow ? firstCaptionTop : secondCaptionTop, caption);
        buttons.insert(e.button, button);
    }
    QPushButton* cmdHome = buttons.value("cmdHome");
    QPushButton* Command2 = buttons.value("Command2");
    QPushButton* cmdSearch = buttons.value("cmdSearch");

    // Below the visible area, never seen; the focus lands on txtSetFocus so that no visible
    // button shows a focus mark.
    // They are in the Tab order all the same: a screen reader names them by what they are.
    QPushButton* Command3 = addPictureButton(this, "Command3", 3480, unseenTop, QString());
    Command3->setAccessibleName(QStringLiteral("Spare button"));
    QPushButton* cmdStaffAttend = addPictureButton(this, "cmdStaffAttend", 1320, unseenTop, QString());
    cmdStaffAttend->setAccessibleName(QStringLiteral("Staff Attendance"));
    for (QPushButton* unseen : {Command3, cmdStaffAttend})
        unseen->setAccessibleDescription(QStringLiteral("Not in use"));
    txtSetFocus = new QLineEdit(this);
    txtSetFocus->setObjectName(QStringLiteral("txtSetFocus"));
    txtSetFocus->setGeometry(ui::twipsRect(240, unseenTop, 735, 285));
    setFocusProxy(txtSetFocus);

    tabCycle_.setOrder({txtSetFocus, cmdSearch, buttons.value("cmdRecord"), cmdHome,
                        buttons.value("cmdShortname"), buttons.value("cmdDelivery"),
                        buttons.value("cmdStaffReg"), buttons.value("Command1"), Command2, cmdStaffAttend,
                        Command3});
    ui::enterPressesButtons(*this);

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
