// The desktop program killed (SIGKILL) at random moments of a load started
// in its load dialog, with the menu stand-in it is linked to: after every
// kill the database must be sound and hold only whole lines, and quiva-load
// run to the end must reach the state of a load never killed. The seed is
// printed on failure; QUIVA_SEME replays a run.
#include "AccessoMenu.h"
#include "CaricoInterrotto.h"
#include "ConfigurazioneMenu.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <random>

namespace {

using namespace CaricoInterrotto;

struct Corsa {
    bool uccisa = false;  // the kill found the load still running
    QString uscita;       // what the pilot said
    qint64 durata = 0;    // from the press of "&Quiva" to the end or the kill
};

class UccisioneQuiva : public ::testing::TestWithParam<Modo> {
protected:
    AmbienteProva ambiente;
    QString idMenu;
    QString socket;
    QProcess menu;

    void SetUp() override
    {
        Prepara(ambiente, GetParam().definizione);
        // the company's currency, which quiva reads at start-up
        ambiente.Sql(QStringLiteral("CREATE TABLE Monete (moneta TEXT, NumDec INT, NumDecGest INT, Operatore TEXT, "
                                    "Cee TEXT)"));
        ambiente.Sql(QStringLiteral("INSERT INTO Monete VALUES ('L.', 0, 2, '/', 'N')"));
        // A menu of its own for every test: a killed menu leaves its socket.
        static int numero = 0;
        idMenu = QStringLiteral("uccisioni%1-%2").arg(QCoreApplication::applicationPid()).arg(++numero);
        const QString config = ambiente.Percorso(QStringLiteral("quiva-menu.ini"));
        ConfigurazioneMenu configurazione(config);
        configurazione.Scrivi(QStringLiteral("Menu"), QStringLiteral("Id"), idMenu);
        configurazione.CreaPredefinita(ambiente.Percorso(QStringLiteral("ditta.db")));
        configurazione.Scrivi(QStringLiteral("Ditta"), QStringLiteral("Ditta.Moneta"), QStringLiteral("L."));
        menu.setStandardOutputFile(QProcess::nullDevice());
        menu.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        menu.start(QStringLiteral(QUIVA_MENU), {QStringLiteral("--config"), config});
        socket = AccessoMenu::PercorsoSocket(idMenu, nullptr);
        for (int i = 0; i < 200 && !QFileInfo::exists(socket); ++i)
            QThread::msleep(50);
        ASSERT_TRUE(QFileInfo::exists(socket)) << "the menu did not start";
    }

    void TearDown() override
    {
        menu.kill();
        menu.waitForFinished();
        QFile::remove(socket);
    }

    // Starts quiva on the load dialog with the pilot, which presses "&Quiva";
    // kills the program millisecondi after the press, or lets the load end
    // when millisecondi is negative.
    Corsa Esegui(int millisecondi)
    {
        QProcess quiva;
        QProcessEnvironment ambienteQuiva = QProcessEnvironment::systemEnvironment();
        ambienteQuiva.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(PILOTA));
        ambienteQuiva.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        quiva.setProcessEnvironment(ambienteQuiva);
        quiva.start(QStringLiteral(QUIVA),
                    {QStringLiteral("/M") + idMenu, QStringLiteral("/PQUIVA"), QStringLiteral("/FfrmQuiva")});
        Corsa corsa;
        while (!corsa.uscita.contains(QLatin1String("avvio\n")) && quiva.waitForReadyRead(30000))
            corsa.uscita += QString::fromUtf8(quiva.readAllStandardOutput());
        if (!corsa.uscita.contains(QLatin1String("avvio\n"))) {
            ADD_FAILURE() << "the load did not start: " << corsa.uscita.toStdString()
                          << quiva.readAllStandardError().toStdString();
            return corsa;
        }
        QElapsedTimer tempo;
        tempo.start();
        const bool finito = quiva.waitForFinished(millisecondi < 0 ? 60000 : millisecondi);
        if (!finito)
            ::kill(static_cast<pid_t>(quiva.processId()), SIGKILL);
        quiva.waitForFinished();
        corsa.durata = tempo.elapsed();
        corsa.uccisa = !finito;
        corsa.uscita += QString::fromUtf8(quiva.readAllStandardOutput());
        return corsa;
    }
};

TEST_P(UccisioneQuiva, KilledDesktopLoadsKeepWholeLinesAndARerunFinishesTheJob)
{
    const unsigned seme = Seme();
    SCOPED_TRACE(testing::Message() << "QUIVA_SEME=" << seme);
    std::mt19937 caso(seme);
    const QStringList argomenti {QStringLiteral("--db"), ambiente.Percorso(QStringLiteral("ditta.db")),
                                 QLatin1String(Codice)};

    const Corsa completa = Esegui(-1);
    ASSERT_TRUE(completa.uscita.contains(
        QStringLiteral("messaggio: Elaborazione terminata con %1 errori").arg(Righe / OgniErrore)))
        << completa.uscita.toStdString();
    const Contenuto finale = Leggi(ambiente);
    ASSERT_EQ(finale.articoli.size(), Righe - Righe / OgniErrore);
    Svuota(ambiente);

    // A load that ends before its kill narrows the window to the time it took.
    constexpr int Uccisioni = 2;
    qint64 finestra = completa.durata;
    int colpite = 0;
    QStringList salvate;
    for (int u = 1; u <= Uccisioni; ++u) {
        const int ms =
            std::uniform_int_distribution<int>(20, static_cast<int>(std::max<qint64>(finestra * 8 / 10, 40)))(caso);
        SCOPED_TRACE(testing::Message() << "kill " << u << " after " << ms << " ms");
        const Corsa corsa = Esegui(ms);
        if (corsa.uccisa)
            ++colpite;
        else
            finestra = std::min(finestra, corsa.durata);
        VerificaDopoUccisione(ambiente, finale, GetParam().parteDaVuoto);
        salvate << ambiente.Valore(QStringLiteral("SELECT COUNT(*) FROM Articoli")).toString();
        CaricaFinoInFondo(QStringLiteral(QUIVA_LOAD), argomenti);
        EXPECT_EQ(Leggi(ambiente), finale);
        Svuota(ambiente);
    }
    EXPECT_GE(colpite, 1) << "the load ended before the kills; the file is too small";
    std::printf("[ figures  ] %s: %d kills of quiva, %d during the load (rows kept: %s), full load in quiva %lld ms\n",
                GetParam().nome, Uccisioni, colpite, qPrintable(salvate.join(QStringLiteral(", "))),
                static_cast<long long>(completa.durata));
}

INSTANTIATE_TEST_SUITE_P(ModiScrittura, UccisioneQuiva, ::testing::ValuesIn(ModiRipetibili()),
                         [](const auto& info) { return std::string(info.param.nome); });

}  // namespace
