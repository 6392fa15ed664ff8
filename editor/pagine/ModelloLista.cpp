#include "ModelloLista.h"

#include "ColonneGriglia.h"
#include "FormUtility.h"
#include "Recordset.h"

#include <algorithm>
#include <numeric>

void ModelloLista::Imposta(const Recordset* rs)
{
    beginResetModel();
    m_rs = rs;
    m_salta = rs ? rs->Identita() : 0;
    m_ordine.resize(rs ? rs->NumeroRighe() : 0);
    std::iota(m_ordine.begin(), m_ordine.end(), 0);
    m_nuova = false;
    m_variate.clear();
    endResetModel();
}

void ModelloLista::ImpostaDidascalia(int colonna, const QString& didascalia)
{
    m_didascalie.insert(colonna, didascalia);
    emit headerDataChanged(Qt::Horizontal, colonna, colonna);
}

int ModelloLista::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_ordine.size()) + (m_nuova ? 1 : 0);
}

int ModelloLista::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_rs ? 0 : static_cast<int>(m_rs->Colonne().size()) - m_salta;
}

int ModelloLista::RigaDati(int riga) const
{
    return riga >= 0 && riga < static_cast<int>(m_ordine.size()) ? m_ordine[riga] : -1;
}

QVariant ModelloLista::Grezzo(int riga, int colonna) const
{
    const int dati = RigaDati(riga);
    return dati < 0 ? QVariant() : m_rs->Valore(dati, colonna + m_salta);
}

QVariant ModelloLista::data(const QModelIndex& indice, int ruolo) const
{
    if (!m_rs || !indice.isValid() || indice.row() >= rowCount() || indice.column() >= columnCount())
        return {};
    if (ruolo != Qt::DisplayRole && ruolo != Qt::EditRole && ruolo != Qt::ToolTipRole)
        return {};
    const auto variata = m_variate.constFind(indice.row());
    if (variata != m_variate.cend() && variata->contains(NomeColonna(indice.column())))
        return variata->value(NomeColonna(indice.column()));
    const QVariant valore = Grezzo(indice.row(), indice.column());
    return valore.isNull() ? QString() : FormUtility::TestoValore(valore);
}

QVariant ModelloLista::headerData(int sezione, Qt::Orientation orientamento, int ruolo) const
{
    if (!m_rs)
        return {};
    if (orientamento == Qt::Vertical)
        return ruolo == Qt::DisplayRole ? QVariant(sezione + 1) : QVariant();
    if (sezione < 0 || sezione >= columnCount())
        return {};
    if (ruolo == ColonneGriglia::RuoloNome)
        return NomeColonna(sezione);
    if (ruolo != Qt::DisplayRole && ruolo != Qt::ToolTipRole)
        return {};
    return m_didascalie.value(sezione, NomeColonna(sezione));
}

Qt::ItemFlags ModelloLista::flags(const QModelIndex& indice) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(indice);
    if (m_modificabile && indice.isValid())
        f |= Qt::ItemIsEditable;
    return f;
}

bool ModelloLista::setData(const QModelIndex& indice, const QVariant& valore, int ruolo)
{
    if (!m_modificabile || ruolo != Qt::EditRole || !indice.isValid())
        return false;
    if (data(indice).toString() == valore.toString() && indice.row() < static_cast<int>(m_ordine.size()))
        return true;
    m_variate[indice.row()].insert(NomeColonna(indice.column()), valore.toString());
    emit dataChanged(indice, indice);
    return true;
}

int ModelloLista::Colonna(const QString& nome) const
{
    if (!m_rs)
        return -1;
    const int c = m_rs->IndiceColonna(nome);
    return c < m_salta ? -1 : c - m_salta;
}

QString ModelloLista::NomeColonna(int colonna) const
{
    return m_rs && colonna >= 0 && colonna < columnCount() ? m_rs->Colonne()[colonna + m_salta] : QString();
}

QString ModelloLista::Valore(int riga, const QString& colonna) const
{
    const int c = Colonna(colonna);
    return c < 0 || riga < 0 || riga >= rowCount() ? QString() : data(index(riga, c)).toString();
}

void ModelloLista::Ordina(int colonna, Qt::SortOrder verso)
{
    if (!m_rs || colonna < 0 || colonna >= columnCount())
        return;
    beginResetModel();
    const int c = colonna + m_salta;
    auto minore = [&](int a, int b) {
        const QVariant va = m_rs->Valore(a, c), vb = m_rs->Valore(b, c);
        if (va.isNull() || vb.isNull())
            return va.isNull() && !vb.isNull();
        bool na = false, nb = false;
        const double da = va.toDouble(&na), db = vb.toDouble(&nb);
        if (na && nb && va.typeId() != QMetaType::QString)
            return da < db;
        return va.toString().compare(vb.toString(), Qt::CaseInsensitive) < 0;
    };
    std::stable_sort(m_ordine.begin(), m_ordine.end(),
                     [&](int a, int b) { return verso == Qt::AscendingOrder ? minore(a, b) : minore(b, a); });
    m_variate.clear();
    m_nuova = false;
    endResetModel();
}

void ModelloLista::AggiungiRigaNuova()
{
    if (m_nuova)
        return;
    const int riga = static_cast<int>(m_ordine.size());
    beginInsertRows({}, riga, riga);
    m_nuova = true;
    m_variate[riga];
    endInsertRows();
}

QVariantMap ModelloLista::ValoriRiga(int riga) const
{
    QVariantMap valori;
    for (int c = 0; c < columnCount(); ++c)
        valori.insert(NomeColonna(c), Grezzo(riga, c));
    const QVariantMap variate = m_variate.value(riga);
    for (auto it = variate.cbegin(); it != variate.cend(); ++it)
        valori.insert(it.key(), it.value());
    return valori;
}

void ModelloLista::ScartaModifiche() { Imposta(m_rs); }
