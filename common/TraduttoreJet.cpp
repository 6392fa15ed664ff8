#include "TraduttoreJet.h"

#include "DatabaseLink.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

// One piece of a statement: a quoted literal, a bracketed name, a word, or
// any other single character.
struct Pezzo {
    enum Tipo { Letterale, Nome, Parola, Altro } tipo;
    QString testo;
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
                pezzi.append({Pezzo::Letterale, QStringLiteral("'%1-%2-%3'")
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

// Function names of Jet that are keywords or missing here.
QString NomeFunzione(const QString& parola)
{
    static const char* const rinominate[][2] = {{"left", "jet_left"}, {"right", "jet_right"}, {"isnull", "jet_isnull"}};
    for (const auto& [jet, nostro] : rinominate)
        if (parola.compare(QLatin1String(jet), Qt::CaseInsensitive) == 0)
            return QLatin1String(nostro);
    return parola;
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
    const QString riga = dialetto == DialettoDb::Sqlite ? QStringLiteral("rowid") : QStringLiteral("ctid");
    return QStringLiteral("DELETE FROM %1 WHERE %2 IN (SELECT %1.%2 FROM %3)")
        .arg(tabella, riga, Unisci(pezzi, iTabella));
}

// Text comparisons ignore letter case whatever collation the company's
// tables were created with: the left operand of every comparison gets the
// dialect's case-free collation. Empty for a dialect that compares without
// case on its own.
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

// Index of the last piece before i that is not blank, -1 when none.
qsizetype Precedente(const QList<Pezzo>& pezzi, qsizetype i)
{
    while (--i >= 0)
        if (!(pezzi[i].tipo == Pezzo::Altro && pezzi[i].testo.trimmed().isEmpty()))
            return i;
    return -1;
}

// Only queries and the conditions of action statements are touched; the
// assignments of an UPDATE's SET list are not comparisons.
void ConfrontiSenzaMaiuscole(QList<Pezzo>& pezzi, DialettoDb dialetto)
{
    const QString collazione = CollazioneSenzaMaiuscole(dialetto);
    const qsizetype primo = Prossimo(pezzi, 0);
    if (collazione.isEmpty() || primo >= pezzi.size()
        || !(E(pezzi[primo], "select") || E(pezzi[primo], "update") || E(pezzi[primo], "delete")
             || E(pezzi[primo], "insert")))
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

QString TraduciJet(const QString& sql, DialettoDb dialetto)
{
    QList<Pezzo> pezzi = Dividi(sql);
    for (qsizetype i = 0; i < pezzi.size(); ++i) {
        Pezzo& p = pezzi[i];
        if (p.tipo == Pezzo::Parola) {
            const qsizetype dopo = Prossimo(pezzi, i + 1);
            const bool chiamata = dopo < pezzi.size() && pezzi[dopo].testo == QLatin1String("(");
            if (chiamata)
                p.testo = NomeFunzione(p.testo);
            else if (E(p, "default"))
                p.testo = dialetto == DialettoDb::Sqlite ? QStringLiteral("[Default]") : QStringLiteral("\"Default\"");
        } else if (p.tipo == Pezzo::Nome && dialetto != DialettoDb::Sqlite) {
            p.testo = QLatin1Char('"') + p.testo.mid(1, p.testo.size() - 2) + QLatin1Char('"');
        } else if (p.tipo == Pezzo::Altro && p.testo == QLatin1String("&")) {
            p.testo = QStringLiteral("||");
        }
    }
    ConfrontiSenzaMaiuscole(pezzi, dialetto);
    const qsizetype primo = Prossimo(pezzi, 0);
    if (primo < pezzi.size() && E(pezzi[primo], "delete")) {
        pezzi.remove(0, primo);
        return TraduciDelete(pezzi, dialetto);
    }
    return Unisci(pezzi);
}
