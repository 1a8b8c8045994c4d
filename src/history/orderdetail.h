#pragma once

#include "order/archive.h"
#include "order/orderstatus.h"
#include "order/registers.h"

#include <QList>
#include <QWidget>

class ReportListView;
class ValueLabel;

// The history's detail pane: one printed order as its own files hold it (the
// customer, the head with its codes in their wording, the lines and the
// totals), what is wrong with those files, and the order's state with the log
// of its changes. It only shows; the history chooses what.
class OrderDetail : public QWidget
{
    Q_OBJECT

public:
    explicit OrderDetail(QWidget* parent = nullptr);

    void showOrder(const core::ArchivedOrder& archived, const core::CodeWording& wording);
    void showStatus(core::OrderState state, const QList<core::StatusChange>& changes);
    void clear();

private:
    ValueLabel* m_lblKund = nullptr;
    ValueLabel* m_lblInfo = nullptr;
    QList<ValueLabel*> m_headValues;
    ReportListView* m_lvwOrderrader = nullptr;
    ValueLabel* m_lblExklMoms = nullptr;
    ValueLabel* m_lblMomsProcent = nullptr;
    ValueLabel* m_lblMomsKr = nullptr;
    ValueLabel* m_lblAttBetala = nullptr;
    ValueLabel* m_lblProblem = nullptr;
    ValueLabel* m_lblStatus = nullptr;
    ReportListView* m_lvwStatuslogg = nullptr;
};
