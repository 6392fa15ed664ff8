// quiva-load killed (SIGKILL) at random moments of a load that takes a few
// seconds. After every kill the database must be sound and hold only whole
// lines; running the load again must reach the state of a run never killed.
// The seed is printed on failure; QUIVA_SEME replays a run.
#include "CaricoInterrotto.h"

#include <QElapsedTimer>
#include <QProcess>
#include <csignal>
#include <gtest/gtest.h>
#include <random>

namespace {

using namespace CaricoInterrotto;

class Interruzioni : public ::testing::TestWithParam<Modo> {
protected:
    AmbienteProva ambiente;
    QStringList argomenti;

    void SetUp() override
    {
        Prepara(ambiente, GetParam().definizione);
        argomenti = ambiente.ArgomentiDitta() << QLatin1String(Codice);
    }

    qint64 Completa() { return CaricaFinoInFondo(QStringLiteral(QUIVA_LOAD), argomenti); }

    // Starts the load and kills it after the given time. Gives 0 when the
    // kill found it still running, otherwise how long the load took.
    qint64 Uccidi(int millisecondi)
    {
        QElapsedTimer tempo;
        tempo.start();
        QProcess processo;
        processo.start(QStringLiteral(QUIVA_LOAD), argomenti);
        EXPECT_TRUE(processo.waitForStarted());
        if (processo.waitForFinished(millisecondi))
            return std::max<qint64>(tempo.elapsed(), 1);
        ::kill(static_cast<pid_t>(processo.processId()), SIGKILL);
        processo.waitForFinished();
        return 0;
    }
};

TEST_P(Interruzioni, KilledLoadsKeepWholeLinesAndARerunFinishesTheJob)
{
    const unsigned seme = Seme();
    SCOPED_TRACE(testing::Message() << "QUIVA_SEME=" << seme);
    std::mt19937 caso(seme);

    const qint64 durata = Completa();
    const Contenuto finale = Leggi(ambiente);
    ASSERT_EQ(finale.articoli.size(), Righe - Righe / OgniErrore);
    ASSERT_EQ(finale.errori.size(), Righe / OgniErrore);
    Svuota(ambiente);

    // The kills fall in the first 60% of a run. Runs get faster when the
    // machine gets quieter: a load that ends before its kill narrows the
    // window to the time it took.
    constexpr int Uccisioni = 8;
    qint64 finestra = durata;
    int colpite = 0;
    for (int u = 1; u <= Uccisioni; ++u) {
        const int ms =
            std::uniform_int_distribution<int>(20, static_cast<int>(std::max<qint64>(finestra * 6 / 10, 40)))(caso);
        SCOPED_TRACE(testing::Message() << "kill " << u << " after " << ms << " ms");
        const qint64 finita = Uccidi(ms);
        if (finita == 0)
            ++colpite;
        else
            finestra = std::min(finestra, finita);
        VerificaDopoUccisione(ambiente, finale, GetParam().parteDaVuoto);
        if (u % 4 == 0) {
            Completa();
            EXPECT_EQ(Leggi(ambiente), finale);
        }
    }
    EXPECT_GE(colpite, Uccisioni / 4) << "the load ended before most kills; the file is too small";
    std::printf("[ figures  ] %s: %d kills, %d during the load, full run %lld ms\n", GetParam().nome, Uccisioni,
                colpite, static_cast<long long>(durata));
}

INSTANTIATE_TEST_SUITE_P(ModiScrittura, Interruzioni, ::testing::ValuesIn(ModiRipetibili()),
                         [](const auto& info) { return std::string(info.param.nome); });

}  // namespace
