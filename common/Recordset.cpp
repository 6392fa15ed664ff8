#include "Recordset.h"

#include "Comando.h"
#include "DatabaseLink.h"
#include "TestoServer.h"

#include <QDate>

#include <QRegularExpression>
#include <algorithm>
#include <functional>
#include <limits>

namespace {

QString ColonnaRiga(int i) { return QStringLiteral("quiva_riga_%1__").arg(i); }

QString SoloNome(QString nome)
{
    if ((nome.startsWith(QLatin1Char('[')) && nome.endsWith(QLatin1Char(']')))
        || (nome.startsWith(QLatin1Char('"')) && nome.endsWith(QLatin1Char('"'))))
        nome = nome.mid(1, nome.size() - 2);
    return nome;
}

// A null text is written as the empty text (see Imposta), so it is looked
// up as the empty text too: a row written with it is found again.
QVariant ValoreCercato(const QVariant& valore)
{
    if (valore.typeId() == QMetaType::QString && valore.toString().isNull())
        return QStringLiteral("");
    return valore;
}

// True when writing nuovo over attuale would store what is already there:
// both null, the same text (letter case counts), or the same whole number or
// the same double. Anything else is written.
bool StessoValore(const QVariant& nuovo, const QVariant& attuale)
{
    if (nuovo.isNull() || attuale.isNull())
        return nuovo.isNull() && attuale.isNull();
    const int tipo = nuovo.typeId();
    const int tipoAttuale = attuale.typeId();
    auto intero = [](int t) { return t == QMetaType::Int || t == QMetaType::LongLong || t == QMetaType::Short; };
    if (tipo == QMetaType::QString && tipoAttuale == QMetaType::QString)
        return *static_cast<const QString*>(nuovo.constData()) == *static_cast<const QString*>(attuale.constData());
    if (intero(tipo) && intero(tipoAttuale))
        return nuovo.toLongLong() == attuale.toLongLong();
    if (tipo == QMetaType::Double && tipoAttuale == QMetaType::Double)
        return nuovo.toDouble() == attuale.toDouble();
    return false;
}

// The statement with every "?" marker outside quotes replaced by what
// segno gives, in order.
QString SostituisciSegni(const QString& sql, const std::function<QString()>& segno)
{
    QString risultato;
    QChar virgolette;  // the quote that opened the current literal or name
    for (const QChar c : sql) {
        if (!virgolette.isNull()) {
            if (c == virgolette)
                virgolette = QChar();
        } else if (c == u'\'' || c == u'"') {
            virgolette = c;
        } else if (c == u'?') {
            risultato += segno();
            continue;
        }
        risultato += c;
    }
    return risultato;
}

}  // namespace

Recordset::Recordset(DatabaseLink& db) : m_db(db) { }

Recordset::~Recordset() = default;

void Recordset::Apri(const QString& sqlJet, const QVariantList& valori)
{
    m_stato = Stato::Nessuno;
    Lettura& lettura = Prepara(sqlJet);
    Comando& q = *lettura.query;
    for (int i = 0; i < valori.size(); ++i)
        q.Lega(i, ValoreCercato(valori[i]));
    m_righe.clear();
    m_posizione = 0;
    m_corrente = nullptr;
    q.Esegui();
    if (lettura.colonne.isEmpty())
        Descrivi(lettura, q, 0);
    m_corrente = &lettura;
    const int n = static_cast<int>(lettura.colonne.size());
    while (q.Successivo()) {
        std::vector<QVariant> riga(n);
        for (int c = 0; c < n; ++c)
            riga[c] = q.Valore(c);
        m_righe.push_back(std::move(riga));
    }
    q.Termina();
}

void Recordset::Descrivi(Lettura& lettura, const Comando& query, int salta)
{
    if (!lettura.tabella.isEmpty())
        lettura.schemaTabella = m_db.SchemaCondiviso(lettura.tabella);
    const SchemaTabella* schema = lettura.schemaTabella.get();
    for (int c = salta; c < query.NumeroColonne(); ++c) {
        const QString nome = query.NomeColonna(c);
        lettura.indice.insert(nome.toLower(), static_cast<int>(lettura.colonne.size()));
        lettura.colonne << nome;
        lettura.schema.push_back(schema ? schema->Colonna(nome) : nullptr);
    }
}

// A statement that reads whole rows of one table can write them back: the
// row identity is read along with them. On a file database that is the row
// number; elsewhere the primary key (a table without one can take new rows
// but refuses changes to existing ones).
Recordset::Lettura& Recordset::Prepara(const QString& sqlJet)
{
    auto it = m_letture.find(sqlJet);
    if (it != m_letture.end())
        return *it.value();
    static const QRegularExpression unaTabella(
        QStringLiteral(
            "^\\s*select\\s+(\\*|[\\w\\s,\\[\\]\"]+?)\\s+from\\s+(\\[[^\\]]+\\]|\"[^\"]+\"|\\w+)\\s*(\\bwhere\\b.*|\\border\\b.*)?$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    auto nuova = std::make_shared<Lettura>();
    Lettura& lettura = *nuova;
    QString sql = m_db.TraduciPerEseguire(sqlJet);
    const auto m = unaTabella.match(sql);
    if (m.hasMatch() && m_db.EsisteTabella(SoloNome(m.captured(2)))) {
        lettura.tabella = SoloNome(m.captured(2));
        QStringList identita = m_db.IdentitaRiga(lettura.tabella);
        lettura.chiave = identita;
        for (int i = 0; i < identita.size(); ++i)
            identita[i] += QStringLiteral(" AS ") + ColonnaRiga(i);
        identita << sql.mid(m.capturedStart(1));
        sql = QStringLiteral("SELECT ") + identita.join(QStringLiteral(", "));
    }
    lettura.query = Comando::Prepara(m_db, sql);
    lettura.sql = sql;
    m_letture.insert(sqlJet, nuova);
    return lettura;
}

const Recordset::Lettura& Recordset::Corrente() const
{
    static const Lettura nessuna;
    return m_corrente ? *m_corrente : nessuna;
}

void Recordset::Successivo()
{
    if (!Fine())
        ++m_posizione;
}

void Recordset::Posiziona(int riga) { m_posizione = std::clamp(riga, 0, NumeroRighe()); }

void Recordset::Elimina()
{
    if (Corrente().tabella.isEmpty() || Fine())
        throw ErroreRun(3021, QStringLiteral("Nessun record corrente"));
    if (Identita() == 0)
        throw ErroreRun(3027,
                        QStringLiteral("Impossibile eliminare le righe della tabella %1: non ha una chiave primaria")
                            .arg(Corrente().tabella));
    QStringList condizioni;
    QVariantList valori;
    for (int k = 0; k < Identita(); ++k) {
        condizioni << Corrente().chiave[k] + QStringLiteral(" = ?");
        valori << m_righe[m_posizione][k];
    }
    m_stato = Stato::Nessuno;
    m_db.EseguiParametri(QStringLiteral("DELETE FROM %1 WHERE %2")
                             .arg(m_db.Quota(Corrente().tabella), condizioni.join(QStringLiteral(" AND "))),
                         valori);
    m_righe.erase(m_righe.begin() + m_posizione);
}

int Recordset::IndiceColonna(const QString& colonna) const
{
    if (!m_corrente)
        return -1;
    // Callers spell a column the same way every time: remember their
    // spelling so that the case-insensitive match is made once.
    auto it = m_corrente->nomiUsati.constFind(colonna);
    if (it != m_corrente->nomiUsati.cend())
        return it.value();
    const int indice = m_corrente->indice.value(colonna.toLower(), -1);
    m_corrente->nomiUsati.insert(colonna, indice);
    return indice;
}

QVariant Recordset::Leggi(const QString& colonna) const
{
    const int c = IndiceColonna(colonna);
    if (c < Identita())
        throw ErroreRun(CodiciErrore::CampoInesistente,
                        QStringLiteral("Elemento non trovato nell'insieme: ") + colonna);
    if (Fine())
        throw ErroreRun(3021, QStringLiteral("Nessun record corrente"));
    return m_righe[m_posizione][c];
}

void Recordset::AggiungiNuovo()
{
    if (Corrente().tabella.isEmpty())
        throw ErroreRun(3027, QStringLiteral("Impossibile aggiornare: il record set è di sola lettura"));
    m_stato = Stato::Aggiunta;
    NuoviValori();
}

void Recordset::Modifica()
{
    if (Corrente().tabella.isEmpty())
        throw ErroreRun(3027, QStringLiteral("Impossibile aggiornare: il record set è di sola lettura"));
    if (Fine())
        throw ErroreRun(3021, QStringLiteral("Nessun record corrente"));
    if (Identita() == 0)
        throw ErroreRun(3027,
                        QStringLiteral("Impossibile modificare le righe della tabella %1: non ha una chiave primaria")
                            .arg(Corrente().tabella));
    m_stato = Stato::Modifica;
    NuoviValori();
}

// No column is set yet. The values of the last row stay in place until
// they are overwritten: only the columns marked as set are ever read.
void Recordset::NuoviValori()
{
    const qsizetype colonne = Corrente().colonne.size();
    if (static_cast<qsizetype>(m_nuovi.size()) != colonne) {
        m_propri.assign(colonne, QVariant());
        m_nuovi.assign(colonne, nullptr);
    }
    m_impostati.fill('0', colonne);
}

void Recordset::Imposta(const QString& colonna, const QVariant& valore)
{
    if (m_stato == Stato::Nessuno)
        throw ErroreRun(3020, QStringLiteral("Aggiornamento o annullamento senza AddNew o Edit"));
    const int c = IndiceColonna(colonna);
    if (c < Identita())
        throw ErroreRun(CodiciErrore::CampoInesistente,
                        QStringLiteral("Elemento non trovato nell'insieme: ") + colonna);
    Imposta(c, valore);
}

void Recordset::Imposta(int c, const QVariant& valore) { Imposta(c, valore, false); }

void Recordset::ImpostaPrestato(int c, const QVariant& valore) { Imposta(c, valore, true); }

void Recordset::Imposta(int c, const QVariant& valore, bool prestato)
{
    if (m_stato == Stato::Nessuno)
        throw ErroreRun(3020, QStringLiteral("Aggiornamento o annullamento senza AddNew o Edit"));
    const Lettura& lettura = Corrente();
    if (c < Identita() || c >= lettura.colonne.size())
        throw ErroreRun(CodiciErrore::CampoInesistente, QStringLiteral("Elemento non trovato nell'insieme"));
    const ColonnaSchema* schema = lettura.schema[c];
    const bool testo = valore.typeId() == QMetaType::QString;
    QVariant& proprio = m_propri[c];
    const QVariant* v = &proprio;
    if (schema && !schema->testo && testo && static_cast<const QString*>(valore.constData())->isEmpty())
        proprio = QVariant();  // empty text into a number or date column
    else if ((!schema || schema->testo) && valore.typeId() == QMetaType::QDate)
        proprio = valore.toDate().toString(Qt::ISODate);
    else if ((!schema || schema->testo) && testo && static_cast<const QString*>(valore.constData())->isNull())
        proprio = QStringLiteral("");  // the empty text is stored as such, not as null
    else if (prestato)
        v = &valore;
    else
        proprio = valore;
    if (schema && schema->testo && schema->dimensione > 0 && v->typeId() == QMetaType::QString
        && static_cast<const QString*>(v->constData())->size() > schema->dimensione)
        throw ErroreRun(CodiciErrore::ValoreTroppoGrande,
                        QStringLiteral("Il campo è troppo piccolo per accettare la quantità di dati"));
    // An edit leaves out the columns that keep their value, so that the
    // indexes on them are not rewritten.
    m_impostati[c] = m_stato == Stato::Modifica && StessoValore(*v, m_righe[m_posizione][c]) ? '0' : '1';
    m_nuovi[c] = v;
}

Comando& Recordset::Prepara(QHash<QByteArray, std::shared_ptr<Comando>>& cache, const QString& sql)
{
    std::shared_ptr<Comando> comando = Comando::Prepara(m_db, sql);
    cache.insert(m_impostati, comando);
    return *comando;
}

void Recordset::Aggiorna()
{
    if (m_stato == Stato::Aggiunta)
        Inserisci();
    else if (m_stato == Stato::Modifica)
        Cambia();
    else
        throw ErroreRun(3020, QStringLiteral("Aggiornamento o annullamento senza AddNew o Edit"));
    m_stato = Stato::Nessuno;
}

// "INSERT INTO t (a, b...)" for the columns that were set.
const QString& Recordset::InizioInserimento()
{
    QString& inizio = m_corrente->inizi[m_impostati];
    if (inizio.isEmpty()) {
        QStringList nomi;
        for (int c = 0; c < Corrente().colonne.size(); ++c)
            if (m_impostati[c] == '1')
                nomi << m_db.Quota(Corrente().colonne[c]);
        inizio =
            QStringLiteral("INSERT INTO %1 (%2)").arg(m_db.Quota(Corrente().tabella), nomi.join(QStringLiteral(", ")));
    }
    return inizio;
}

void Recordset::Inserisci()
{
    const int impostate = static_cast<int>(m_impostati.count('1'));
    if (impostate > 0 && m_db.BloccoAperto()) {
        // Sent with the rest of the block's rows.
        FormaRighe& forma = m_corrente->raccolte['I' + m_impostati].forma;
        if (forma.riga.isEmpty()) {
            forma.inizio = InizioInserimento() + QStringLiteral(" VALUES ");
            forma.riga = QStringLiteral("(?") + QStringLiteral(", ?").repeated(impostate - 1) + QLatin1Char(')');
            forma.valori = impostate;
            forma.copia =
                QString(InizioInserimento()).replace(0, 11, QStringLiteral("COPY")) + QStringLiteral(" FROM STDIN");
        }
        m_valoriRiga.clear();
        for (int c = 0; c < m_impostati.size(); ++c)
            if (m_impostati[c] == '1')
                m_valoriRiga.push_back(m_nuovi[c]);
        if (m_db.RaccogliRiga(forma, m_valoriRiga))
            return;
    }
    auto it = m_corrente->inserimenti.find(m_impostati);
    Comando* comando = it == m_corrente->inserimenti.end() ? nullptr : it.value().get();
    if (!comando) {
        QStringList segni;
        for (int c = 0; c < impostate; ++c)
            segni << QStringLiteral("?");
        const QString sql = impostate == 0
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(m_db.Quota(Corrente().tabella))
            : InizioInserimento() + QStringLiteral(" VALUES (%1)").arg(segni.join(QStringLiteral(", ")));
        comando = &Prepara(m_corrente->inserimenti, sql);
    }
    EseguiScrittura(*comando, -1);
}

void Recordset::Cambia()
{
    if (Identita() == 0 || Fine())
        throw ErroreRun(3021, QStringLiteral("Nessun record corrente"));
    if (!m_impostati.contains('1'))
        return;
    auto it = m_corrente->modifiche.find(m_impostati);
    Comando* comando = it == m_corrente->modifiche.end() ? nullptr : it.value().get();
    if (RaccogliModifica()) {
        comando = nullptr;
    } else if (!comando) {
        QStringList assegnazioni;
        for (int c = 0; c < Corrente().colonne.size(); ++c)
            if (m_impostati[c] == '1')
                assegnazioni << m_db.Quota(Corrente().colonne[c]) + QStringLiteral(" = ?");
        QStringList identita;
        for (const QString& colonna : Corrente().chiave)
            identita << colonna + QStringLiteral(" = ?");
        comando = &Prepara(m_corrente->modifiche,
                           QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                               .arg(m_db.Quota(Corrente().tabella), assegnazioni.join(QStringLiteral(", ")),
                                    identita.join(QStringLiteral(" AND "))));
    }
    if (comando)
        EseguiScrittura(*comando, m_posizione);
    std::vector<QVariant>& riga = m_righe[m_posizione];
    for (int c = 0; c < m_impostati.size(); ++c)
        if (m_impostati[c] == '1')
            riga[c] = *m_nuovi[c];
    // A changed key column moves the row: its identity follows.
    for (int k = 0; k < Identita() && !m_db.IdentitaFissa(); ++k) {
        const int c = m_corrente->indice.value(SoloNome(Corrente().chiave[k]).toLower(), -1);
        if (c >= Identita() && m_impostati[c] == '1')
            riga[k] = *m_nuovi[c];
    }
}

// Binds the columns that were set (and, for an edit, the row identity) and
// runs the statement.
void Recordset::EseguiScrittura(Comando& comando, int riga)
{
    int segno = 0;
    for (int c = 0; c < m_impostati.size(); ++c)
        if (m_impostati[c] == '1')
            comando.Lega(segno++, *m_nuovi[c]);
    if (riga >= 0)
        for (int k = 0; k < Identita(); ++k)
            comando.Lega(segno++, m_righe[riga][k]);
    // A write outside a transaction is its own commit: checked before and
    // after, as a commit is (inside one, the commit checks).
    const bool daSolo = !m_db.InTransazione();
    try {
        if (daSolo)
            m_db.ControllaFileDitta();
        comando.Esegui();
        comando.Termina();
        if (daSolo)
            m_db.ControllaFileDitta();
    } catch (const ErroreRun&) {
        m_stato = Stato::Nessuno;
        throw;
    }
}

// "UPDATE t SET a = (quiva_v.n).a FROM (SELECT unnest(?::t[]) AS n,
// unnest(?::t[]) AS w) AS quiva_v WHERE t.k = (quiva_v.w).k" (unnest in the
// select list keeps each row whole; in FROM it would be spread into its
// columns): the new values and the identities travel as
// two arrays of the table's own row type, so the server reads every value as
// its column's type, as it does a single statement's marker, and plans one
// short statement however many rows the block changes. Null when the set's
// columns cannot all be placed in the table's row.
const Recordset::Raccolta* Recordset::RaccoltaModifica()
{
    const QByteArray chiave = 'M' + m_impostati;
    auto trovata = m_corrente->raccolte.constFind(chiave);
    if (trovata != m_corrente->raccolte.cend())
        return trovata->forma.matrici.isEmpty() ? nullptr : &*trovata;
    Raccolta& raccolta = m_corrente->raccolte[chiave];
    FormaRighe& forma = raccolta.forma;
    const SchemaTabella* schema = m_corrente->schemaTabella.get();
    if (!schema || !m_db.RaccoglieRighe())
        return nullptr;
    const int colonne = static_cast<int>(schema->colonne.size());
    auto posto = [&](const ColonnaSchema* colonna) { return static_cast<int>(colonna - schema->colonne.data()); };
    const QString tabella = m_db.Quota(Corrente().tabella);
    QStringList assegnazioni, condizioni;
    std::vector<bool> assegnate(static_cast<size_t>(colonne));
    for (int c = 0; c < m_impostati.size(); ++c) {
        if (m_impostati[c] != '1')
            continue;
        const ColonnaSchema* colonna = m_corrente->schema[c];
        if (!colonna || assegnate[static_cast<size_t>(posto(colonna))])
            return nullptr;
        assegnate[static_cast<size_t>(posto(colonna))] = true;
        raccolta.segni.push_back(c);
        forma.posti.push_back(posto(colonna));
        const QString nome = m_db.Quota(colonna->nome);
        assegnazioni << nome + QStringLiteral(" = (quiva_v.n).") + nome;
    }
    for (int k = 0; k < Identita(); ++k) {
        const ColonnaSchema* colonna = schema->Colonna(SoloNome(Corrente().chiave[k]));
        if (!colonna)
            return nullptr;
        raccolta.segni.push_back(-1 - k);
        forma.posti.push_back(colonne + posto(colonna));
        const QString nome = m_db.Quota(colonna->nome);
        condizioni << tabella + QLatin1Char('.') + nome + QStringLiteral(" = (quiva_v.w).") + nome;
    }
    forma.matrici =
        QStringLiteral("UPDATE %1 SET %2 FROM (SELECT unnest(?::%1[]) AS n, unnest(?::%1[]) AS w) AS quiva_v "
                       "WHERE %3")
            .arg(tabella, assegnazioni.join(QStringLiteral(", ")), condizioni.join(QStringLiteral(" AND ")));
    forma.colonne = colonne;
    forma.valori = static_cast<int>(raccolta.segni.size());
    return &raccolta;
}

bool Recordset::RaccogliModifica()
{
    if (!m_db.BloccoAperto() || Identita() == 0)
        return false;
    const Raccolta* raccolta = RaccoltaModifica();
    if (!raccolta)
        return false;
    const std::vector<QVariant>& riga = m_righe[m_posizione];
    m_valoriRiga.clear();
    QString identita = Corrente().tabella;
    for (int segno : raccolta->segni) {
        if (segno >= 0) {
            m_valoriRiga.push_back(m_nuovi[segno]);
        } else {
            m_valoriRiga.push_back(&riga[-1 - segno]);
            identita += QChar(0x1f) + riga[-1 - segno].toString();
        }
    }
    return m_db.RaccogliRiga(raccolta->forma, m_valoriRiga, identita);
}

// The statement once per look-up, as a lateral subquery of the look-ups'
// values: "SELECT quiva_v.n, quiva_l.* FROM unnest(?::text[]) WITH ORDINALITY
// AS quiva_v(p0, n) CROSS JOIN LATERAL (statement with quiva_v.p0 for its
// marker OFFSET 0) AS quiva_l", one array per marker, typed by its values.
// OFFSET 0 keeps the subquery whole, so each look-up runs on the key's index.
std::vector<Recordset::Righe> Recordset::CercaMolti(const QString& sqlJet, const std::vector<QVariantList>& valori)
{
    Lettura& lettura = Prepara(sqlJet);
    if (valori.empty())
        return {};
    // The same statement serves any number of look-ups, and the server reads
    // a few arrays rather than planning a list of rows every time.
    const size_t segni = valori.front().size();
    QStringList tipi;
    std::vector<std::vector<QVariant>> matrici(segni);
    for (size_t p = 0; p < segni; ++p) {
        matrici[p].reserve(valori.size());
        for (const QVariantList& riga : valori)
            matrici[p].push_back(ValoreCercato(riga.value(static_cast<qsizetype>(p))));
        const QString tipo = TipoMatrice(matrici[p]);
        if (tipo.isEmpty())
            return {};
        tipi << tipo;
    }
    std::shared_ptr<Comando>& query = lettura.molti[tipi.join(QLatin1Char(','))];
    if (!query) {
        QStringList parametri, colonne;
        for (qsizetype p = 0; p < tipi.size(); ++p) {
            parametri << QStringLiteral("?::%1[]").arg(tipi[p]);
            colonne << QStringLiteral("p%1").arg(p);
        }
        int segno = 0;
        const QString sql = SostituisciSegni(lettura.sql, [&] { return QStringLiteral("quiva_v.p%1").arg(segno++); });
        if (segno != static_cast<int>(segni))
            return {};
        query = Comando::Prepara(
            m_db,
            QStringLiteral("SELECT quiva_v.n, quiva_l.* FROM unnest(%1) WITH ORDINALITY AS quiva_v(%2, n) "
                           "CROSS JOIN LATERAL (%3 OFFSET 0) AS quiva_l")
                .arg(parametri.join(QStringLiteral(", ")), colonne.join(QStringLiteral(", ")), sql));
    }
    for (size_t p = 0; p < segni; ++p)
        query->Lega(static_cast<int>(p), MatriceValori(matrici[p]));
    m_db.EseguiInizioBlocco(*query);
    if (lettura.colonne.isEmpty())
        Descrivi(lettura, *query, 1);
    std::vector<Righe> trovate(valori.size());
    const int colonne = static_cast<int>(lettura.colonne.size());
    while (query->Successivo()) {
        const qlonglong i = query->Valore(0).toLongLong() - 1;  // the ordinality counts from 1
        if (i < 0 || i >= static_cast<qlonglong>(valori.size()))
            continue;
        std::vector<QVariant> riga(colonne);
        for (int c = 0; c < colonne; ++c)
            riga[c] = query->Valore(c + 1);
        trovate[static_cast<size_t>(i)].push_back(std::move(riga));
    }
    query->Termina();
    return trovate;
}

void Recordset::ApriCon(const QString& sqlJet, Righe righe)
{
    m_stato = Stato::Nessuno;
    m_corrente = &Prepara(sqlJet);
    m_righe = std::move(righe);
    m_posizione = 0;
}
