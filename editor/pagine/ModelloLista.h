#pragma once
// Table model over the rows of an open record set, for the grids of the
// pages: sortable in memory, and in editing mode with typed changes kept per
// row until the list writes them.
#include <QAbstractTableModel>
#include <QHash>
#include <QVariantMap>
#include <vector>

class Recordset;

class ModelloLista : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ModelloLista(QObject* parent = nullptr) : QAbstractTableModel(parent) { }

    // The set must outlive its use here; null empties the grid.
    void Imposta(const Recordset* rs);
    const Recordset* Dati() const { return m_rs; }
    void ImpostaDidascalia(int colonna, const QString& didascalia);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& indice, int ruolo = Qt::DisplayRole) const override;
    QVariant headerData(int sezione, Qt::Orientation orientamento, int ruolo = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& indice) const override;
    bool setData(const QModelIndex& indice, const QVariant& valore, int ruolo = Qt::EditRole) override;

    int Colonna(const QString& nome) const;  // -1 when none
    QString NomeColonna(int colonna) const;
    QString Valore(int riga, const QString& colonna) const;
    // Row of the record set shown at a grid row (-1 for the new row).
    int RigaDati(int riga) const;
    void Ordina(int colonna, Qt::SortOrder verso);

    // Editing: cells take typing; a new row can be appended at the end.
    void ImpostaModificabile(bool modificabile) { m_modificabile = modificabile; }
    bool Modificabile() const { return m_modificabile; }
    void AggiungiRigaNuova();
    bool RigaVariata(int riga) const { return m_variate.contains(riga); }
    bool ConModifiche() const { return !m_variate.isEmpty(); }
    // The row as it would be written: stored values with the typed ones.
    QVariantMap ValoriRiga(int riga) const;
    QVariantMap Variazioni(int riga) const { return m_variate.value(riga); }
    void ScartaModifiche();

private:
    QVariant Grezzo(int riga, int colonna) const;

    const Recordset* m_rs = nullptr;
    int m_salta = 0;            // 1 when column 0 is the row identity
    std::vector<int> m_ordine;  // grid row -> record set row
    bool m_nuova = false;       // a new row at the end
    bool m_modificabile = false;
    QHash<int, QVariantMap> m_variate;  // grid row -> column -> typed text
    QHash<int, QString> m_didascalie;
};
