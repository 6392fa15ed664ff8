#include "PropostaDefinizione.h"

#include "AnteprimaQuiva.h"
#include "ColonneTabella.h"
#include "ContestoQuiva.h"
#include "DatabaseLink.h"
#include "ErroreRun.h"
#include "FileDefinizione.h"
#include "FinestraMessaggi.h"
#include "FormatoDefinizione.h"
#include "FormUtility.h"
#include "LettoreRighe.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <QStringDecoder>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <algorithm>
#include <map>
#include <optional>

namespace {

const QStringList Separatori {QStringLiteral(";"), QStringLiteral("\t"), QStringLiteral(","), QStringLiteral("|")};

// The sample's lines as the reader cuts them: the first line end decides
// whether a bare LF ends a line. A last line cut by the sample's end is left
// out.
std::vector<QByteArray> RigheCampione(const QByteArray& dati, bool tagliato, QString& fineRiga)
{
    const qsizetype primoCr = dati.indexOf('\r'), primoLf = dati.indexOf('\n');
    const bool soloCr = primoCr >= 0 && (primoLf < 0 || primoCr < primoLf);
    fineRiga = !soloCr ? QStringLiteral("LF")
        : primoCr + 1 < dati.size() && dati[primoCr + 1] == '\n' ? QStringLiteral("CR LF")
                                                                 : QStringLiteral("CR");
    std::vector<QByteArray> righe;
    qsizetype inizio = 0;
    bool finita = false;
    for (qsizetype i = 0; i < dati.size(); ++i) {
        const char c = dati[i];
        if (c != '\r' && !(c == '\n' && !soloCr))
            continue;
        righe.push_back(dati.mid(inizio, i - inizio));
        if (c == '\r' && i + 1 < dati.size() && dati[i + 1] == '\n')
            ++i;
        inizio = i + 1;
        finita = inizio >= dati.size();
    }
    if (inizio < dati.size() && !tagliato)
        righe.push_back(dati.mid(inizio));
    (void)finita;
    return righe;
}

bool Utf8Valido(const QByteArray& riga)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString testo = utf8.decode(riga);
    return !utf8.hasError();
}

QString SenzaAccenti(const QString& testo)
{
    QString semplice;
    for (const QChar c : testo.normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing)
            semplice += c.toLower();
    return semplice.trimmed();
}

QString Pulito(QString valore)
{
    valore = valore.trimmed();
    if (valore.size() >= 2 && valore.startsWith(u'"') && valore.endsWith(u'"'))
        valore = valore.mid(1, valore.size() - 2).trimmed();
    return valore;
}

// OttoCifre: eight digits that read as a date (ddmmyyyy or yyyymmdd).
enum class Forma { Vuoto, Intero, OttoCifre, Virgola, Punto, Data, Testo };

Forma FormaDi(const QString& valore)
{
    static const QRegularExpression intero(QStringLiteral("^[-+]?\\d+$"));
    static const QRegularExpression punto(QStringLiteral("^[-+]?\\d*\\.\\d+$"));
    static const QRegularExpression data(QStringLiteral("^\\d{1,4}[/.-]\\d{1,2}[/.-]\\d{1,4}$"));
    if (valore.isEmpty())
        return Forma::Vuoto;
    if (data.match(valore).hasMatch() && FormUtility::TestoAData(valore))
        return Forma::Data;
    if (intero.match(valore).hasMatch())
        return valore.size() == 8 && FormUtility::TestoAData(valore) ? Forma::OttoCifre : Forma::Intero;
    if (punto.match(valore).hasMatch() && valore.section(u'.', 1).size() != 3)
        return Forma::Punto;
    if (valore.contains(u',') && FormUtility::TestoANumero(valore, TipiDato::Double))
        return Forma::Virgola;
    return Forma::Testo;
}

// The type of a field from the forms of its values (empty ones say nothing).
QString TipoDaForme(const std::vector<Forma>& forme, bool& puntoDecimale)
{
    bool numeri = false, virgola = false, punto = false, date = false, testo = false, otto = false;
    for (Forma f : forme) {
        otto |= f == Forma::OttoCifre;
        numeri |= f == Forma::Intero;
        virgola |= f == Forma::Virgola;
        punto |= f == Forma::Punto;
        date |= f == Forma::Data;
        testo |= f == Forma::Testo;
    }
    puntoDecimale = false;
    if (testo || (date && (numeri || virgola || punto)) || (virgola && punto))
        return QStringLiteral("String");
    if (date)
        return QStringLiteral("Date");
    if (otto && !numeri && !virgola && !punto)
        return QStringLiteral("Date");
    numeri |= otto;
    if (virgola)
        return QStringLiteral("Double");
    if (punto) {
        puntoDecimale = true;
        return QStringLiteral("Double");
    }
    return numeri ? QStringLiteral("Long") : QStringLiteral("String");
}

// The separator that gives the same number (above one) of fields on most
// lines; the earlier of the list on a tie.
std::optional<QString> SceltaSeparatore(const QStringList& righe)
{
    std::optional<QString> scelto;
    qsizetype migliore = 0;
    for (const QString& separatore : Separatori) {
        std::map<qsizetype, qsizetype> conteggi;  // fields -> lines
        for (const QString& riga : righe)
            ++conteggi[riga.count(separatore) + 1];
        for (const auto& [campi, quante] : conteggi)
            if (campi > 1 && quante > migliore && quante * 2 > righe.size()) {
                migliore = quante;
                scelto = separatore;
            }
    }
    return scelto;
}

// Fields of fixed width: runs of columns that are not blank on every line,
// each reaching up to the next.
std::vector<CampoProposto> CampiFissi(const QStringList& righe)
{
    qsizetype larghezza = 0;
    for (const QString& r : righe)
        larghezza = std::max(larghezza, r.size());
    std::vector<bool> piena(static_cast<size_t>(larghezza), false);
    for (const QString& r : righe)
        for (qsizetype c = 0; c < r.size(); ++c)
            if (r[c] != u' ')
                piena[static_cast<size_t>(c)] = true;
    std::vector<CampoProposto> campi;
    for (qsizetype c = 0; c < larghezza; ++c)
        if (piena[static_cast<size_t>(c)] && (c == 0 || !piena[static_cast<size_t>(c - 1)])) {
            CampoProposto campo;
            campo.numero = static_cast<int>(campi.size()) + 1;
            campo.inizio = static_cast<int>(c) + 1;
            campi.push_back(campo);
        }
    for (size_t k = 0; k < campi.size(); ++k)
        campi[k].lunghezza = (k + 1 < campi.size() ? campi[k + 1].inizio : static_cast<int>(larghezza) + 1)
            - campi[k].inizio;
    return campi;
}

QStringList Valori(const PropostaDefinizione& p, const QString& riga)
{
    QStringList valori;
    if (p.fissa)
        for (const CampoProposto& c : p.campi)
            valori << Pulito(riga.mid(c.inizio - 1, c.lunghezza));
    else
        for (const QString& v : riga.split(p.separatore))
            valori << Pulito(v);
    return valori;
}

}  // namespace

PropostaDefinizione ProponiDefinizione(const QByteArray& inizio, const QList<ColonnaTabella>& colonne,
                                       const QStringList& chiave)
{
    PropostaDefinizione p;
    const QByteArray dati = inizio.left(PropostaDefinizione::Campione);
    const std::vector<QByteArray> byte = RigheCampione(dati, inizio.size() > dati.size(), p.fineRiga);
    bool tuttoUtf8 = true;
    QStringList righe;
    for (const QByteArray& r : byte) {
        tuttoUtf8 = tuttoUtf8 && Utf8Valido(r);
        const QString riga = LettoreRighe::Decodifica(r.constData(), r.size());
        if (!riga.trimmed().isEmpty())
            righe << riga;
    }
    p.codifica = tuttoUtf8 ? QStringLiteral("UTF-8") : QStringLiteral("Windows-1252");
    if (righe.isEmpty()) {
        p.avvertenze << QStringLiteral("Il file non contiene righe da leggere");
        return p;
    }

    const std::optional<QString> separatore = SceltaSeparatore(righe);
    if (separatore) {
        p.separatore = *separatore;
        qsizetype campi = 0;
        for (const QString& r : righe)
            campi = std::max(campi, r.count(p.separatore) + 1);
        for (int n = 1; n <= campi; ++n) {
            CampoProposto campo;
            campo.numero = n;
            p.campi.push_back(campo);
        }
    } else {
        p.fissa = true;
        p.campi = CampiFissi(righe);
    }

    // Forms of the values, line by line.
    std::vector<QStringList> valori;
    for (const QString& r : righe)
        valori.push_back(Valori(p, r));
    auto forma = [&](size_t riga, size_t campo) {
        return campo < static_cast<size_t>(valori[riga].size()) ? FormaDi(valori[riga][static_cast<qsizetype>(campo)])
                                                                 : Forma::Vuoto;
    };

    // Header: its fields name columns of the table, or they are text where
    // the lines below hold numbers or dates.
    QHash<QString, QString> perNome;  // column by name without case and accents
    for (const ColonnaTabella& c : colonne)
        perNome.insert(SenzaAccenti(c.nome), c.nome);
    if (valori.size() > 1) {
        int nomi = 0, contrasti = 0, numeriInTesta = 0;
        for (size_t k = 0; k < p.campi.size(); ++k) {
            const Forma testa = forma(0, k);
            if (testa != Forma::Testo && testa != Forma::Vuoto)
                ++numeriInTesta;
            if (k < static_cast<size_t>(valori[0].size()) && perNome.contains(SenzaAccenti(valori[0][static_cast<qsizetype>(k)])))
                ++nomi;
            bool sottoNumeri = true, qualcuno = false;
            for (size_t r = 1; r < valori.size(); ++r) {
                const Forma f = forma(r, k);
                if (f == Forma::Vuoto)
                    continue;
                qualcuno = true;
                sottoNumeri = sottoNumeri && f != Forma::Testo;
            }
            if (testa == Forma::Testo && qualcuno && sottoNumeri)
                ++contrasti;
        }
        p.intestazione = numeriInTesta == 0 && (nomi > 0 || contrasti > 0);
    }

    const size_t primaDati = p.intestazione ? 1 : 0;
    QSet<QString> prese;
    for (size_t k = 0; k < p.campi.size(); ++k) {
        CampoProposto& c = p.campi[k];
        if (p.intestazione && k < static_cast<size_t>(valori[0].size()))
            c.intestazione = valori[0][static_cast<qsizetype>(k)];
        std::vector<Forma> forme;
        for (size_t r = primaDati; r < valori.size(); ++r)
            forme.push_back(forma(r, k));
        c.tipoOrig = TipoDaForme(forme, c.puntoDecimale);
        if (!c.intestazione.isEmpty())
            c.colonna = perNome.value(SenzaAccenti(c.intestazione));
    }
    // Fields without a column by name take the column at their place, when
    // no other field took it.
    for (const CampoProposto& c : p.campi)
        if (!c.colonna.isEmpty())
            prese.insert(c.colonna.toLower());
    for (size_t k = 0; k < p.campi.size(); ++k) {
        CampoProposto& c = p.campi[k];
        if (c.colonna.isEmpty() && k < static_cast<size_t>(colonne.size())
            && !prese.contains(colonne[static_cast<qsizetype>(k)].nome.toLower())
            && (!p.intestazione || c.intestazione.isEmpty())) {
            c.colonna = colonne[static_cast<qsizetype>(k)].nome;
            prese.insert(c.colonna.toLower());
        }
        for (const ColonnaTabella& col : colonne)
            if (col.nome.compare(c.colonna, Qt::CaseInsensitive) == 0)
                c.tipoDest = col.tipo;
        c.chiave = !c.colonna.isEmpty() && chiave.contains(c.colonna, Qt::CaseInsensitive);
        if (c.colonna.isEmpty())
            p.avvertenze << QStringLiteral("Campo %1%2: nessuna colonna della tabella corrisponde")
                                .arg(c.numero)
                                .arg(c.intestazione.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(c.intestazione));
        if (c.puntoDecimale)
            p.avvertenze << QStringLiteral("Campo %1: numeri con il punto decimale, che il caricamento legge con la "
                                           "virgola decimale; controllare l'anteprima")
                                .arg(c.numero);
    }
    for (const QString& k : chiave) {
        const bool coperta = std::any_of(p.campi.begin(), p.campi.end(),
                                         [&](const CampoProposto& c) { return c.colonna.compare(k, Qt::CaseInsensitive) == 0; });
        if (!coperta)
            p.avvertenze << QStringLiteral("La colonna chiave %1 non riceve alcun campo").arg(k);
    }
    return p;
}

PropostaDefinizione ProponiDaFile(DatabaseLink& db, const QString& percorso, const QString& tabella)
{
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly))
        throw ErroreRun(CodiciErrore::FileNonTrovato,
                        QStringLiteral("Impossibile leggere il file %1: %2").arg(percorso, file.errorString()));
    const QByteArray inizio = file.read(PropostaDefinizione::Campione + 1);
    const QList<ColonnaTabella> colonne = ColonneTabella(db, tabella);
    if (colonne.isEmpty())
        throw ErroreRun(CodiciErrore::ErroreGenerico, QStringLiteral("La tabella %1 non esiste").arg(tabella));
    return ProponiDefinizione(inizio, colonne, db.ColonnePrimarie(tabella));
}

QJsonObject DefinizioneProposta(const PropostaDefinizione& p, const QString& codice, const QString& tabella,
                                const QString& origine)
{
    QJsonObject testata {{QStringLiteral("Tabella"), tabella},
                         {QStringLiteral("Origine"), origine},
                         {QStringLiteral("Modalita"), QStringLiteral("0")},
                         {QStringLiteral("Tipo"), p.fissa ? QStringLiteral("F") : QStringLiteral("S")},
                         {QStringLiteral("Descrizione"), QStringLiteral("Creata dal file ") + origine.section(u'/', -1)}};
    if (!p.fissa)
        testata.insert(QStringLiteral("Separatore"), p.separatore == u"\t" ? QStringLiteral("\\009") : p.separatore);
    if (p.intestazione)
        testata.insert(QStringLiteral("SaltaInizio"), 1);
    QJsonArray campi;
    int ordine = 0;
    for (const CampoProposto& c : p.campi) {
        if (c.colonna.isEmpty())
            continue;
        QJsonObject campo {{QStringLiteral("NomeCampo"), c.colonna},
                           {QStringLiteral("OrdCampo"), ++ordine},
                           {QStringLiteral("TipoOrig"), c.tipoOrig},
                           {QStringLiteral("TipoDest"), c.tipoDest.isEmpty() ? QStringLiteral("String") : c.tipoDest}};
        if (p.fissa) {
            campo.insert(QStringLiteral("Inizio"), c.inizio);
            campo.insert(QStringLiteral("Lunghezza"), c.lunghezza);
        } else {
            campo.insert(QStringLiteral("NumCampo"), QString::number(c.numero));
        }
        if (!c.chiave)
            campo.insert(QStringLiteral("Aggiorna"), QStringLiteral("A"));
        campi.append(campo);
    }
    return {{QStringLiteral("formato"), QLatin1String(FormatoDefinizione::Formato)},
            {QStringLiteral("versione"), FormatoDefinizione::Versione},
            {QStringLiteral("codice"), codice},
            {QStringLiteral("QuivaFile"), testata},
            {QStringLiteral("QuivaDettaglio"), campi},
            {QStringLiteral("QuivaDecod"), QJsonArray()}};
}

int SalvaProposta(DatabaseLink& db, FinestraMessaggi& messaggi, const QJsonObject& definizione,
                  const std::function<bool(const QString&)>& sostituisci)
{
    // Through the definition file's own import, so that a proposal is
    // checked and written exactly as a definition read from a file.
    QTemporaryFile file;
    if (!file.open() || file.write(QJsonDocument(definizione).toJson()) < 0 || !file.flush()) {
        messaggi.msgCom(QStringLiteral("Impossibile preparare la definizione: ") + file.errorString(),
                        {QStringLiteral("&Ok")});
        return -1;
    }
    return ImportaDefinizione(db, messaggi, file.fileName(), sostituisci);
}

EsitoAnteprima AnteprimaProposta(ContestoQuiva& contesto, const QJsonObject& definizione,
                                 const OpzioniAnteprima& opzioni)
{
    EsitoAnteprima esito;
    std::optional<ProvaSenzaScritture> prova;
    if (!contesto.db.InProva())
        prova.emplace(contesto.db);
    esito.esito = SalvaProposta(contesto.db, contesto.messaggi, definizione, [](const QString&) { return true; });
    if (esito.esito == 0)
        esito = Anteprima(contesto, definizione.value(QStringLiteral("codice")).toString(), opzioni);
    return esito;
}

QString TestoProposta(const PropostaDefinizione& p)
{
    QStringList testo;
    const QString separatore = p.separatore == u"\t" ? QStringLiteral("tabulazione") : QStringLiteral("\"%1\"").arg(p.separatore);
    testo << QStringLiteral("Codifica: %1, fine riga: %2").arg(p.codifica, p.fineRiga)
          << (p.fissa ? QStringLiteral("Campi a posizioni fisse") : QStringLiteral("Separatore: ") + separatore)
          << (p.intestazione ? QStringLiteral("Prima riga di intestazione (SaltaInizio 1)")
                             : QStringLiteral("Nessuna riga di intestazione"));
    for (const CampoProposto& c : p.campi) {
        QString riga = p.fissa ? QStringLiteral("Campo %1 (%2-%3)").arg(c.numero).arg(c.inizio).arg(c.inizio + c.lunghezza - 1)
                               : QStringLiteral("Campo %1").arg(c.numero);
        if (!c.intestazione.isEmpty())
            riga += QStringLiteral(" \"%1\"").arg(c.intestazione);
        riga += QStringLiteral(": %1 -> %2").arg(c.tipoOrig, c.colonna.isEmpty() ? QStringLiteral("(nessuna colonna)") : c.colonna);
        if (c.chiave)
            riga += QStringLiteral(" (chiave)");
        testo << riga;
    }
    for (const QString& a : p.avvertenze)
        testo << QStringLiteral("Attenzione: ") + a;
    return testo.join(u'\n');
}
