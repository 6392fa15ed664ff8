// Reading one load definition into the engine.
#include "DatabaseLink.h"
#include "FinestraMessaggi.h"
#include "FormUtility.h"
#include "ProgressMonitor.h"
#include "ScQuiva.h"

namespace {
const QString Ok = QStringLiteral("&Ok");

// A 16-bit number of a definition; empty is 0. Anything else that is not
// such a number stops the reading of the definition.
qint16 Intero16(const QString& testo, const QString& codice, const QString& colonna)
{
    if (testo.trimmed().isEmpty())
        return 0;
    if (const auto numero = FormUtility::TestoANumero(testo, TipiDato::Integer))
        return static_cast<qint16>(numero->toInt());
    throw ErroreRun(CodiciErrore::Overflow,
                    QStringLiteral("Definizione %1, colonna %2: valore non valido (%3), "
                                   "atteso un numero intero tra -32768 e 32767")
                        .arg(codice, colonna, testo));
}

// A stored yes/no flag: "S" is yes, anything else no.
bool SiNo(const QString& testo) { return testo.compare(QLatin1String("S"), Qt::CaseInsensitive) == 0; }
}  // namespace

QString ScQuiva::ConvEscape(const QString& testo)
{
    QString risultato;
    risultato.reserve(testo.size());
    qsizetype i = 0;
    while (i < testo.size()) {
        const QChar c = testo[i];
        if (c != u'\\') {
            risultato += c;
            ++i;
            continue;
        }
        if (i + 1 < testo.size() && testo[i + 1] == u'\\') {
            risultato += u'\\';
            i += 2;
            continue;
        }
        bool ok = false;
        const QStringView tre = QStringView(testo).mid(i + 1, 3);
        const int codice = tre.size() == 3 ? tre.toInt(&ok) : 0;
        if (ok && codice >= 0 && codice <= 0xFFFF) {
            risultato += QChar(static_cast<char16_t>(codice));
            i += 4;
        } else {
            risultato += u'\\';
            ++i;
        }
    }
    return risultato;
}

int ScQuiva::LeggiTracciato(const QString& psCodice)
{
    osCodice = psCodice;
    Progresso().Fase(FaseQuiva::Preparazione, psCodice);
    const QString sqlCodice = QStringLiteral(" Where Codice = ") + FormUtility::SqlLiteral(psCodice, TipiDato::String);
    try {
        {
            const RecordsetAperto testata(m_rs, QStringLiteral("Select * from QuivaFile") + sqlCodice);
            if (m_rs.Vuoto(testata)) {
                m_ctx.messaggi.msgCom(QStringLiteral("Mancano i dati per il codice ") + psCodice, {Ok});
                return -1;
            }
            LeggiTestata(testata);
        }
        {
            const RecordsetAperto dettaglio(
                m_rs,
                QStringLiteral("Select * from QuivaDettaglio") + sqlCodice
                    + QStringLiteral(" Order by Codice, IIf(IsNull([OrdCampo]),999999,Val([ordcampo]))"));
            if (m_rs.Vuoto(dettaglio)) {
                m_ctx.messaggi.msgCom(QStringLiteral("Nessun dettaglio per il codice ") + psCodice, {Ok});
                return -1;
            }
            Progresso().Totale(m_rs.NumeroRighe(dettaglio));
            LeggiCampi(dettaglio);
        }
        ImpCampiKey();

        Progresso().Fase(FaseQuiva::VerificaConversioni, psCodice);
        LeggiDecodifiche(RecordsetAperto(m_rs, QStringLiteral("Select * from QuivaDecod") + sqlCodice));
        return 0;
    } catch (const std::exception& errore) {
        // Which definition could not be read, for a run of several.
        m_ctx.messaggi.MsgErrfrm(ErroreRun(FormUtility::NumeroErrore(errore),
                                           QStringLiteral("Definizione %1: %2")
                                               .arg(psCodice, FormUtility::DescrizioneErrore(errore))));
        return FormUtility::NumeroErrore(errore);
    }
}

void ScQuiva::LeggiTestata(const QString& rs)
{
    auto leggi = [&](const QString& colonna) { return m_rs.Leggi(rs, colonna); };
    auto campi = [](const QString& testo) { return testo.isEmpty() ? QStringLiteral("*") : testo; };

    Slot& primo = m_slot[1];
    primo.tabella = leggi(QStringLiteral("Tabella"));
    primo.codTab.clear();
    primo.azzera = SiNo(leggi(QStringLiteral("Azzera")));
    primo.whereAzz = leggi(QStringLiteral("WhereAzz"));
    primo.campi = campi(leggi(QStringLiteral("Campi")));
    for (int i = 0; i < 3; ++i)
        m_queryFin[i] = leggi(QStringLiteral("QueryFin%1").arg(i + 1));
    m_modalita = leggi(QStringLiteral("Modalita"));
    const QString separatore = leggi(QStringLiteral("Separatore"));
    m_separatore = separatore.isEmpty() ? QStringLiteral("\t") : ConvEscape(separatore);
    if (m_modalita == u'0')
        m_modo = ModoScrittura::InserisciOAggiorna;
    else if (m_modalita == u'1')
        m_modo = ModoScrittura::SoloInserimento;
    else if (m_modalita == u'2')
        m_modo = ModoScrittura::SoloAggiornamento;
    else
        m_modo = ModoScrittura::Altro;
    if (m_modo == ModoScrittura::InserisciOAggiorna || m_modo == ModoScrittura::SoloInserimento)
        m_insVaria = leggi(QStringLiteral("InsVaria"));
    else if (m_modo == ModoScrittura::SoloAggiornamento)
        m_insVaria = QStringLiteral("V");
    else
        m_insVaria.clear();
    m_inserimentoLibero = m_insVaria.compare(QLatin1String("I"), Qt::CaseInsensitive) == 0;
    m_origine = QuivaPathCompleta(leggi(QStringLiteral("Origine")));
    for (int i = 2; i <= NumSlot; ++i) {
        Slot& s = m_slot[i];
        s.tabella = leggi(QStringLiteral("Tabella%1").arg(i));
        s.codTab = leggi(QStringLiteral("CodTab%1").arg(i));
        s.azzera = SiNo(leggi(QStringLiteral("Azzera%1").arg(i)));
        s.whereAzz = leggi(QStringLiteral("WhereAzz%1").arg(i)).trimmed();
        s.campi = campi(leggi(QStringLiteral("Campi%1").arg(i)));
    }
    m_saltaInizio = Intero16(leggi(QStringLiteral("SaltaInizio")), osCodice, QStringLiteral("SaltaInizio"));
    m_tipo = leggi(QStringLiteral("Tipo"));
    m_posizione = PosizioneCampo(m_separatore, m_tipo.compare(QLatin1String("F"), Qt::CaseInsensitive) == 0);
}

void ScQuiva::LeggiCampi(const QString& rs)
{
    auto leggi = [&](const char* colonna) { return m_rs.Leggi(rs, QLatin1String(colonna)); };
    QString nomeCampo;
    auto intero = [&](const char* colonna, const QString& testo) {
        return Intero16(testo, osCodice, QStringLiteral("%1 del campo %2").arg(QLatin1String(colonna), nomeCampo));
    };
    for (; !m_rs.Fine(rs); m_rs.Successivo(rs)) {
        Progresso().Posizione(m_rs.Posizione(rs) + 1);
        auto campo = std::make_unique<ScQuivaCampi>();
        nomeCampo = leggi("NomeCampo");
        campo->osTabella = LeggiNomeTabella(nomeCampo);
        campo->osNomeCampo = LeggiNomeCampo(nomeCampo);
        campo->osTabellaCampo = nomeCampo;
        campo->osCodTab = LeggiCodTab(nomeCampo);
        campo->osTipoOrig = leggi("TipoOrig");
        campo->osTipoDest = leggi("TipoDest");
        campo->osNumCampo = leggi("NumCampo");
        campo->setOiDimensione(&m_ctx.db, campo->osTabella, intero("Dimensione", leggi("Dimensione")));
        campo->setOsNonVal(leggi("NonVal"));
        campo->setOsValValido(leggi("ValValido"));
        campo->osRiempie = leggi("Riempie");
        const QVariant quanto = m_rs.LeggiGrezzo(rs, QStringLiteral("Quanto"));
        campo->oiQuanto = intero("Quanto", quanto.toString());
        campo->oiNumDec = quanto.isNull() ? ScQuivaCampi::NumDecNonImpostato : campo->oiQuanto;
        campo->oiInizio = intero("Inizio", leggi("Inizio"));
        campo->oiLunghezza = intero("Lunghezza", leggi("Lunghezza"));
        campo->osDefault = leggi("Default");
        campo->os0toNull = leggi("Conv0ToNull");
        campo->osObbligatorio = leggi("Obbligatorio");
        campo->oiLimiteDim = intero("LimiteDim", leggi("LimiteDim"));
        campo->osTipoOper = leggi("TipoOper");
        campo->osValoreOper = leggi("ValoreOper").trimmed();
        campo->osLireOValuta = leggi("LireOValuta");
        campo->osAggiorna = leggi("Aggiorna");
        const QString chiave = campo->osKey().toLower();
        if (m_indiceCampi.contains(chiave))
            throw ErroreRun(457, QStringLiteral("Chiave già associata a un elemento dell'insieme: ") + campo->osKey());
        m_indiceCampi.insert(chiave, campo.get());
        m_campi.push_back(std::move(campo));
    }
}

void ScQuiva::LeggiDecodifiche(const QString& rs)
{
    Progresso().Totale(m_rs.NumeroRighe(rs));
    for (; !m_rs.Fine(rs); m_rs.Successivo(rs)) {
        Progresso().Posizione(m_rs.Posizione(rs) + 1);
        const QString tabella = m_rs.Leggi(rs, QStringLiteral("Tabella"));
        const QString nomeCampo = m_rs.Leggi(rs, QStringLiteral("NomeCampo"));
        ScQuivaCampi* campo = Campo(tabella + QLatin1Char('.') + nomeCampo);
        if (!campo)
            throw ErroreRun(5, QStringLiteral("Decodifica per un campo inesistente: %1.%2").arg(tabella, nomeCampo));
        campo->AddDecod(m_rs.Leggi(rs, QStringLiteral("ValOrig")), tabella, m_rs.Leggi(rs, QStringLiteral("ValDest")));
    }
}
