// Micro benchmark of field location and value reading: N delimited lines of
// 10 fields (codes, descriptions with accented letters, integers, amounts
// with decimal comma, dates) located and read, no database.
//   quiva-bench-campi [righe]   (default 1,000,000)
#include "LetturaValore.h"
#include "PosizioneCampo.h"
#include "ScQuivaCampi.h"

#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

std::unique_ptr<ScQuivaCampi> Campo(const char* nome, const char* numCampo, const char* tipo)
{
    auto c = std::make_unique<ScQuivaCampi>();
    c->osTabella = QStringLiteral("Articoli");
    c->osNomeCampo = QLatin1String(nome);
    c->osNumCampo = QLatin1String(numCampo);
    c->osTipoOrig = QStringLiteral("String");
    c->osTipoDest = QLatin1String(tipo);
    return c;
}

QString Riga(int i)
{
    return QStringLiteral("C%1;Descrizione però %2;%3;%4,%5;%6/%7/2024;GRP%8;%9;Città di prova;%10,5;N")
        .arg(i, 7, 10, QLatin1Char('0'))
        .arg(i)
        .arg(i % 1000)
        .arg(i % 100000)
        .arg(i % 100, 2, 10, QLatin1Char('0'))
        .arg(i % 28 + 1, 2, 10, QLatin1Char('0'))
        .arg(i % 12 + 1, 2, 10, QLatin1Char('0'))
        .arg(i % 50)
        .arg(i * 7 % 30000)
        .arg(i % 10);
}

}  // namespace

int main(int argc, char** argv)
{
    const int righe = argc > 1 ? std::atoi(argv[1]) : 1000000;
    PosizioneCampo posizione(QStringLiteral(";"), false);
    std::vector<std::unique_ptr<ScQuivaCampi>> campi;
    campi.push_back(Campo("Codice", "1", "String"));
    campi.push_back(Campo("Descrizione", "2", "String"));
    campi.push_back(Campo("Quantita", "3", "Long"));
    campi.push_back(Campo("Prezzo", "4", "Currency"));
    campi.push_back(Campo("Data", "5", "Date"));
    campi.push_back(Campo("Gruppo", "6", "String"));
    campi.push_back(Campo("Numero", "7", "Integer"));
    campi.push_back(Campo("Citta", "8", "String"));
    campi.push_back(Campo("Peso", "9", "Double"));
    campi.push_back(Campo("Nota", "10", "String"));
    campi[3]->oiNumDec = 2;  // rounded to the currency decimals
    campi[7]->osRiempie = QStringLiteral(" ");
    campi[7]->oiQuanto = 20;
    const ImpostazioniDitta ditta;
    std::vector<CampoCompilato> compilati;
    for (const auto& c : campi)
        compilati.push_back(CompilaCampo(*c, ditta));

    // Lines are made beforehand so that only the reading is timed; each is a
    // separate string, as the file reader hands them over.
    std::vector<QString> testo;
    testo.reserve(static_cast<std::size_t>(righe));
    for (int i = 0; i < righe; ++i)
        testo.push_back(Riga(i));

    QElapsedTimer tempo;
    tempo.start();
    long rifiutati = 0;
    QString costruito;
    for (const QString& riga : testo)
        for (const CampoCompilato& c : compilati)
            rifiutati += LeggiValore(posizione.Testo(riga, c, costruito), c, false).errore.isEmpty() ? 0 : 1;
    const double secondi = static_cast<double>(tempo.nsecsElapsed()) / 1e9;
    const double valori = static_cast<double>(righe) * static_cast<double>(campi.size());
    std::printf("righe %d, campi %zu, rifiutati %ld\n", righe, campi.size(), rifiutati);
    std::printf("lettura: %.3f s, %.0f righe/s, %.1f ns per campo\n", secondi, righe / secondi, secondi * 1e9 / valori);
    return rifiutati == 0 ? 0 : 1;
}
