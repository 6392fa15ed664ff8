#include "TraduttoreJet.h"

#include "CatalogoNomi.h"
#include "DatabaseLink.h"

#include <QRegularExpression>
#include <QStringList>
#include <optional>

namespace {

// One piece of a statement: a quoted literal, a bracketed name, a word, or
// any other single character.
struct Pezzo {
    enum Tipo { Letterale, Nome, Parola, Altro };
    Pezzo() = default;
    Pezzo(Tipo t, QString s) : tipo(t), testo(std::move(s)) { }
    Tipo tipo = Altro;
    QString testo;
    // A text column found in the catalog: its table and name there.
    ColonnaConfrontata colonnaTesto;
};

QList<Pezzo> Dividi(const QString& sql)
{
    QList<Pezzo> pezzi;
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"') {
            // Jet takes both quotes as text delimiters; the output always
            // uses single quotes.
            QString valore;
            qsizetype j = i + 1;
            while (j < n) {
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        valore += c;
                        j += 2;
                        continue;
                    }
                    break;
                }
                valore += sql[j++];
            }
            valore.replace(QLatin1String("'"), QLatin1String("''"));
            pezzi.append({Pezzo::Letterale, QLatin1Char('\'') + valore + QLatin1Char('\'')});
            i = j + 1;
        } else if (c == u'[') {
            const qsizetype fine = sql.indexOf(QLatin1Char(']'), i);
            const qsizetype j = fine < 0 ? n : fine + 1;
            pezzi.append({Pezzo::Nome, sql.mid(i, j - i)});
            i = j;
        } else if (c.isLetter() || c == u'_') {
            qsizetype j = i;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == u'_'))
                ++j;
            pezzi.append({Pezzo::Parola, sql.mid(i, j - i)});
            i = j;
        } else if (c == u'#') {
            // Jet date literal #mm/dd/yyyy#
            const qsizetype fine = sql.indexOf(QLatin1Char('#'), i + 1);
            static const QRegularExpression data(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{2,4})$"));
            const auto m = fine > 0 ? data.match(sql.mid(i + 1, fine - i - 1)) : QRegularExpressionMatch();
            if (m.hasMatch()) {
                pezzi.append({Pezzo::Letterale,
                              QStringLiteral("'%1-%2-%3'")
                                  .arg(m.captured(3).toInt(), 4, 10, QLatin1Char('0'))
                                  .arg(m.captured(1).toInt(), 2, 10, QLatin1Char('0'))
                                  .arg(m.captured(2).toInt(), 2, 10, QLatin1Char('0'))});
                i = fine + 1;
            } else {
                pezzi.append({Pezzo::Altro, QString(c)});
                ++i;
            }
        } else {
            pezzi.append({Pezzo::Altro, QString(c)});
            ++i;
        }
    }
    return pezzi;
}

QString SenzaParentesi(const Pezzo& p) { return p.tipo == Pezzo::Nome ? p.testo.mid(1, p.testo.size() - 2) : p.testo; }

bool E(const Pezzo& p, const char* parola)
{
    return p.tipo == Pezzo::Parola && p.testo.compare(QLatin1String(parola), Qt::CaseInsensitive) == 0;
}

// Index of the next piece that is not blank, from i on.
qsizetype Prossimo(const QList<Pezzo>& pezzi, qsizetype i)
{
    while (i < pezzi.size() && pezzi[i].tipo == Pezzo::Altro && pezzi[i].testo.trimmed().isEmpty())
        ++i;
    return i;
}

QString Unisci(const QList<Pezzo>& pezzi, qsizetype da = 0)
{
    QString testo;
    for (qsizetype i = da; i < pezzi.size(); ++i)
        testo += pezzi[i].testo;
    return testo;
}

// Function names of Jet that are keywords or missing on SQLite.
QString NomeFunzioneSqlite(const QString& parola)
{
    static const char* const rinominate[][2] = {{"left", "jet_left"}, {"right", "jet_right"}, {"isnull", "jet_isnull"}};
    for (const auto& [jet, nostro] : rinominate)
        if (parola.compare(QLatin1String(jet), Qt::CaseInsensitive) == 0)
            return QLatin1String(nostro);
    return parola;
}

// On a server the Jet functions live in the program's own schema.
QString NomeFunzioneServer(const QString& parola)
{
    static const QStringList jet = {QStringLiteral("iif"),   QStringLiteral("isnull"),    QStringLiteral("val"),
                                    QStringLiteral("mid"),   QStringLiteral("left"),      QStringLiteral("right"),
                                    QStringLiteral("len"),   QStringLiteral("isnumeric"), QStringLiteral("trim"),
                                    QStringLiteral("ucase"), QStringLiteral("lcase")};
    const QString minuscolo = parola.toLower();
    return jet.contains(minuscolo) ? QStringLiteral("quiva.") + minuscolo : parola;
}

// Words of SQL that are never names unless written in brackets.
bool ParolaChiave(const QString& parola)
{
    static const QStringList chiavi = {
        "select",    "from",    "where",   "and",        "or",         "not",     "order",    "by",      "group",
        "having",    "as",      "on",      "join",       "inner",      "left",    "right",    "outer",   "set",
        "values",    "into",    "insert",  "update",     "delete",     "null",    "is",       "in",      "between",
        "like",      "asc",     "desc",    "distinct",   "union",      "all",     "case",     "when",    "then",
        "else",      "end",     "exists",  "true",       "false",      "create",  "table",    "index",   "primary",
        "key",       "unique",  "top",     "limit",      "cross",      "full",    "using",    "with",    "drop",
        "alter",     "add",     "column",  "constraint", "references", "integer", "int",      "varchar", "char",
        "text",      "date",    "double",  "precision",  "numeric",    "real",    "smallint", "bigint",  "decimal",
        "timestamp", "boolean", "collate", "if",         "count",      "max",     "min",      "sum",     "avg"};
    return chiavi.contains(parola.toLower());
}

QString Quota(const QString& nome)
{
    return QLatin1Char('"') + QString(nome).replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
}

bool Blank(const Pezzo& p) { return p.tipo == Pezzo::Altro && p.testo.trimmed().isEmpty(); }

// Index of the previous piece that is not blank, or -1.
qsizetype Precedente(const QList<Pezzo>& pezzi, qsizetype i)
{
    --i;
    while (i >= 0 && Blank(pezzi[i]))
        --i;
    return i;
}

// A name of the statement with the catalog's spelling, quoted; null when the
// catalog does not know it. Columns are looked for in the tables the
// statement names.
struct Risolto {
    QString testo;
    ColonnaConfrontata colonnaTesto;
};

std::optional<Risolto> Risolvi(const QString& nome, const QStringList& tabelle, const CatalogoNomi& catalogo)
{
    if (const QString* t = catalogo.Tabella(nome))
        return Risolto {Quota(*t), {}};
    for (const QString& t : tabelle)
        if (const CatalogoNomi::Colonna* c = catalogo.ColonnaDi(t, nome))
            return Risolto {Quota(c->nome), c->testo ? ColonnaConfrontata {t, c->nome} : ColonnaConfrontata {}};
    return std::nullopt;
}

// "x like 'C*'" and "x not like p": Jet patterns become anchored regular
// expressions, matched without regard to case.
void TraduciLike(QList<Pezzo>& pezzi, qsizetype i)
{
    const qsizetype prima = Precedente(pezzi, i);
    const bool negato = prima >= 0 && E(pezzi[prima], "not");
    if (negato) {
        pezzi[prima].testo.clear();
    }
    pezzi[i] = {Pezzo::Altro, negato ? QStringLiteral("!~*") : QStringLiteral("~*")};
    const qsizetype modello = Prossimo(pezzi, i + 1);
    if (modello >= pezzi.size())
        return;
    qsizetype fine = modello;
    if (pezzi[modello].testo == QLatin1String("(")) {
        for (int livello = 0; fine < pezzi.size(); ++fine) {
            if (pezzi[fine].testo == QLatin1String("("))
                ++livello;
            else if (pezzi[fine].testo == QLatin1String(")") && --livello == 0)
                break;
        }
    }
    pezzi.insert(std::min(fine, pezzi.size() - 1) + 1, {Pezzo::Altro, QStringLiteral(")")});
    pezzi.insert(modello, {Pezzo::Altro, QStringLiteral("(")});
    pezzi.insert(modello, {Pezzo::Altro, QStringLiteral("quiva.modello")});
}

// Queries and action statements; a table's definition is left as written.
bool IstruzioneConConfronti(const QList<Pezzo>& pezzi, qsizetype primo)
{
    return primo < pezzi.size()
        && (E(pezzi[primo], "select") || E(pezzi[primo], "update") || E(pezzi[primo], "delete")
            || E(pezzi[primo], "insert"));
}

// The pieces [inizio, fine] of a simple operand that a case-free comparison
// can lower: a text literal, a "?" marker or a text column (possibly
// qualified by its table).
struct Operando {
    qsizetype inizio = 0;
    qsizetype fine = 0;
};

std::optional<Operando> OperandoSemplice(const QList<Pezzo>& pezzi, qsizetype k)
{
    if (k >= pezzi.size())
        return std::nullopt;
    const Pezzo& p = pezzi[k];
    if (p.tipo == Pezzo::Letterale || p.testo == QLatin1String("?") || !p.colonnaTesto.colonna.isEmpty())
        return Operando {k, k};
    if (p.tipo != Pezzo::Altro && k + 2 < pezzi.size() && pezzi[k + 1].testo == QLatin1String(".")
        && !pezzi[k + 2].colonnaTesto.colonna.isEmpty())
        return Operando {k, k + 2};
    return std::nullopt;
}

void Abbassa(QList<Pezzo>& pezzi, const Operando& o)
{
    pezzi[o.inizio].testo.prepend(QStringLiteral("lower("));
    pezzi[o.fine].testo.append(QLatin1Char(')'));
}

// The operands on the right of a comparison that starts at op: one for
// "=", "<>", "!=", "<", ">", "<=", ">=", two for "between a and b", every
// item of a list for "in (...)", the column of "in (select col from ...)".
// Empty when the right side is anything else (a number, an expression, a
// sub-query giving something else): the comparison is left as written.
QList<Operando> OperandiDestri(const QList<Pezzo>& pezzi, qsizetype op, bool* uguaglianza)
{
    auto carattere = [&](qsizetype k, const char* c) {
        return k < pezzi.size() && pezzi[k].tipo == Pezzo::Altro && pezzi[k].testo == QLatin1String(c);
    };
    auto uno = [&](qsizetype k) {
        const auto o = OperandoSemplice(pezzi, Prossimo(pezzi, k));
        return o ? QList<Operando> {*o} : QList<Operando> {};
    };
    *uguaglianza = false;
    if (carattere(op, "=")) {
        *uguaglianza = true;
        return uno(op + 1);
    }
    if (carattere(op, "<") || carattere(op, ">") || carattere(op, "!")) {
        const bool doppio = carattere(op + 1, "=") || (carattere(op, "<") && carattere(op + 1, ">"));
        if (carattere(op, "!") && !doppio)
            return {};
        return uno(op + (doppio ? 2 : 1));
    }
    if (E(pezzi[op], "between")) {
        const auto da = OperandoSemplice(pezzi, Prossimo(pezzi, op + 1));
        if (!da)
            return {};
        const qsizetype e = Prossimo(pezzi, da->fine + 1);
        if (e >= pezzi.size() || !E(pezzi[e], "and"))
            return {};
        const auto a = OperandoSemplice(pezzi, Prossimo(pezzi, e + 1));
        return a ? QList<Operando> {*da, *a} : QList<Operando> {};
    }
    if (!E(pezzi[op], "in"))
        return {};
    qsizetype k = Prossimo(pezzi, op + 1);
    if (!carattere(k, "("))
        return {};
    // A sub-query that gives one plain column: its column is compared.
    const qsizetype select = Prossimo(pezzi, k + 1);
    if (select < pezzi.size() && E(pezzi[select], "select")) {
        const auto colonna = OperandoSemplice(pezzi, Prossimo(pezzi, select + 1));
        const qsizetype from = colonna ? Prossimo(pezzi, colonna->fine + 1) : pezzi.size();
        return from < pezzi.size() && E(pezzi[from], "from") ? QList<Operando> {*colonna} : QList<Operando> {};
    }
    QList<Operando> elenco;
    for (;;) {
        const auto o = OperandoSemplice(pezzi, Prossimo(pezzi, k + 1));
        if (!o)
            return {};
        elenco << *o;
        k = Prossimo(pezzi, o->fine + 1);
        if (carattere(k, ")"))
            return elenco;
        if (!carattere(k, ","))
            return {};
    }
}

// Comparisons of a text column ("=", "<>", "<", "between", "in (...)", with
// or without "not") ignore case: both sides go through lower(), the form
// that the program's lower-case indexes serve. The assignments of an
// UPDATE's SET list are not comparisons.
void ConfrontiSenzaMaiuscole(QList<Pezzo>& pezzi, QList<ColonnaConfrontata>* colonneUguaglianza)
{
    const qsizetype primo = Prossimo(pezzi, 0);
    if (!IstruzioneConConfronti(pezzi, primo))
        return;
    const bool aggiornamento = E(pezzi[primo], "update");
    int profondita = 0;
    bool inSet = false;
    for (qsizetype i = 0; i < pezzi.size(); ++i) {
        const Pezzo& p = pezzi[i];
        if (p.testo == QLatin1String("("))
            ++profondita;
        else if (p.testo == QLatin1String(")"))
            --profondita;
        else if (profondita == 0 && aggiornamento && E(p, "set"))
            inSet = true;
        else if (profondita == 0 && E(p, "where"))
            inSet = false;
        if ((inSet && profondita == 0) || p.colonnaTesto.colonna.isEmpty())
            continue;
        qsizetype op = Prossimo(pezzi, i + 1);
        if (op < pezzi.size() && E(pezzi[op], "not"))
            op = Prossimo(pezzi, op + 1);
        if (op >= pezzi.size())
            continue;
        bool uguaglianza = false;
        const QList<Operando> destri = OperandiDestri(pezzi, op, &uguaglianza);
        if (destri.isEmpty())
            continue;
        // A qualified "T.col" keeps its table in front of the column.
        const qsizetype inizio = i >= 2 && pezzi[i - 1].testo == QLatin1String(".") ? i - 2 : i;
        if (uguaglianza && colonneUguaglianza)
            colonneUguaglianza->append(p.colonnaTesto);
        Abbassa(pezzi, {inizio, i});
        for (const Operando& o : destri)
            Abbassa(pezzi, o);
        i = destri.last().fine;
    }
}

// "Delete * from T ..." and "Delete T.* From T [joins] Where ...".
QString TraduciDelete(QList<Pezzo> pezzi, DialettoDb dialetto)
{
    qsizetype i = Prossimo(pezzi, 1);
    if (i < pezzi.size() && pezzi[i].testo == QLatin1String("*")) {
        pezzi.remove(i);
    } else if (i + 2 < pezzi.size() && pezzi[i].tipo != Pezzo::Altro && pezzi[i + 1].testo == QLatin1String(".")
               && pezzi[i + 2].testo == QLatin1String("*")) {
        pezzi.remove(i, 3);
    }
    i = Prossimo(pezzi, i);
    if (i >= pezzi.size() || !E(pezzi[i], "from"))
        return Unisci(pezzi);
    const qsizetype iTabella = Prossimo(pezzi, i + 1);
    if (iTabella >= pezzi.size())
        return Unisci(pezzi);
    const QString tabella = pezzi[iTabella].testo;
    bool join = false;
    for (qsizetype k = iTabella + 1; k < pezzi.size(); ++k)
        if (E(pezzi[k], "join"))
            join = true;
    if (!join)
        return QStringLiteral("DELETE FROM ") + Unisci(pezzi, iTabella);
    // Within one statement the physical row address is a sound identity.
    const QString riga = dialetto == DialettoDb::Sqlite ? QStringLiteral("rowid") : QStringLiteral("ctid");
    return QStringLiteral("DELETE FROM %1 WHERE %2 IN (SELECT %1.%2 FROM %3)")
        .arg(tabella, riga, Unisci(pezzi, iTabella));
}

// Text comparisons ignore letter case whatever collation the company's
// tables were created with: the left operand of every comparison gets the
// dialect's case-free collation. Empty for a dialect that compares without
// case on its own or, like the server dialect, through lower() on both sides
// (see ConfrontiSenzaMaiuscole).
QString CollazioneSenzaMaiuscole(DialettoDb dialetto)
{
    return dialetto == DialettoDb::Sqlite ? QStringLiteral(" COLLATE NOCASE") : QString();
}

bool InizioConfronto(const QList<Pezzo>& pezzi, qsizetype i)
{
    const Pezzo& p = pezzi[i];
    if (p.tipo == Pezzo::Parola)
        return E(p, "in") || E(p, "between");
    if (p.tipo != Pezzo::Altro || p.testo.size() != 1 || !QStringLiteral("=<>!").contains(p.testo))
        return false;
    if (i > 0 && pezzi[i - 1].tipo == Pezzo::Altro && QStringLiteral("=<>!").contains(pezzi[i - 1].testo))
        return false;  // second character of "<>", "<=", ">=", "!="
    return p.testo != QLatin1String("!") || (i + 1 < pezzi.size() && pezzi[i + 1].testo == QLatin1String("="));
}

// Only queries and the conditions of action statements are touched; the
// assignments of an UPDATE's SET list are not comparisons.
void ConfrontiCollati(QList<Pezzo>& pezzi, DialettoDb dialetto)
{
    const QString collazione = CollazioneSenzaMaiuscole(dialetto);
    const qsizetype primo = Prossimo(pezzi, 0);
    if (collazione.isEmpty() || !IstruzioneConConfronti(pezzi, primo))
        return;
    int profondita = 0;
    bool inSet = false;
    for (qsizetype i = primo; i < pezzi.size(); ++i) {
        const Pezzo& p = pezzi[i];
        if (p.testo == QLatin1String("("))
            ++profondita;
        else if (p.testo == QLatin1String(")"))
            --profondita;
        else if (profondita == 0 && E(p, "set") && E(pezzi[primo], "update"))
            inSet = true;
        else if (profondita == 0 && E(p, "where"))
            inSet = false;
        if ((inSet && profondita == 0) || !InizioConfronto(pezzi, i))
            continue;
        qsizetype sinistro = Precedente(pezzi, i);
        if (sinistro >= 0 && E(pezzi[sinistro], "not"))
            sinistro = Precedente(pezzi, sinistro);
        if (sinistro < 0)
            continue;
        pezzi.insert(sinistro + 1, {Pezzo::Altro, collazione});
        ++i;
    }
}

}  // namespace

QString TraduciJet(const QString& sql, DialettoDb dialetto, const CatalogoNomi* catalogo,
                   QList<ColonnaConfrontata>* colonneUguaglianza)
{
    QList<Pezzo> pezzi = Dividi(sql);
    const bool sqlite = dialetto == DialettoDb::Sqlite;
    QStringList tabelle;
    if (catalogo)
        for (const Pezzo& p : pezzi)
            if ((p.tipo == Pezzo::Parola || p.tipo == Pezzo::Nome) && catalogo->Tabella(SenzaParentesi(p)))
                tabelle << *catalogo->Tabella(SenzaParentesi(p));
    for (qsizetype i = 0; i < pezzi.size(); ++i) {
        Pezzo& p = pezzi[i];
        if (p.tipo == Pezzo::Parola) {
            const qsizetype dopo = Prossimo(pezzi, i + 1);
            const bool chiamata = dopo < pezzi.size() && pezzi[dopo].testo == QLatin1String("(");
            if (chiamata) {
                p.testo = sqlite ? NomeFunzioneSqlite(p.testo) : NomeFunzioneServer(p.testo);
            } else if (!sqlite && E(p, "like")) {
                TraduciLike(pezzi, i);
            } else if (E(p, "default") || !ParolaChiave(p.testo)) {
                const auto risolto = catalogo ? Risolvi(p.testo, tabelle, *catalogo) : std::nullopt;
                if (risolto) {
                    p.testo = risolto->testo;
                    p.colonnaTesto = risolto->colonnaTesto;
                } else if (E(p, "default")) {
                    p.testo = sqlite ? QStringLiteral("[Default]") : QStringLiteral("\"Default\"");
                }
            }
        } else if (p.tipo == Pezzo::Nome && !sqlite) {
            const auto risolto = catalogo ? Risolvi(SenzaParentesi(p), tabelle, *catalogo) : std::nullopt;
            p.testo = risolto ? risolto->testo : Quota(SenzaParentesi(p));
            if (risolto)
                p.colonnaTesto = risolto->colonnaTesto;
        } else if (p.tipo == Pezzo::Altro && p.testo == QLatin1String("&")) {
            p.testo = QStringLiteral("||");
        }
    }
    if (!CollazioneSenzaMaiuscole(dialetto).isEmpty())
        ConfrontiCollati(pezzi, dialetto);
    else
        ConfrontiSenzaMaiuscole(pezzi, colonneUguaglianza);
    const qsizetype primo = Prossimo(pezzi, 0);
    if (primo < pezzi.size() && E(pezzi[primo], "delete")) {
        pezzi.remove(0, primo);
        return TraduciDelete(pezzi, dialetto);
    }
    return Unisci(pezzi);
}
