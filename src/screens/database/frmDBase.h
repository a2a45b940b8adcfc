#pragma once

#include "data/ScreenDatabase.h"
#include "ui/TabContainer.h"

#include <QPointer>
#include <QWidget>
#include <vector>

class QFrame;
class QLabel;
class QPushButton;

namespace convodesk::ui {
class ReportList;
struct ReportColumn;
} // namespace convodesk::ui

namespace convodesk::screens {

// The Database screen: every graduate in ceremony order and every programme by description,
// on two tabs, filled once when the screen loads. "Edit Data" opens the Add/Edit dialog.
class frmDBase : public QWidget {
    Q_OBJECT
public:
    // `mainWindow` is the window the Add/Edit dialog disables while it is shown.
    explicit frmDBase(QWidget* mainWindow = nullptr, QWidget* parent = nullptr);
    ~frmDBase() override;

    // Centres the navy panel in the main window's client area, then fills both lists. A
    // failure before the first row of a list ends the load there and leaves to the caller.
    void Form_Load(const QWidget& mainClientArea);

    ui::ReportList& graduateList() const { return *lvwGraduate; }
    ui::ReportList& programmeList() const { return *lvwProgramme; }
    QTabWidget& tabs() const { return *SSTab1; }

public slots:
    void cmdEdit_Click();

private:
    void buildControls();
    ui::ReportList* addTabPage(const QString& caption, std::vector<ui::ReportColumn> columns,
                               const char* listName, const QStringList& buttonNames);
    void LoadGraduates();
    void LoadProgrammes();
    void closeAfterRows(bool trapping);

    QPointer<QWidget> mainWindow_;
    data::ScreenDatabase db_;

    QFrame* Frame2 = nullptr;
    QLabel* Label1 = nullptr;
    QFrame* Frame1 = nullptr;
    ui::TabContainer* SSTab1 = nullptr;
    ui::ReportList* lvwGraduate = nullptr;
    ui::ReportList* lvwProgramme = nullptr;
    QPushButton* cmdEdit = nullptr;
};

} // namespace convodesk::screens
