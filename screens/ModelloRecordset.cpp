#include "ModelloRecordset.h"

#include "FormUtility.h"
#include "Recordset.h"

void ModelloRecordset::Imposta(const Recordset* rs)
{
    beginResetModel();
    m_rs = rs;
    m_salta = rs ? rs->Identita() : 0;
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
    if (ruolo != Qt::DisplayRole && ruolo != Qt::ToolTipRole)
        return {};
    const QVariant valore = m_rs->Valore(indice.row(), indice.column() + m_salta);
    return valore.isNull() ? QString() : FormUtility::TestoValore(valore);
}

QVariant ModelloRecordset::headerData(int sezione, Qt::Orientation orientamento, int ruolo) const
{
    if (ruolo != Qt::DisplayRole || !m_rs)
        return {};
    if (orientamento == Qt::Vertical)
        return sezione + 1;
    if (sezione < 0 || sezione >= columnCount())
        return {};
    return m_rs->Colonne()[sezione + m_salta];
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
