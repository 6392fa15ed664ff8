#pragma once
// Table model over the rows of an open record set, for the grids of the
// screens. Column 0 is left out when it is the row identity. Read-only
// unless columns are made editable: their changes go to a function that
// stores them.
#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>
#include <functional>

class Recordset;

class ModelloRecordset : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ModelloRecordset(QObject* parent = nullptr) : QAbstractTableModel(parent) { }

    // The set must outlive the model's use of it; null empties the grid.
    void Imposta(const Recordset* rs);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& indice, int ruolo = Qt::DisplayRole) const override;
    QVariant headerData(int sezione, Qt::Orientation orientamento, int ruolo = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& indice) const override;
    bool setData(const QModelIndex& indice, const QVariant& valore, int ruolo = Qt::EditRole) override;

    // Stores the new value of a cell (it may change it first); false when
    // the change is refused and the cell keeps its value.
    using Modifica = std::function<bool(int riga, const QString& colonna, QString& valore)>;
    void ImpostaModificabili(const QStringList& colonne, Modifica modifica);

    // Captions of the header by column name (case ignored); a column
    // without one shows its name.
    void ImpostaDidascalie(const QHash<QString, QString>& didascalie);

    // Column of the grid with that name (case ignored), -1 when none.
    int Colonna(const QString& nome) const;
    QString NomeColonna(int colonna) const;
    // Value of a named column on a row, as text.
    QString Valore(int riga, const QString& colonna) const;

private:
    const Recordset* m_rs = nullptr;
    int m_salta = 0;  // 1 when column 0 of the set is hidden
    QStringList m_modificabili;
    Modifica m_modifica;
    QHash<QPair<int, int>, QString> m_modificati;  // cells stored since the set was read
    QHash<QString, QString> m_didascalie;          // lower-case column name -> caption
};
