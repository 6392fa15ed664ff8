// Key look-ups of a block of lines made ahead, one query per slot, on a
// server. A line's look-up is served from them only when nothing an earlier
// line of the block writes can change its answer: the key is read from the
// line alone (no default, counter or progressive code), no other slot writes
// the table, and no earlier line of the block has the same key.
#include "DatabaseLink.h"
#include "ScQuiva.h"

#include <QDate>
#include <QSet>
#include <optional>

namespace {

// The key value as the server compares it, to find lines of a block that
// look up the same row: an ASCII text in lower case (every server folds those
// letters alike), a whole number, a date. Nothing for a comparison the
// program cannot foresee (other letters, a null, another type, a column of
// another kind).
std::optional<QString> ValoreConfrontato(const QVariant& valore, const ColonnaSchema* colonna)
{
    if (!colonna || !valore.isValid())
        return std::nullopt;
    switch (valore.typeId()) {
    case QMetaType::QString: {
        if (!colonna->testo)
            return std::nullopt;
        QString testo = *static_cast<const QString*>(valore.constData());
        for (QChar& c : testo) {
            if (c.unicode() >= 0x80)
                return std::nullopt;
            c = c.toLower();
        }
        return testo;
    }
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
        if (colonna->testo)
            return std::nullopt;
        return QString::number(valore.toLongLong());
    case QMetaType::QDate:
        if (!colonna->data)
            return std::nullopt;
        return valore.toDate().toString(Qt::ISODate);
    default: return std::nullopt;
    }
}

}  // namespace

void ScQuiva::AnticipaChiavi(const QStringList* righe)
{
    m_anticipate.Dimentica();
    if (!righe || m_inserimentoLibero)
        return;
    m_anticipate.Inizia(static_cast<int>(righe->size()));
    for (int i = 1; i <= NumSlot; ++i) {
        if (!SlotAnticipabile(i))
            continue;
        try {
            AnticipaSlot(i, *righe);
        } catch (const std::exception&) {
            // the lines look the slot up one by one, and meet the error there
        }
    }
}

bool ScQuiva::SlotAnticipabile(int i) const
{
    const Slot& s = m_slot[i];
    if (!s.usato() || !s.set || !s.recordset.Aperto() || m_piano.slot[i].chiave.empty())
        return false;
    for (int j = 1; j <= NumSlot; ++j)
        if (j != i && m_slot[j].usato() && m_slot[j].tabella.compare(s.tabella, Qt::CaseInsensitive) == 0)
            return false;
    // Every key value read ahead with its line: none from a default, a
    // counter or a currency.
    for (int k : m_piano.slot[i].chiave)
        if (m_piano.campi[k].anticipato < 0)
            return false;
    return true;
}

void ScQuiva::AnticipaSlot(int i, const QStringList& righe)
{
    const std::vector<int>& chiave = m_piano.slot[i].chiave;
    const SchemaTabella& schema = m_ctx.db.Schema(m_slot[i].tabella);
    std::vector<const ColonnaSchema*> colonne;
    for (int k : chiave)
        colonne.push_back(schema.Colonna(m_piano.campi[k].campo->osNomeCampo));

    std::vector<QVariantList> valori;
    std::vector<int> quali;  // the line of each look-up
    QSet<QString> viste;
    for (int r = 0; r < righe.size(); ++r) {
        if (!m_valoriBlocco[static_cast<size_t>(r)][static_cast<size_t>(m_piano.anticipati)].letto.errore.isEmpty())
            continue;  // a line refused by the reader looks nothing up
        QVariantList valoriRiga;
        QString confronto;
        bool letta = true;
        for (size_t n = 0; n < chiave.size() && letta; ++n) {
            // The value the reading thread read for this line of the block.
            const ValoreAnticipato& pronto =
                m_valoriBlocco[static_cast<size_t>(r)][static_cast<size_t>(m_piano.campi[chiave[n]].anticipato)];
            if (pronto.eccezione)
                return;  // this block looks the slot up line by line, and meets the error there
            const ValoreLetto& letto = pronto.letto;
            letta = letto.errore.isEmpty();  // the line rejects its key itself, and writes nothing there
            if (!letta)
                break;
            const std::optional<QString> parte = ValoreConfrontato(letto.valore, colonne[n]);
            if (!parte)
                return;  // this block looks the slot up line by line
            confronto += *parte + QChar(0x1f);
            valoriRiga << letto.valore;
        }
        // A key met before in the block may have been written since: that
        // line asks the database when it runs.
        if (!letta || viste.contains(confronto))
            continue;
        viste.insert(confronto);
        valori.push_back(std::move(valoriRiga));
        quali.push_back(r);
    }
    std::vector<Recordset::Righe> trovate = m_slot[i].set->CercaMolti(SqlChiave(i), valori);
    if (trovate.size() != valori.size())
        return;
    for (size_t n = 0; n < valori.size(); ++n)
        m_anticipate.Metti(i, quali[n], std::move(valori[n]), std::move(trovate[n]));
}
