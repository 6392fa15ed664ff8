// The source read ahead on a second thread: lines in file order with the
// values prepared for each, failures kept with their own line, and a load
// that stops early leaves no thread behind.
#include "ErroreRun.h"
#include "LettoreRighe.h"
#include "LetturaAnticipata.h"

#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

class LetturaAnticipataTest : public ::testing::Test {
protected:
    // A file of n lines "riga 0" ... "riga n-1".
    QString File(int righe)
    {
        const QString percorso = cartella.filePath(QStringLiteral("righe.txt"));
        QFile file(percorso);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < righe; ++i)
            file.write(QStringLiteral("riga %1\n").arg(i).toUtf8());
        return percorso;
    }

    // Two values per line: the line itself and its number; line numbers
    // divisible by 7 raise instead of giving the number.
    static void Prepara(const QString& riga, ValoreAnticipato* valori)
    {
        valori[0].letto.valore = riga;
        const int numero = riga.mid(5).toInt();
        try {
            if (numero % 7 == 0)
                throw ErroreRun(CodiciErrore::Overflow, QStringLiteral("Overflow"));
            valori[1].letto.valore = numero;
            valori[1].eccezione = nullptr;
        } catch (...) {
            valori[1].eccezione = std::current_exception();
        }
    }

    QTemporaryDir cartella;
};

TEST_F(LetturaAnticipataTest, LinesComeInOrderWithTheirOwnValuesAndFailures)
{
    // Many more lines than are read ahead, so the lots are filled again.
    constexpr int Righe = 5000;
    LettoreRighe file(File(Righe));
    LetturaAnticipata lettura(file, 2, &Prepara);
    const QString* riga = nullptr;
    ValoreAnticipato* valori = nullptr;
    int n = 0;
    while (lettura.Leggi(riga, valori)) {
        ASSERT_EQ(*riga, QStringLiteral("riga %1").arg(n));
        EXPECT_EQ(valori[0].letto.valore.toString(), *riga);
        if (n % 7 == 0) {
            ASSERT_TRUE(valori[1].eccezione);
            EXPECT_THROW(std::rethrow_exception(valori[1].eccezione), ErroreRun);
        } else {
            EXPECT_FALSE(valori[1].eccezione);
            EXPECT_EQ(valori[1].letto.valore.toInt(), n);
        }
        ++n;
    }
    EXPECT_EQ(n, Righe);
    EXPECT_FALSE(lettura.Leggi(riga, valori));  // the end stays the end
}

TEST_F(LetturaAnticipataTest, EmptyFileAndEarlyStop)
{
    {
        LettoreRighe vuoto(File(0));
        LetturaAnticipata lettura(vuoto, 2, &Prepara);
        const QString* riga = nullptr;
        ValoreAnticipato* valori = nullptr;
        EXPECT_FALSE(lettura.Leggi(riga, valori));
    }
    // A load stopped after a few lines drops the rest: the reading thread
    // ends although it has lines ready that nobody takes.
    std::atomic<int> preparate = 0;
    {
        LettoreRighe file(File(100000));
        LetturaAnticipata lettura(file, 0, [&](const QString&, ValoreAnticipato*) { ++preparate; });
        const QString* riga = nullptr;
        ValoreAnticipato* valori = nullptr;
        for (int i = 0; i < 10; ++i)
            ASSERT_TRUE(lettura.Leggi(riga, valori));
        EXPECT_EQ(*riga, QStringLiteral("riga 9"));
    }
    EXPECT_LT(preparate.load(), 100000);
}

// Long lines are read ahead a few at a time, not a lot of them each.
TEST_F(LetturaAnticipataTest, LongLinesDoNotPileUpAhead)
{
    const QString percorso = cartella.filePath(QStringLiteral("lunghe.txt"));
    {
        QFile file(percorso);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const QByteArray lunga(300 * 1024, 'x');
        for (int i = 0; i < 60; ++i)
            file.write(lunga + '\n');
    }
    std::atomic<int> preparate = 0;
    LettoreRighe file(percorso);
    LetturaAnticipata lettura(file, 0, [&](const QString&, ValoreAnticipato*) { ++preparate; });
    const QString* riga = nullptr;
    ValoreAnticipato* valori = nullptr;
    ASSERT_TRUE(lettura.Leggi(riga, valori));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_LE(preparate.load(), 8);  // about 1 MB of text ready, the line taken, one being read
    int righe = 1;
    while (lettura.Leggi(riga, valori))
        ++righe;
    EXPECT_EQ(righe, 60);
}

}  // namespace
