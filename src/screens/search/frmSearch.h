#pragma once

#include "data/ScreenDatabase.h"

#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;

namespace convodesk::ui {
class ReportList;
}

namespace convodesk::ui {
class TextBox;
}

namespace convodesk::screens {

// The Search screen: every graduate whose name, ID or programme holds the typed text, in
// ceremony order and numbered from "0001". The database is read only when a search runs.
class frmSearch : public QWidget {
    Q_OBJECT
public:
    explicit frmSearch(QWidget* parent = nullptr);
    ~frmSearch() override;

    // Centres the navy panel in the main window's client area; the list stays empty.
    void Form_Load(const QWidget& mainClientArea);

    // The query text a search for `text` runs (the text goes in as literals, quotes doubled;
    // "%" and "_" keep their wildcard meaning).
    static QString searchQuery(const QString& text);

    ui::ReportList& resultList() const { return *lvwGraduate; }

public slots:
    void cmdSearch_Click();
    void txtSearch_Change();

private:
    void buildControls();
    void SearchGraduates();

    data::ScreenDatabase db_;

    QFrame* Frame2 = nullptr;
    QLabel* Label1 = nullptr;
    QFrame* Frame1 = nullptr;
    ui::TextBox* txtSearch = nullptr;
    QPushButton* cmdSearch = nullptr;
    ui::ReportList* lvwGraduate = nullptr;
};

} // namespace convodesk::screens
