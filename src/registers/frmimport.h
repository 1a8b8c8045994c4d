#pragma once

#include "datafiles/datadirectory.h"
#include "datafiles/records.h"
#include "order/csvfile.h"
#include "order/importing.h"

#include <QAbstractTableModel>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class ReportListView;

// The preview of an import: each row of the file as "Ny", "Ändrad",
// "Oförändrad" or "Avvisad", with its line, key and what changes or why.
class ImportPreviewModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    ImportPreviewModel(QString keyCaption, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void setPreview(core::ImportPreview preview);
    const core::ImportPreview& preview() const { return m_preview; }

private:
    QString m_keyCaption;
    core::ImportPreview m_preview;
};

// "Importera prislista" and "Importera kundlista": the chosen file read, its
// columns matched to the register's fields (by the names of its first row, or
// as the operator sets them, with the first rows shown), and every row
// previewed before "Importera" writes anything. "Ångra senaste import" puts
// back the register or the customer files as they stood before the last
// import.
class FrmImport : public QWidget
{
    Q_OBJECT

public:
    enum class Kind { PriceList, CustomerList };

    // Reads the file and the register and builds the window, hidden, with the
    // preview; nullptr when either cannot be read, after telling the operator
    // (in a box over `parent`).
    static FrmImport* open(const datafiles::DataDirectory& data, Kind kind, const QString& file,
                           QWidget* parent = nullptr);

    const core::ImportPreview& preview() const { return m_model->preview(); }
    ReportListView* previewList() const { return m_previewList; }
    QComboBox* column(int field) const { return m_columns.at(field); }
    QCheckBox* chkRubriker() const { return m_chkRubriker; }
    QRadioButton* optBaraPriser() const { return m_optBaraPriser; }
    QPushButton* cmdImportera() const { return m_cmdImportera; }
    QPushButton* cmdAngra() const { return m_cmdAngra; }

signals:
    // The register or the customer files were written: an import or its undoing.
    void registerChanged();

public slots:
    void cmdImportera_Click();
    void cmdAngra_Click();
    void cmdStang_Click();
    // The preview made again from the file, the columns and the choice.
    void updatePreview();

private:
    FrmImport(datafiles::DataDirectory data, Kind kind, QString file, core::CsvFile csv);
    void setupControls();
    bool readRegister(QWidget* parent);
    core::ImportColumns chosenColumns() const;
    void showFirstRows();
    enum class Number { One, Several };
    // "produkt" or "kunder": what the window imports, in one or several.
    QString whatIsImported(Number number) const;

    datafiles::DataDirectory m_data;
    Kind m_kind;
    QString m_file;
    core::CsvFile m_csv;
    datafiles::RecordTable m_products;
    QList<core::Customer> m_customers;
    core::PriceListPlan m_pricePlan;
    core::CustomerListPlan m_customerPlan;

    QLabel* m_lblFil = nullptr;
    QLabel* m_lblFormat = nullptr;
    QCheckBox* m_chkRubriker = nullptr;
    QList<QComboBox*> m_columns;
    ReportListView* m_lvwFil = nullptr;
    QRadioButton* m_optLaggTill = nullptr;
    QRadioButton* m_optBaraPriser = nullptr;
    ReportListView* m_previewList = nullptr;
    ImportPreviewModel* m_model = nullptr;
    QLabel* m_lblAntal = nullptr;
    QPushButton* m_cmdImportera = nullptr;
    QPushButton* m_cmdAngra = nullptr;
    QPushButton* m_cmdStang = nullptr;
};
