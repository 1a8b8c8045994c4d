#include "frmimport.h"

#include "order/registerediting.h"
#include "widgets/accessible.h"
#include "widgets/controls.h"
#include "widgets/look.h"
#include "widgets/messagebox.h"
#include "widgets/reportlistview.h"
#include "widgets/twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "datafiles/textfile.h"

namespace {

// How many of the file's first rows the column matching shows.
constexpr int firstRowsShown = 5;

// The caption with its first `key`, either case, marked as its access key.
QString withAccessKey(const QString& caption, QChar key)
{
    const qsizetype at = caption.indexOf(key, 0, Qt::CaseInsensitive);
    return at < 0 ? caption : caption.left(at) + QLatin1Char('&') + caption.mid(at);
}

} // namespace

ImportPreviewModel::ImportPreviewModel(QString keyCaption, QObject* parent)
    : QAbstractTableModel(parent)
    , m_keyCaption(std::move(keyCaption))
{
}

int ImportPreviewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_preview.rows.size());
}

int ImportPreviewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 4;
}

QVariant ImportPreviewModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const core::ImportRow& row = m_preview.rows.at(index.row());
    switch (index.column()) {
    case 0:
        return core::rowKindName(row.kind);
    case 1:
        return QString::number(row.line);
    case 2:
        return row.key;
    case 3:
        return row.detail;
    default:
        return {};
    }
}

QVariant ImportPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case 0:
        return QStringLiteral("Status");
    case 1:
        return QStringLiteral("Rad");
    case 2:
        return m_keyCaption;
    case 3:
        return QStringLiteral("Ändring eller orsak");
    default:
        return {};
    }
}

void ImportPreviewModel::setPreview(core::ImportPreview preview)
{
    beginResetModel();
    m_preview = std::move(preview);
    endResetModel();
}

FrmImport* FrmImport::open(const datafiles::DataDirectory& data, Kind kind, const QString& file, QWidget* parent)
{
    const QString operation
        = kind == Kind::PriceList ? QStringLiteral("läsa prislistan") : QStringLiteral("läsa kundlistan");
    core::CsvFile csv;
    {
        const datafiles::ReadResult bytes = datafiles::readChosenFile(file);
        if (!bytes.ok()) {
            MessageBox::reportFailure(parent, bytes.failure->during(operation));
            return nullptr;
        }
        csv = core::readCsv(bytes.bytes);
    }
    if (csv.refused) {
        datafiles::Failure refused = csv.refused->during(operation);
        refused.file = file;
        MessageBox::reportFailure(parent, refused);
        return nullptr;
    }
    auto* window = new FrmImport(data, kind, file, std::move(csv));
    if (!window->readRegister(parent)) {
        delete window;
        return nullptr;
    }
    window->updatePreview();
    return window;
}

FrmImport::FrmImport(datafiles::DataDirectory data, Kind kind, QString file, core::CsvFile csv)
    : QWidget(nullptr)
    , m_data(std::move(data))
    , m_kind(kind)
    , m_file(std::move(file))
    , m_csv(std::move(csv))
{
    const bool prices = kind == Kind::PriceList;
    setObjectName(prices ? QStringLiteral("frmImportPrislista") : QStringLiteral("frmImportKundlista"));
    setWindowTitle(prices ? QStringLiteral("Importera prislista") : QStringLiteral("Importera kundlista"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint);
    setFont(look::sansSerif(8.25, false));
    setupControls();
    resize(twipsToPixels(13500), twipsToPixels(10500));
    look::placeOnScreen(*this, size());
}

bool FrmImport::readRegister(QWidget* parent)
{
    if (m_kind == Kind::PriceList) {
        core::RecordsRead read = core::readProducts(m_data, core::WhenMissing::IsEmpty);
        if (read.failure) {
            MessageBox::reportFailure(parent, *read.failure);
            return false;
        }
        if (read.cutShort)
            MessageBox::reportFailure(parent, core::cutRecordWillBeDropped(*read.cutShort));
        m_products = std::move(read.records);
        return true;
    }
    core::CustomersRead read = core::readCustomers(m_data);
    if (read.failure || read.unreadable) {
        MessageBox::reportFailure(parent, read.failure ? *read.failure : *read.unreadable);
        return false;
    }
    m_customers = std::move(read.customers);
    return true;
}

void FrmImport::setupControls()
{
    const bool prices = m_kind == Kind::PriceList;
    const QList<core::ImportField>& fields = prices ? core::priceListFields() : core::customerListFields();
    const core::ImportColumns guess = core::guessColumns(m_csv, fields);
    auto* layout = new QVBoxLayout(this);

    m_lblFil = new QLabel(QStringLiteral("Fil: %1").arg(QDir::toNativeSeparators(m_file)), this);
    m_lblFil->setObjectName(QStringLiteral("lblFil"));
    m_lblFormat = new QLabel(this);
    m_lblFormat->setObjectName(QStringLiteral("lblFormat"));
    layout->addWidget(m_lblFil);
    layout->addWidget(m_lblFormat);

    auto* columnsBox = new QGroupBox(QStringLiteral("Kolumner i filen"), this);
    auto* grid = new QGridLayout(columnsBox);
    m_chkRubriker = new QCheckBox(QStringLiteral("&Första raden är rubriker"), columnsBox);
    m_chkRubriker->setObjectName(QStringLiteral("chkRubriker"));
    m_chkRubriker->setChecked(guess.firstRowNames);
    grid->addWidget(m_chkRubriker, 0, 0, 1, int(fields.size()));
    const QStringList firstRow = m_csv.rows.value(0);
    // The column choices' access keys, clear of the window's other ones.
    const QString accessKeys = prices ? QStringLiteral("amep") : QStringLiteral("kmdop");
    for (qsizetype f = 0; f < fields.size(); ++f) {
        auto* combo = new QComboBox(columnsBox);
        combo->setObjectName(QStringLiteral("cboKolumn%1").arg(f));
        combo->addItem(QStringLiteral("(ingen)"), -1);
        for (int c = 0; c < m_csv.columns; ++c) {
            const QString sample = firstRow.value(c).left(24);
            combo->addItem(QStringLiteral("Kolumn %1: %2").arg(c + 1).arg(sample), c);
        }
        combo->setCurrentIndex(guess.columns.value(f, -1) + 1);
        auto* label = new QLabel(withAccessKey(fields.at(f).caption, accessKeys.at(f)) + QLatin1Char(':'), columnsBox);
        label->setBuddy(combo);
        grid->addWidget(label, 1, int(f));
        grid->addWidget(combo, 2, int(f));
        connect(combo, &QComboBox::currentIndexChanged, this, &FrmImport::updatePreview);
        m_columns.append(combo);
    }
    connect(m_chkRubriker, &QCheckBox::toggled, this, &FrmImport::updatePreview);
    m_lvwFil = new ReportListView(columnsBox);
    m_lvwFil->setObjectName(QStringLiteral("lvwFil"));
    m_lvwFil->setAccessibleName(QStringLiteral("Filens första rader"));
    QList<ReportColumn> fileColumns;
    for (int c = 0; c < m_csv.columns; ++c)
        fileColumns.append({ QStringLiteral("Kolumn %1").arg(c + 1), 1800 });
    m_lvwFil->setColumns(fileColumns);
    m_lvwFil->setFixedHeight(twipsToPixels(1900));
    grid->addWidget(m_lvwFil, 3, 0, 1, int(fields.size()));
    layout->addWidget(columnsBox);
    showFirstRows();

    if (prices) {
        auto* modeBox = new QGroupBox(QStringLiteral("Vid import"), this);
        auto* modes = new QHBoxLayout(modeBox);
        m_optLaggTill = new QRadioButton(QStringLiteral("&Lägg till nya och uppdatera befintliga"), modeBox);
        m_optLaggTill->setObjectName(QStringLiteral("optLaggTill"));
        m_optLaggTill->setChecked(true);
        m_optBaraPriser = new QRadioButton(QStringLiteral("Uppdatera &bara priser"), modeBox);
        m_optBaraPriser->setObjectName(QStringLiteral("optBaraPriser"));
        modes->addWidget(m_optLaggTill);
        modes->addWidget(m_optBaraPriser);
        modes->addStretch(1);
        connect(m_optBaraPriser, &QRadioButton::toggled, this, &FrmImport::updatePreview);
        layout->addWidget(modeBox);
    }

    auto* previewLabel = new QLabel(QStringLiteral("Förhandsgransk&ning:"), this);
    layout->addWidget(previewLabel);
    m_previewList = new ReportListView(this);
    m_previewList->setObjectName(QStringLiteral("ListView1"));
    m_model = new ImportPreviewModel(prices ? QStringLiteral("Artikelnr") : QStringLiteral("Kundnr"), this);
    m_previewList->setModel(m_model);
    m_previewList->setDesignWidths({ 1300, 700, 1800, 9000 });
    m_previewList->enableFullRowSelect();
    accessible::label(previewLabel, m_previewList);
    layout->addWidget(m_previewList, 1);

    auto* buttons = new QHBoxLayout;
    m_lblAntal = new QLabel(this);
    m_lblAntal->setObjectName(QStringLiteral("lblAntal"));
    buttons->addWidget(m_lblAntal, 1);
    m_cmdImportera = new QPushButton(QStringLiteral("&Importera"), this);
    m_cmdImportera->setObjectName(QStringLiteral("cmdImportera"));
    m_cmdAngra = new QPushButton(QStringLiteral("Ån&gra senaste import"), this);
    m_cmdAngra->setObjectName(QStringLiteral("cmdAngra"));
    m_cmdStang = new QPushButton(QStringLiteral("&Stäng"), this);
    m_cmdStang->setObjectName(QStringLiteral("cmdStang"));
    for (QPushButton* button : { m_cmdImportera, m_cmdAngra, m_cmdStang }) {
        button->setAutoDefault(true);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    connect(m_cmdImportera, &QPushButton::clicked, this, &FrmImport::cmdImportera_Click);
    connect(m_cmdAngra, &QPushButton::clicked, this, &FrmImport::cmdAngra_Click);
    connect(m_cmdStang, &QPushButton::clicked, this, &FrmImport::cmdStang_Click);
    closeOnEscape(this, &FrmImport::cmdStang_Click);
    m_previewList->setFocus();
}

void FrmImport::showFirstRows()
{
    m_lvwFil->reportModel()->clear();
    m_lvwFil->reportModel()->appendRows(m_csv.rows.mid(0, firstRowsShown));
}

core::ImportColumns FrmImport::chosenColumns() const
{
    core::ImportColumns columns;
    columns.firstRowNames = m_chkRubriker->isChecked();
    for (const QComboBox* combo : m_columns)
        columns.columns.append(combo->currentData().toInt());
    return columns;
}

QString FrmImport::whatIsImported(Number number) const
{
    if (m_kind == Kind::PriceList)
        return number == Number::One ? QStringLiteral("produkt") : QStringLiteral("produkter");
    return number == Number::One ? QStringLiteral("kund") : QStringLiteral("kunder");
}

void FrmImport::updatePreview()
{
    const core::ImportColumns columns = chosenColumns();
    core::ImportPreview preview;
    QString decimal;
    if (m_kind == Kind::PriceList) {
        // Only prices cannot be updated from a file without its price column.
        const bool priceChosen = columns.columns.value(core::priceField, -1) >= 0;
        if (!priceChosen && m_optBaraPriser->isChecked()) {
            const QSignalBlocker quiet(m_optBaraPriser);
            m_optLaggTill->setChecked(true);
        }
        m_optBaraPriser->setEnabled(priceChosen);
        const core::PriceListMode mode
            = m_optBaraPriser->isChecked() ? core::PriceListMode::PricesOnly : core::PriceListMode::AddAndUpdate;
        m_pricePlan = core::planPriceList(m_csv, columns, mode, m_products);
        preview = m_pricePlan.preview;
        decimal = m_pricePlan.decimalMark == u',' ? QStringLiteral(", decimaltecken: komma")
                                                  : QStringLiteral(", decimaltecken: punkt");
    } else {
        m_customerPlan = core::planCustomerList(m_csv, columns, m_customers);
        preview = m_customerPlan.preview;
    }
    m_lblFormat->setText(QStringLiteral("Teckenkodning: %1, avgränsare: %2%3, %4 rader")
                             .arg(core::encodingName(m_csv.encoding), core::separatorName(m_csv.separator), decimal)
                             .arg(m_csv.rows.size()));
    if (!preview.missingColumn.isEmpty())
        m_lblAntal->setText(preview.missingColumn);
    else
        m_lblAntal->setText(QStringLiteral("Ny: %1   Ändrad: %2   Oförändrad: %3   Avvisad: %4")
                                .arg(preview.count(core::RowKind::New))
                                .arg(preview.count(core::RowKind::Changed))
                                .arg(preview.count(core::RowKind::Unchanged))
                                .arg(preview.count(core::RowKind::Refused)));
    m_model->setPreview(std::move(preview));
    m_cmdAngra->setEnabled(m_kind == Kind::PriceList ? core::canUndoPriceList(m_data)
                                                     : core::canUndoCustomerList(m_data));
}

void FrmImport::cmdImportera_Click()
{
    const int added = preview().count(core::RowKind::New);
    const int changed = preview().count(core::RowKind::Changed);
    if (added + changed == 0) {
        MessageBox::show(this, MessageBox::Icon::Information, windowTitle(),
                         !preview().missingColumn.isEmpty()
                             ? preview().missingColumn
                             : QStringLiteral("Det finns inget att importera: ingen rad är ny eller ändrad."));
        return;
    }
    std::optional<datafiles::Failure> failure;
    if (m_kind == Kind::PriceList) {
        core::RegisterSaved imported = core::importPriceList(m_data, m_products, m_pricePlan.changes);
        failure = imported.failure;
        if (!failure)
            m_products = std::move(imported.records);
    } else {
        failure = core::importCustomerList(m_data, m_customerPlan);
    }
    if (failure) {
        MessageBox::reportFailure(this, *failure);
        // Whatever stands on disk now is what the preview is made against.
        if (readRegister(this))
            updatePreview();
        if (m_kind == Kind::CustomerList)
            emit registerChanged();
        return;
    }
    if (m_kind == Kind::CustomerList)
        readRegister(this);
    updatePreview();
    emit registerChanged();
    MessageBox::show(this, MessageBox::Icon::Information, windowTitle(),
                     QStringLiteral("Importen är klar: %1 nya och %2 ändrade %3.")
                         .arg(added)
                         .arg(changed)
                         .arg(whatIsImported(Number::Several)));
}

void FrmImport::cmdAngra_Click()
{
    const QString what = m_kind == Kind::PriceList ? QStringLiteral("Produktregistret läggs tillbaka som det var")
                                                   : QStringLiteral("Kundfilerna läggs tillbaka som de var");
    if (!MessageBox::ask(this, QStringLiteral("Ångra senaste import"),
                         QStringLiteral("%1 före den senaste importen. Ändringar som gjorts efter importen går "
                                        "förlorade.\r\n\r\nÅngra importen?")
                             .arg(what)))
        return;
    const std::optional<datafiles::Failure> failure
        = m_kind == Kind::PriceList ? core::undoPriceList(m_data) : core::undoCustomerList(m_data);
    if (failure)
        MessageBox::reportFailure(this, *failure);
    if (readRegister(this))
        updatePreview();
    emit registerChanged();
    if (!failure)
        MessageBox::show(this, MessageBox::Icon::Information, windowTitle(),
                         QStringLiteral("Den senaste importen är ångrad."));
}

void FrmImport::cmdStang_Click()
{
    close();
}
