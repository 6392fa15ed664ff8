// Progressive codes: the next free code of a field in its table, for a
// default "^n[,prefix][:group fields]".
#include "DatabaseLink.h"
#include "FinestraMessaggi.h"
#include "FormUtility.h"
#include "ScQuiva.h"

#include <algorithm>
#include <optional>

namespace {

// The longest code a text column can take.
constexpr long long LunghezzaMassimaCodice = 255;

struct CampoGruppo {
    QString nome;
    QVariant valore;
    int tipo;
};

// The prefix after P: "" -> "A", "B" -> "C", "AZ" -> none.
std::optional<QString> PrefissoSeguente(const QString& prefisso)
{
    if (prefisso.isEmpty())
        return QStringLiteral("A");
    const QChar ultima = prefisso.back().toUpper();
    if (ultima >= u'Z')
        return std::nullopt;
    return prefisso.left(prefisso.size() - 1) + QChar(ultima.unicode() + 1);
}

}  // namespace

QString ScQuiva::ProgressivoCodice(const QString& psRiga, const ScQuivaCampi& pgcampo, int piCodTab)
{
    const QString& tabella = m_slot[piCodTab].tabella;
    const QString& f = pgcampo.osNomeCampo;
    const QString formato = pgcampo.osDefault.mid(1);
    const qsizetype dueP = formato.indexOf(QLatin1Char(':'));
    const QString dimensione = dueP >= 0 ? formato.left(dueP) : formato;

    std::vector<CampoGruppo> gruppi;
    if (dueP >= 0) {
        for (const QString& nome : FormUtility::Split(formato.mid(dueP + 1), QStringLiteral(","))) {
            if (nome.isEmpty())
                continue;
            const ScQuivaCampi* campo = Campo(tabella + QLatin1Char('.') + nome);
            if (!campo)
                return {};
            QVariant valore;
            if (LeggiVal(psRiga, *campo, valore, piCodTab) != 0)
                return {};
            gruppi.push_back({nome, valore, campo->oiTipoDest()});
        }
    }

    const qsizetype virgola = dimensione.indexOf(QLatin1Char(','));
    long long n = FormUtility::TestoAIntero(virgola >= 0 ? dimensione.left(virgola) : dimensione);
    QString prefisso = virgola >= 0 ? dimensione.mid(virgola + 1) : QString();
    const bool soloNumero = n < 1;
    if (soloNumero) {
        n = -std::max(n, -LunghezzaMassimaCodice);  // a counter never has more digits
        prefisso.clear();
    }
    if (n != 0 && prefisso.size() >= n)
        return {};
    if (n > LunghezzaMassimaCodice)
        return {};  // no text column holds it: refused rather than built

    try {
        for (;;) {
            QString condizioni;
            for (const auto& g : gruppi)
                if (!FormUtility::IsVuoto(g.valore))
                    condizioni += QStringLiteral(" and ") + g.nome + QStringLiteral(" = ")
                        + FormUtility::SqlLiteral(g.valore, g.tipo);
            if (!soloNumero) {
                condizioni += QStringLiteral(" and isnumeric(mid(%1,%2)) <> 0").arg(f).arg(prefisso.size() + 1);
                if (n >= 1)
                    condizioni += QStringLiteral(" and len(%1) = %2").arg(f).arg(n);
                if (!prefisso.isEmpty())
                    condizioni += QStringLiteral(" And ") + f + QStringLiteral(" like ")
                        + FormUtility::SqlLiteral(prefisso + QLatin1Char('*'), TipiDato::String);
            }
            QString sql = QStringLiteral("SELECT max(%1) as ultimo FROM %2").arg(f, tabella);
            if (!condizioni.isEmpty())
                sql += QStringLiteral(" Where") + condizioni.mid(4);

            const RecordsetAperto rs(m_rs, sql);
            const QString ultimo = m_rs.Vuoto(rs) ? QString() : m_rs.Leggi(rs, QStringLiteral("ultimo"));
            long long numero = 1;
            if (!ultimo.isEmpty())
                numero = FormUtility::TestoAIntero(soloNumero ? ultimo : ultimo.mid(prefisso.size())) + 1;

            const QString cifre = QString::number(numero);
            if (soloNumero)
                return n == 0 || cifre.size() <= n ? cifre : QString();
            const QString codice = prefisso + cifre.rightJustified(n - prefisso.size(), QLatin1Char('0'));
            if (codice.size() <= n)
                return codice;
            const auto seguente = PrefissoSeguente(prefisso);
            if (!seguente)
                return {};
            prefisso = *seguente;
        }
    } catch (const std::exception& errore) {
        m_ctx.messaggi.MsgErrfrm(errore);
        return {};
    }
}
