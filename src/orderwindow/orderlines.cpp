// The order lines: the product picker adds them, the context menu removes them.

#include "frmmain.h"

#include "reportlistview.h"
#include "textbox.h"

#include "datafiles/records.h"
#include "datafiles/textfile.h"
#include "pickers/frmaddproduct.h"
#include "retrieval/messagebox.h"

#include <QItemSelectionModel>

#include <algorithm>

#include <vector>

namespace {

// Removing a line at a time keeps the list where the operator has scrolled it;
// past this many lines the list is rebuilt from the lines that stay, so that
// removing thousands of lines does not redo the totals thousands of times.
constexpr int linesRemovedOneByOne = 64;

std::vector<bool> selectedLines(const ReportListView* list, int lineCount)
{
    std::vector<bool> selected(size_t(lineCount), false);
    for (const QItemSelectionRange& range : list->selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            selected[size_t(row)] = true;
    }
    return selected;
}

} // namespace

void FrmMain::RemoveSelectedLines()
{
    ReportModel* lines = m_ListView1->reportModel();
    const std::vector<bool> selected = selectedLines(m_ListView1, lines->rowCount());
    const auto count = std::count(selected.begin(), selected.end(), true);
    if (count == 0)
        return;

    if (count <= linesRemovedOneByOne) {
        for (int row = lines->rowCount() - 1; row >= 0; --row) {
            if (selected[size_t(row)])
                lines->removeRowAt(row);
        }
    } else {
        QList<QStringList> kept;
        for (int row = 0; row < lines->rowCount(); ++row) {
            if (!selected[size_t(row)])
                kept.append(lines->rowTexts(row));
        }
        lines->clear();
        lines->appendRows(kept);
    }

    const std::optional<QString> basket = m_data.basketFile(m_txt_OrderNr->text());
    QByteArray records;
    for (const QStringList& line : lines->rows())
        records += datafiles::quotedRecord(line);
    if (!basket || !datafiles::replaceFile(*basket, records).isEmpty())
        MessageBox::showErrorBox(this, QStringLiteral("1033,87"));
}

void FrmMain::mnuVisa_Produkter_Click()
{
    showSingle(m_frmAddProduct, [this] { return FrmAddProduct::open(*this); });
}

void FrmMain::mnuPlus_Click()
{
    mnuVisa_Produkter_Click();
}

void FrmMain::mnuMinus_Click()
{
    RemoveSelectedLines();
}
