#pragma once

#include <QList>
#include <QTableView>

// A report-style list for long lists (the product register's million rows):
// column headers, one row per item, whole rows selected, as ReportListView
// shows them, but laid out without a per-row item, so that listing a new
// search result of a million rows costs no more than a few.
class ReportTableView : public QTableView
{
    Q_OBJECT

public:
    explicit ReportTableView(QWidget* parent = nullptr);

    // The designed width of each column, in twips.
    void setDesignWidths(const QList<int>& widthsTwips);
    int firstSelectedRow() const; // -1 when none is selected

protected:
    // With no row selected, the first Up or Down selects the row the list
    // stands on (the first row when it stands on none), as in ReportListView.
    void keyPressEvent(QKeyEvent* event) override;
};
