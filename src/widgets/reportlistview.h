#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>
#include <QTreeView>

// A column of a report-style list: its header text and its designed width.
struct ReportColumn
{
    QString caption;
    int widthTwips = 0;
};

// The rows of a report-style list: each row is the texts of its columns, kept
// exactly as given. A text never set reads as empty.
class ReportModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ReportModel(QList<ReportColumn> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const QList<ReportColumn>& columns() const { return m_columns; }
    void appendRow(const QStringList& texts);
    void appendRows(const QList<QStringList>& rows);
    void removeRowAt(int row);
    void clear();
    const QStringList& rowTexts(int row) const { return m_rows.at(row); }
    const QList<QStringList>& rows() const { return m_rows; }

private:
    QStringList fitted(const QStringList& texts) const;

    QList<ReportColumn> m_columns;
    QList<QStringList> m_rows;
};

// A report-style list view: column headers, one row per item, whole-row
// selection once enableFullRowSelect() has been called. It keeps each column's
// designed width in twips, which the printed table scales from.
class ReportListView : public QTreeView
{
    Q_OBJECT

public:
    explicit ReportListView(QWidget* parent = nullptr);

    // Gives the list its own rows model with these columns.
    void setColumns(const QList<ReportColumn>& columns);
    // For a list over another model: the designed width of each of its columns.
    void setDesignWidths(const QList<int>& widthsTwips);

    ReportModel* reportModel() const { return m_reportModel; }

    // The list highlights and selects whole rows (on Windows the list view's
    // extended style for full-row selection).
    void enableFullRowSelect();

    int columnCount() const;
    QString columnCaption(int column) const;
    // The width the column has on screen now, in twips: its designed width until
    // the operator drags it.
    float columnWidthTwips(int column) const;

    QList<int> selectedRows() const; // ascending
    int firstSelectedRow() const; // -1 when none is selected

    // The first row, from the top, whose first column begins with the text,
    // letter case ignored (å and Å alike); -1 when there is none.
    int findFirstStartingWith(const QString& text) const;
    // Selects the row alone, without scrolling to it.
    void selectRowWithoutScrolling(int row);
    // Selects the row alone and scrolls it to the top of the list where the
    // list can, so that it and the rows after it are in sight.
    void selectRowInSight(int row);

protected:
    // With no row selected, the first Up or Down selects the row the list
    // stands on (the first row when it stands on none) rather than the one
    // past it, which the operator would never have seen selected.
    void keyPressEvent(QKeyEvent* event) override;

private:
    ReportModel* m_reportModel = nullptr;
    QList<int> m_designWidths;
};

// With no row selected, the first Up or Down selects the row the list stands
// on (the first row when it stands on none) rather than the one past it, which
// the operator would never have seen selected. False when the key is left to
// the list.
bool selectCurrentRowOnFirstStep(QAbstractItemView& list, QKeyEvent* event);
