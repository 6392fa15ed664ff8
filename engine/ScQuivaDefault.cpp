// Defaults of fields (literal, progressive code, prompted value, counter)
// and the lire/euro rules of amounts.
#include "DatabaseLink.h"
#include "FinestraMessaggi.h"
#include "FormUtility.h"
#include "LetturaAnticipata.h"
#include "ScQuiva.h"
#include "ScQuivaTesto.h"
#include "ValueStore.h"

#include <cmath>

namespace {

bool UgualeTesto(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

}  // namespace

int ScQuiva::LeggiVal(const QString& psRiga, const CampoCompilato& campo, QVariant& pvValore)
{
    const QVariant* valore = nullptr;
    const int stato = LeggiVal(psRiga, campo, valore, pvValore);
    if (stato == 0 && valore != &pvValore)
        pvValore = *valore;
    return stato;
}

int ScQuiva::LeggiVal(const QString& psRiga, const CampoCompilato& campo, const QVariant*& pvValore,
                      QVariant& calcolato)
{
    if (campo.anticipato >= 0 && &psRiga == m_rigaAnticipata) {
        const ValoreAnticipato& pronto = m_valoriCorrenti[campo.anticipato];
        if (pronto.eccezione)
            std::rethrow_exception(pronto.eccezione);
        if (!ValoreValido(psRiga, campo, pronto.letto))
            return 1;
        pvValore = &pronto.letto.valore;
        return 0;
    }
    QString costruito;
    ValoreLetto letto = LeggiValore(TestoCampo(psRiga, campo, costruito), campo, m_ctx.soloAsci, m_valuta);
    if (!ValoreValido(psRiga, campo, letto))
        return 1;
    calcolato = std::move(letto.valore);
    pvValore = &calcolato;
    return 0;
}

// A value that could not be read is the line's error row.
bool ScQuiva::ValoreValido(const QString& psRiga, const CampoCompilato& campo, const ValoreLetto& letto)
{
    if (letto.errore.isEmpty())
        return true;
    m_campoInLettura = campo.campo;
    ScriviErrore(psRiga, letto.errore);
    m_campoInLettura = nullptr;
    return false;
}

int ScQuiva::LeggiVal(const QString& psRiga, const ScQuivaCampi& pgcampo, QVariant& pvValore, int piCodTab)
{
    return LeggiVal(psRiga, CompilaCampo(pgcampo, m_ctx.ditta, piCodTab), pvValore);
}

// The located text of a field, or its default (kept in costruito).
QStringView ScQuiva::TestoCampo(const QString& psRiga, const CampoCompilato& campo, QString& costruito)
{
    if (!campo.conDefault)
        return m_posizione.Testo(psRiga, campo, costruito);
    costruito = TestoQuiva::TestoDaValore(LeggiDefault(*campo.campo, psRiga, campo.slot));
    return costruito;
}

QVariant ScQuiva::LeggiDefault(const ScQuivaCampi& pgcampo, const QString& psRiga, int piCodTab)
{
    const QString& d = pgcampo.osDefault;
    if (d.startsWith(QLatin1Char('^')))
        return ProgressivoCodice(psRiga, pgcampo, piCodTab);
    if (!d.startsWith(QChar(0x00A7)))  // "§"
        return d;
    if (!ogValDefault)
        return QString();
    const QString chiave = osCodice + QLatin1Char('.') + pgcampo.osTabellaCampo;
    const VoceValore* trovata = ogValDefault->Trova(chiave);
    if (!trovata)
        return QString();  // not asked: reading must not add an entry
    if (trovata->segnoContatore != ValueStore::SegnoContatoreAttivo)
        return trovata->valore;
    VoceValore& voce = ogValDefault->Voce(chiave);

    const QString rottura = voce.rottura.toString();
    if (!rottura.isEmpty()) {
        QString gruppo;
        const qsizetype dueP = rottura.indexOf(QLatin1Char(':'));
        if (dueP < 0) {
            for (const QString& numero : FormUtility::Split(rottura, QStringLiteral(",")))
                gruppo += m_posizione.ValCampoNum(psRiga, static_cast<int>(FormUtility::TestoAIntero(numero)), pgcampo);
        } else {
            const long long inizio = FormUtility::TestoAIntero(rottura.left(dueP));
            const long long lunghezza = FormUtility::TestoAIntero(rottura.mid(dueP + 1));
            if (inizio >= 1 && lunghezza >= 0)
                gruppo = psRiga.mid(inizio - 1, lunghezza);
        }
        if (!UgualeTesto(gruppo, voce.valore)) {
            voce.valore = gruppo;
            voce.contatore = std::lround(voce.contatoreIniziale);
        }
    }
    ++voce.contatore;
    return QVariant::fromValue(static_cast<int>(voce.contatore));
}

QString ScQuiva::LeggiValuta(const QString& psListino)
{
    try {
        // A company without price lists: every list is in the company's currency.
        if (!m_ctx.db.EsisteTabella(QStringLiteral("Listini")))
            return {};
        const RecordsetAperto rs(m_rs,
                                 QStringLiteral("Select * from Listini Where Listino = ")
                                     + FormUtility::SqlLiteral(psListino, TipiDato::String));
        return m_rs.Vuoto(rs) ? QString() : m_rs.Leggi(rs, QStringLiteral("Moneta"));
    } catch (const std::exception& errore) {
        m_ctx.messaggi.MsgErrfrm(errore);
        return {};
    }
}

QVariant ScQuiva::ConvImporto(const QVariant& pvValore, const CampoCompilato& campo)
{
    if (FormUtility::IsVuoto(pvValore))
        return pvValore;
    const ValutaCampo valuta = campo.valuta;
    const int piNumDec = campo.decimali;
    const int piDecMoneta = campo.decMoneta;
    Slot& s = m_slot[campo.slot];
    if (s.valuta.isEmpty() || s.listino.compare(s.listinoPrec, Qt::CaseInsensitive) != 0) {
        s.valuta.clear();
        // A blank price list is remembered too: otherwise the company currency
        // taken for it would stay cached for the next record of the list
        // looked up before it.
        s.listinoPrec = s.listino;
        if (!s.listino.isEmpty())
            s.valuta = LeggiValuta(s.listino);
        if (s.valuta.isEmpty())
            s.valuta = m_ctx.ditta.moneta;
    }

    const ImpostazioniDitta& ditta = m_ctx.ditta;
    const int decLire = piNumDec != ScQuivaCampi::NumDecNonImpostato ? piNumDec : ditta.lira.numDecGest;
    const int decEuro = piNumDec != ScQuivaCampi::NumDecNonImpostato ? piNumDec : ditta.euro.numDecGest;
    const double valore = pvValore.typeId() == QMetaType::QString
        ? FormUtility::TestoANumeroOErrore(pvValore.toString(), TipiDato::Double).toDouble()
        : pvValore.toDouble();
    auto arrotonda = [](double v, int decimali) { return FormUtility::Arrotonda(v, QLatin1Char('A'), decimali); };
    const bool inLire = UgualeTesto(s.valuta, ditta.codLira);
    const bool inEuro = UgualeTesto(s.valuta, ditta.codEuro);

    if (valuta == ValutaCampo::Lire) {
        if (inLire)
            return arrotonda(valore, decLire);
        if (inEuro)
            return ditta.EuroInLire(arrotonda(valore, piDecMoneta), decLire);
        return QString();
    }
    if (valuta == ValutaCampo::Euro) {
        if (inLire)
            return ditta.LireInEuro(arrotonda(valore, piDecMoneta), decEuro);
        return arrotonda(valore, decEuro);
    }
    return QString();
}
