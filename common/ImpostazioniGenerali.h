#pragma once
// Company and user settings that the screens read (formats, colours,
// switches, month names), next to the currency settings of ImpostazioniDitta.
// Filled once at start-up; the defaults below hold until then.
#include <QString>
#include <QStringList>
#include <cstdint>

struct FormatiMoneta {
    QString variabile;                                  // "#,###" + decimals shown only as needed
    QString cancelletto;                                // "#,###" with '#' decimal digits
    QString fisso;                                      // "#,##0" with '0' decimal digits
    QString variabileGest, cancellettoGest, fissoGest;  // the same for NumDecGest
};

struct ImpostazioniGenerali {
    // Colours in the suite's 32-bit form (0x00BBGGRR; 0x800000nn = system colour nn).
    static constexpr std::uint32_t ColoreSistemaSfondoFinestra = 0x80000005u;
    static constexpr std::uint32_t ColoreSistemaFacciaPulsante = 0x8000000Fu;

    FormatiMoneta formatiLira, formatiEuro, formatiDitta;
    QString formatoQta;           // quantities, '#' decimal digits
    QString formatoQtaVariabile;  // quantities, decimals as needed
    std::uint32_t colBackGotFocus = 0xFFFF80u;
    std::uint32_t colBackLostFocus = ColoreSistemaSfondoFinestra;
    std::uint32_t colBackForm = 0;  // 0: screens keep their own colours
    QString massimizzato;           // comma list ending with ","
    QString arrotIvaEuro = QStringLiteral("A");
    QString tastierinoVirgola;
    QString decodHelpAbil = QStringLiteral("N");
    bool decodHelpPersKey = false;
    QString sqlLogin, sqlPwd;
    QString formatData = QStringLiteral("dd/mm/yyyy");

    // True when windows of the named program open maximised.
    bool Massimizza(const QString& programma) const;
    // Month name, 1 to 12 ("Gennaio" ... "Dicembre"); empty outside.
    static QString NomeMese(int mese);
};
