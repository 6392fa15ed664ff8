#include "ModelloRecordset.h"

#include "ColonneGriglia.h"
#include "FormUtility.h"
#include "Recordset.h"

void ModelloRecordset::Imposta(const Recordset* rs)
{
    beginResetModel();
    m_rs = rs;
    m_salta = rs ? rs->Identita() : 0;
    m_modificati.clear();
    endResetModel();
}

int ModelloRecordset::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_rs ? 0 : m_rs->NumeroRighe();
}

int ModelloRecordset::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_rs ? 0 : static_cast<int>(m_rs->Colonne().size()) - m_salta;
}

QVariant ModelloRecordset::data(const QModelIndex& indice, int ruolo) const
{
    if (!m_rs || !indice.isValid() || indice.row() >= rowCount() || indice.column() >= columnCount())
        return {};
    if (ruolo != Qt::DisplayRole && ruolo != Qt::ToolTipRole && ruolo != Qt::EditRole)
        return {};
    const auto modificato = m_modificati.constFind({indice.row(), indice.column()});
    if (modificato != m_modificati.cend())
        return *modificato;
    const QVariant valore = m_rs->Valore(indice.row(), indice.column() + m_salta);
    return valore.isNull() ? QString() : FormUtility::TestoValore(valore);
}

QVariant ModelloRecordset::headerData(int sezione, Qt::Orientation orientamento, int ruolo) const
{
    if (!m_rs)
        return {};
    if (orientamento == Qt::Vertical)
        return ruolo == Qt::DisplayRole ? QVariant(sezione + 1) : QVariant();
    if (sezione < 0 || sezione >= columnCount())
        return {};
    const QString nome = NomeColonna(sezione);
    if (ruolo == ColonneGriglia::RuoloNome)
        return nome;
    if (ruolo != Qt::DisplayRole && ruolo != Qt::ToolTipRole)
        return {};
    return m_didascalie.value(nome.toLower(), nome);
}

void ModelloRecordset::ImpostaDidascalie(const QHash<QString, QString>& didascalie)
{
    m_didascalie.clear();
    for (auto it = didascalie.cbegin(); it != didascalie.cend(); ++it)
        m_didascalie.insert(it.key().toLower(), it.value());
    if (columnCount() > 0)
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

QString ModelloRecordset::NomeColonna(int colonna) const
{
    return m_rs && colonna >= 0 && colonna < columnCount() ? m_rs->Colonne()[colonna + m_salta] : QString();
}

int ModelloRecordset::Colonna(const QString& nome) const
{
    if (!m_rs)
        return -1;
    const int c = m_rs->IndiceColonna(nome);
    return c < m_salta ? -1 : c - m_salta;
}

QString ModelloRecordset::Valore(int riga, const QString& colonna) const
{
    const int c = Colonna(colonna);
    if (c < 0 || riga < 0 || riga >= rowCount())
        return {};
    return data(index(riga, c)).toString();
}

Qt::ItemFlags ModelloRecordset::flags(const QModelIndex& indice) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(indice);
    if (indice.isValid() && m_modifica && m_modificabili.contains(NomeColonna(indice.column()), Qt::CaseInsensitive))
        f |= Qt::ItemIsEditable;
    return f;
}

bool ModelloRecordset::setData(const QModelIndex& indice, const QVariant& valore, int ruolo)
{
    if (ruolo != Qt::EditRole || !(flags(indice) & Qt::ItemIsEditable))
        return false;
    QString testo = valore.toString();
    if (!m_modifica(indice.row(), NomeColonna(indice.column()), testo))
        return false;
    m_modificati.insert({indice.row(), indice.column()}, testo);
    emit dataChanged(indice, indice);
    return true;
}

void ModelloRecordset::ImpostaModificabili(const QStringList& colonne, Modifica modifica)
{
    m_modificabili = colonne;
    m_modifica = std::move(modifica);
}
