#include "CaricoInterrotto.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>
#include <random>

namespace CaricoInterrotto {

namespace {

QByteArray FileGenerato()
{
    QByteArray testo;
    testo.reserve(Righe * 48);
    for (int i = 1; i <= Righe; ++i) {
        const QByteArray qta = i % OgniErrore == 0 ? "x" + QByteArray::number(i) : QByteArray::number(i % 500);
        testo += "A" + QByteArray::number(i).rightJustified(7, '0') + "|Articolo numero " + QByteArray::number(i) + "|"
            + QByteArray::number(i % 1000) + "," + QByteArray::number(i % 100).rightJustified(2, '0') + "|" + qta
            + "\r\n";
    }
    return testo;
}

// The line number a row or an error row comes from.
int NumeroRiga(const QString& testo)
{
    static const QRegularExpression codice(QStringLiteral("A(\\d{7})"));
    return codice.match(testo).captured(1).toInt();
}

QStringList Codici(const QStringList& righe)
{
    QStringList codici;
    for (const QString& riga : righe)
        codici << riga.section(QLatin1Char('|'), 0, 0);
    return codici;
}

QStringList FinoAllaRiga(const QStringList& righe, int ultima)
{
    QStringList prime;
    for (const QString& riga : righe)
        if (NumeroRiga(riga) <= ultima)
            prime << riga;
    return prime;
}

}  // namespace

std::vector<Modo> ModiRipetibili()
{
    return {{"SvuotaEInserisce", {{"Azzera", "S"}, {"Azzera2", "S"}, {"InsVaria", "I"}, {"Modalita", "0"}}, true},
            {"InserisceOAggiorna", {{"Modalita", "0"}}, false},
            {"SoloInserimento", {{"Modalita", "1"}}, false}};
}

void Prepara(AmbienteProva& ambiente, const QVariantMap& definizione)
{
    ambiente.Sql(QStringLiteral("CREATE TABLE Articoli (Codice VARCHAR(8) PRIMARY KEY, Descrizione VARCHAR(40), "
                                "Prezzo REAL)"));
    ambiente.Sql(QStringLiteral("CREATE TABLE Giacenze (Codice VARCHAR(8) PRIMARY KEY, Qta INTEGER)"));
    QVariantMap colonne = definizione;
    colonne.insert({{"Tabella", "Articoli"},
                    {"Tabella2", "Giacenze"},
                    {"CodTab2", "G"},
                    {"Separatore", "|"},
                    {"Origine", ambiente.FileSorgente(QStringLiteral("articoli.txt"), FileGenerato())}});
    ambiente.Definizione(QLatin1String(Codice), colonne);
    const char* campi[][4] = {{"Codice", "1", "String", "1"},
                              {"Descrizione", "2", "String", "2"},
                              {"Prezzo", "3", "Double", "3"},
                              {"G Codice", "1", "String", "4"},
                              {"G Qta", "4", "Long", "5"}};
    for (const auto& c : campi)
        ambiente.Campo(
            QLatin1String(Codice),
            {{"NomeCampo", c[0]}, {"NumCampo", c[1]}, {"TipoDest", c[2]}, {"OrdCampo", c[3]}, {"Aggiorna", "A"}});
}

Contenuto Leggi(AmbienteProva& ambiente)
{
    // A server places new rows where deleted ones freed room, so its row
    // order is not the order of writing: there the error rows, one per bad
    // line, go in line order.
    const QString errori = DatabaseProva::SuServer()
        ? QStringLiteral("SELECT Tabella, Riga, Errore FROM ErroriQuivamento ORDER BY Riga")
        : QStringLiteral("SELECT Tabella, Riga, Errore FROM ErroriQuivamento ORDER BY rowid");
    return {ambiente.Righe(QStringLiteral("SELECT * FROM Articoli ORDER BY Codice")),
            ambiente.Righe(QStringLiteral("SELECT * FROM Giacenze ORDER BY Codice")), ambiente.Righe(errori)};
}

void Svuota(AmbienteProva& ambiente)
{
    ambiente.Sql(QStringLiteral("DELETE FROM Articoli"));
    ambiente.Sql(QStringLiteral("DELETE FROM Giacenze"));
    ambiente.Sql(QStringLiteral("DELETE FROM ErroriQuivamento"));
}

void VerificaDopoUccisione(AmbienteProva& ambiente, const Contenuto& finale, bool parteDaVuoto)
{
    if (!DatabaseProva::SuServer()) {
        EXPECT_EQ(ambiente.Valore(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    }
    const Contenuto dopo = Leggi(ambiente);
    const QSet<QString> articoli(finale.articoli.cbegin(), finale.articoli.cend());
    const QSet<QString> giacenze(finale.giacenze.cbegin(), finale.giacenze.cend());
    for (const QString& riga : dopo.articoli)
        EXPECT_TRUE(articoli.contains(riga)) << riga.toStdString();
    for (const QString& riga : dopo.giacenze)
        EXPECT_TRUE(giacenze.contains(riga)) << riga.toStdString();
    EXPECT_EQ(Codici(dopo.articoli), Codici(dopo.giacenze));
    ASSERT_LE(dopo.errori.size(), finale.errori.size());
    EXPECT_EQ(dopo.errori, finale.errori.mid(0, dopo.errori.size()));
    if (!parteDaVuoto)
        return;
    int ultima = 0;
    for (const QString& riga : dopo.articoli + dopo.errori)
        ultima = std::max(ultima, NumeroRiga(riga));
    const Contenuto atteso {FinoAllaRiga(finale.articoli, ultima), FinoAllaRiga(finale.giacenze, ultima),
                            FinoAllaRiga(finale.errori, ultima)};
    EXPECT_EQ(dopo, atteso) << "lines up to " << ultima;
}

qint64 CaricaFinoInFondo(const QString& quivaLoad, const QStringList& argomenti)
{
    QElapsedTimer tempo;
    tempo.start();
    QProcess processo;
    processo.start(quivaLoad, argomenti);
    EXPECT_TRUE(processo.waitForFinished(120000));
    EXPECT_EQ(processo.exitCode(), 0) << processo.readAllStandardError().toStdString();
    return tempo.elapsed();
}

unsigned Seme()
{
    // Read as unsigned: half of the printed seeds are above the int range.
    bool ok = false;
    const unsigned seme = qEnvironmentVariable("QUIVA_SEME").toUInt(&ok);
    return ok ? seme : std::random_device {}();
}

}  // namespace CaricoInterrotto
