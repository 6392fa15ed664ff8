#pragma once
// Settings of the current company that the load engine and the screens read:
// currency codes, lire/euro rate, decimals. Filled once at start-up; until
// then (and in the headless runner without a menu) they hold the defaults.
#include <QString>

struct DecimaliMoneta {
    int numDec = 2;      // decimals of the currency
    int numDecGest = 2;  // decimals used in management
    QString operatore = QStringLiteral("/");
    QString cee = QStringLiteral("N");
};

struct ImpostazioniDitta {
    QString descrizione;
    int numDecQta = 0;
    QString moneta = QStringLiteral("Euro");   // Ditta.Moneta
    QString codLira = QStringLiteral("L.");    // Ditta.CodLira
    QString codEuro = QStringLiteral("Euro");  // Ditta.CodEuro
    QString operCambio = QStringLiteral("/");  // Ditta.OperCambio
    double cambioLiraEuro = 1936.27;           // Ditta.CambioLiraEuro
    DecimaliMoneta lira;
    DecimaliMoneta euro;

    bool MonetaELira() const { return moneta.compare(codLira, Qt::CaseInsensitive) == 0; }
    // Decimals of the company currency: the lira's when the company uses
    // lire, the euro's for any other code.
    const DecimaliMoneta& MonetaDitta() const { return MonetaELira() ? lira : euro; }

    // Lire/euro conversion with the company rate and operator, rounded in
    // mode "A" to the given decimals. A rate of 0 leaves the amount as it is.
    double LireInEuro(double lire, int decimali) const;
    double EuroInLire(double euro, int decimali) const;
};
