#pragma once

#include "data/ScreenDatabase.h"
#include "ui/TabCycle.h"

#include <QWidget>
#include <memory>

class QFrame;
class QLabel;
class QPushButton;

namespace convodesk::ui {
class TextBox;
}

namespace convodesk::screens {

// The Home screen: a scanner (or the operator) types a 12-character graduate ID; at the twelfth
// character the graduate is looked up and the name and programme are shown on two bands.
class frmHome : public QWidget {
    Q_OBJECT
public:
    explicit frmHome(QWidget* parent = nullptr);
    ~frmHome() override;

    // Opens the Graduate table, then centres the navy panel in the main window's client area.
    // Failures leave to the caller (the panel then stays where it was).
    void Form_Load(const QWidget& mainClientArea);

    // The controls in Tab order.
    QList<QWidget*> tabOrder() const { return tabCycle_.order(); }

    // Texts of the two display bands, for the operator and the tests.
    QString shownName() const;
    QString shownProgramme() const;

public slots:
    void txtStudentID_Change();
    void cmdEnter_Click();
    void cmdReset_Click();
    void chkMuteSound_Click();

protected:
    bool focusNextPrevChild(bool next) override;

private:
    void buildControls();
    // The handlers' work; failures leave through these to the handler entry.
    void enterAction();
    void ShowGraduate();
    void resetAction();

    data::ScreenDatabase db_;
    std::unique_ptr<data::Recordset> lookup_;

    QFrame* Frame2 = nullptr;
    QFrame* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    ui::TextBox* txtStudentID = nullptr;
    QPushButton* cmdEnter = nullptr;
    QPushButton* cmdReset = nullptr;
    QPushButton* cmdShow = nullptr;
    QPushButton* cmdOutput = nullptr;
    QPushButton* chkMuteSound = nullptr;
    QLabel* lblDesc1 = nullptr;
    QLabel* lblDesc2 = nullptr;
    QLabel* lblDesc1Back = nullptr;
    QLabel* lblDesc2Back = nullptr;
    ui::TabCycle tabCycle_;
};

} // namespace convodesk::screens
