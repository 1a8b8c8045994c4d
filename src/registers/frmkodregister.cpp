#include "frmkodregister.h"

#include "recordform.h"

#include "order/registerediting.h"
#include "widgets/look.h"
#include "widgets/messagebox.h"
#include "widgets/reportlistview.h"
#include "widgets/reporttableview.h"
#include "widgets/twips.h"

#include <QLabel>

namespace {

struct Instance
{
    const char* objectName;
    const char* title;
};

const Instance& instanceOf(core::CodeRegister which)
{
    static const Instance instances[] = { { "frmBetkRegister", "Betalningsvillkor" },
                                          { "frmLevSRegister", "Leveranssätt" },
                                          { "frmFrktsRegister", "Fraktsätt" } };
    return instances[size_t(which)];
}

// The code "Ny" puts into every new order.
const QString standingCode = QStringLiteral("0");

} // namespace

FrmKodregister* FrmKodregister::open(const datafiles::DataDirectory& data, Register which, QWidget* parent)
{
    core::EditableRegister read = core::readEditableCodes(data, which);
    if (read.failure) {
        MessageBox::reportFailure(parent, *read.failure);
        return nullptr;
    }
    auto* window = new FrmKodregister(data, which, std::move(read.records));
    if (read.cutShort)
        MessageBox::reportFailure(parent, core::cutRecordWillBeDropped(*read.cutShort));
    return window;
}

FrmKodregister::FrmKodregister(datafiles::DataDirectory data, Register which, datafiles::RecordTable codes)
    : RegisterWindow({ instanceOf(which).objectName, QString::fromUtf8(instanceOf(which).title),
                       QString::fromUtf8(instanceOf(which).title), QStringLiteral("&Ny"), false })
    , m_data(std::move(data))
    , m_which(which)
    , m_codes(std::move(codes))
{
    m_codesShown = new ReportModel({ { QStringLiteral("ID"), 800 }, { QStringLiteral("Beskrivning"), 4000 } }, this);
    m_list->setModel(m_codesShown);
    m_list->setDesignWidths({ 800, 4000 });
    showCodes();
    resize(twipsToPixels(7200), twipsToPixels(4695));
    look::placeOnScreen(*this, size());
}

void FrmKodregister::showCodes()
{
    ReportModel* model = m_codesShown;
    model->clear();
    QList<QStringList> rows;
    for (qsizetype r = 0; r < m_codes.recordCount(); ++r)
        rows.append(m_codes.record(r));
    model->appendRows(rows);
}

void FrmKodregister::reload()
{
    core::EditableRegister read = core::readEditableCodes(m_data, m_which);
    if (read.failure) {
        MessageBox::reportFailure(this, *read.failure);
        return;
    }
    m_codes = std::move(read.records);
    showCodes();
}

void FrmKodregister::cmdNy_Click()
{
    openForm(-1);
}

void FrmKodregister::cmdAndra_Click()
{
    const int row = chosenRow();
    if (row < 0) {
        MessageBox::show(this, MessageBox::Icon::Information, {}, QStringLiteral("Välj först en rad i listan."));
        return;
    }
    openForm(row);
}

void FrmKodregister::openForm(int row)
{
    const QList<RecordForm::Field> fields { { QStringLiteral("&ID"), "txtID", 1 },
                                            { QStringLiteral("&Beskrivning"), "txtBeskrivning" } };
    const QStringList texts = row < 0 ? QStringList() : m_codes.record(row);
    auto* form = new RecordForm(this, windowTitle(), fields, texts, row < 0 ? 0 : 1,
                                [this, row](const QStringList& typed) { return save(typed, row); });
    form->setObjectName(QStringLiteral("frmKod"));
    form->show();
    form->activateWindow();
}

bool FrmKodregister::save(const QStringList& texts, int row)
{
    auto refuse = [this](const QString& reason) {
        MessageBox::show(this, MessageBox::Icon::Information, windowTitle(),
                         QStringLiteral("Raden kan inte sparas: %1.").arg(reason));
        return false;
    };
    const QString& id = texts.at(0);
    // A longer ID already in the register may stay as it is.
    if (row < 0 || id != m_codes.field(row, 0)) {
        if (const QString problem = core::codeProblem(id); !problem.isEmpty())
            return refuse(problem);
        for (qsizetype r = 0; r < m_codes.recordCount(); ++r) {
            if (r != row && m_codes.field(r, 0).compare(id, Qt::CaseInsensitive) == 0)
                return refuse(core::codeTaken(m_codes.field(r, 0)));
        }
    }
    if (const QString problem = datafiles::recordTextProblem(texts.at(1)); !problem.isEmpty())
        return refuse(problem);
    datafiles::RecordChanges changes;
    if (row < 0)
        changes.added.append(texts);
    else
        changes.replaced[row] = texts;
    if (!saveChanges(changes, QStringLiteral("spara kod %1 i %2").arg(id, windowTitle().toLower())))
        return false;
    chooseRow(row < 0 ? int(m_codes.recordCount()) - 1 : row);
    return true;
}

bool FrmKodregister::saveChanges(const datafiles::RecordChanges& changes, const QString& operation)
{
    core::RegisterSaved saved = core::saveRegister(core::registerFile(m_data, m_which), m_codes, changes, operation);
    if (saved.failure) {
        MessageBox::reportFailure(this, *saved.failure);
        if (saved.failure->is(datafiles::FailureKind::ChangedSinceRead))
            reload();
        return false;
    }
    m_codes = std::move(saved.records);
    showCodes();
    return true;
}

void FrmKodregister::cmdTaBort_Click()
{
    const int row = chosenRow();
    if (row < 0) {
        MessageBox::show(this, MessageBox::Icon::Information, {}, QStringLiteral("Välj först en rad i listan."));
        return;
    }
    const QStringList texts = m_codes.record(row);
    QString question = QStringLiteral("Ta bort %1, %2?").arg(texts.at(0), texts.at(1));
    if (texts.at(0) == standingCode)
        question = QStringLiteral("Koden 0 är den som \"Ny\" sätter i varje ny order. Utan den i registret visar "
                                  "väljaren ingen rad för en ny order.\r\n\r\n")
            + question;
    if (!MessageBox::ask(this, QStringLiteral("Ta bort rad"), question))
        return;
    datafiles::RecordChanges changes;
    changes.removed.insert(row);
    if (saveChanges(changes, QStringLiteral("ta bort kod %1 ur %2").arg(texts.at(0), windowTitle().toLower())))
        chooseRow(std::min(row, int(m_codes.recordCount()) - 1));
}
