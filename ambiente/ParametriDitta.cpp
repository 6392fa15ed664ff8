#include "ParametriDitta.h"

#include "DatabaseLink.h"
#include "FormUtility.h"
#include "FormUtilityAvvio.h"
#include "MenuServer.h"
#include "RecordsetManager.h"

int LeggiDecMoneta(DatabaseLink& db, const QString& codice, DecimaliMoneta& uscita)
{
    uscita = DecimaliMoneta {};
    RecordsetManager record(db);
    const RecordsetAperto nome(record,
                               QStringLiteral("Select * from Monete") + QStringLiteral(" where moneta = ")
                                   + FormUtility::SqlLiteral(codice, TipiDato::String));
    if (!record.Vuoto(nome)) {
        auto intero = [&](const char* colonna, int predefinito) {
            const QString testo = record.Leggi(nome, QString::fromLatin1(colonna)).trimmed();
            return testo.isEmpty() ? predefinito : static_cast<int>(FormUtility::TestoAIntero(testo));
        };
        uscita.numDec = intero("NumDec", 2);
        uscita.numDecGest = intero("NumDecGest", 2);
        uscita.operatore = record.Leggi(nome, QStringLiteral("Operatore"));
        uscita.cee = record.Leggi(nome, QStringLiteral("Cee"));
    }
    return uscita.numDec;
}

FormatiMoneta FormatiDecimali(const DecimaliMoneta& d)
{
    using FormUtility::FormatoNumero;
    const QString migliaia = QStringLiteral("#,###");
    const QString fisso = QStringLiteral("#,##0");
    return {FormatoNumero(migliaia, QLatin1Char('#'), d.numDec),
            FormatoNumero(migliaia, QLatin1Char('#'), d.numDec),
            FormatoNumero(fisso, QLatin1Char('0'), d.numDec),
            FormatoNumero(migliaia, QLatin1Char('#'), d.numDecGest),
            FormatoNumero(migliaia, QLatin1Char('#'), d.numDecGest),
            FormatoNumero(fisso, QLatin1Char('0'), d.numDecGest)};
}

std::uint32_t TestoAColore(const QString& testo, std::uint32_t predefinito)
{
    QString t = testo.trimmed();
    if (t.isEmpty())
        return predefinito;
    bool ok = false;
    std::uint32_t valore = 0;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        t = t.mid(2);
        if (t.endsWith(QLatin1Char('&')))
            t.chop(1);
        valore = t.toUInt(&ok, 16);
    } else {
        const qlonglong numero = t.toLongLong(&ok);
        valore = static_cast<std::uint32_t>(numero);  // negative system colours wrap to 0x8000....
    }
    return ok ? valore : predefinito;
}

void LeggiParametriDitta(MenuServer& menu, DatabaseLink* db,
                         const std::function<QString(const QString&, const QString&, const QString&)>& leggiIni,
                         ImpostazioniDitta& ditta, ImpostazioniGenerali& generali)
{
    auto parametro = [&](const char* nome, const QString& predefinito = {}) {
        const QString valore = menu.ParametroDitta(QString::fromLatin1(nome)).trimmed();
        return valore.isEmpty() ? predefinito : valore;
    };
    auto impostazione = [&](const char* nome, const QString& predefinito) {
        const QString valore =
            menu.ImpostazioneUtente(QString::fromLatin1(nome), QStringLiteral("Tutti"), {predefinito}).trimmed();
        return valore.isEmpty() ? predefinito : valore;
    };

    ditta.descrizione = parametro("DescAzie");
    ditta.numDecQta = static_cast<int>(FormUtility::TestoAIntero(parametro("Mag.NumDecQta", QStringLiteral("0"))));
    ditta.moneta = parametro("Ditta.Moneta", QStringLiteral("Euro"));
    ditta.codLira = parametro("Ditta.CodLira", QStringLiteral("L."));
    ditta.codEuro = parametro("Ditta.CodEuro", QStringLiteral("Euro"));
    ditta.operCambio = parametro("Ditta.OperCambio", QStringLiteral("/"));
    ditta.cambioLiraEuro =
        FormUtility::TestoADouble(parametro("Ditta.CambioLiraEuro", QStringLiteral("1936,27"))).value_or(1936.27);
    ditta.lira = DecimaliMoneta {};
    ditta.euro = DecimaliMoneta {};
    if (db) {
        LeggiDecMoneta(*db, ditta.codLira, ditta.lira);
        LeggiDecMoneta(*db, ditta.codEuro, ditta.euro);
    }

    generali.colBackGotFocus = TestoAColore(parametro("ColBackGotFocus"), 0xFFFF80u);
    generali.colBackLostFocus =
        TestoAColore(parametro("ColBacklostFocus"), ImpostazioniGenerali::ColoreSistemaSfondoFinestra);
    generali.colBackForm = TestoAColore(impostazione("ColBackForm", QStringLiteral("0")), 0);
    generali.massimizzato = impostazione("Massimizzato", QString());
    if (!generali.massimizzato.isEmpty() && !generali.massimizzato.endsWith(QLatin1Char(',')))
        generali.massimizzato += QLatin1Char(',');
    generali.arrotIvaEuro = impostazione("ArrotIvaEuro", QStringLiteral("A"));
    generali.tastierinoVirgola = impostazione("TastierinoVirgola", QString());
    generali.decodHelpAbil = impostazione("DecodHelpAbil", QStringLiteral("N"));
    generali.decodHelpPersKey =
        impostazione("DecodHelpPersKey", QStringLiteral("N")).compare(QLatin1String("S"), Qt::CaseInsensitive) == 0;
    generali.sqlLogin = parametro("SqlLogin");
    generali.sqlPwd = parametro("SqlPwd");
    generali.formatData = leggiIni
        ? leggiIni(QStringLiteral("Configurazioni"), QStringLiteral("FormatData"), QStringLiteral("dd/mm/yyyy"))
        : QStringLiteral("dd/mm/yyyy");
    if (generali.formatData.trimmed().isEmpty())
        generali.formatData = QStringLiteral("dd/mm/yyyy");

    generali.formatiLira = FormatiDecimali(ditta.lira);
    generali.formatiEuro = FormatiDecimali(ditta.euro);
    generali.formatiDitta = FormatiDecimali(ditta.MonetaDitta());
    // Quantities: '#' decimal digits, or decimals shown only as needed.
    generali.formatoQta = FormUtility::FormatoNumero(QStringLiteral("#,##0"), QLatin1Char('#'), ditta.numDecQta);
    generali.formatoQtaVariabile =
        FormUtility::FormatoNumero(QStringLiteral("#,###"), QLatin1Char('#'), ditta.numDecQta);
}
