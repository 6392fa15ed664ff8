// The menu's configuration (it holds PwdDbAzie) and the working INI it
// creates are readable by their user only, whatever the umask.
#include "ConfigurazioneMenu.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

mode_t Diritti(const QString& percorso)
{
    struct stat stato {};
    EXPECT_EQ(::stat(QFile::encodeName(percorso).constData(), &stato), 0) << percorso.toStdString();
    return stato.st_mode & 0777;
}

class FilePrivati : public ::testing::Test {
protected:
    QTemporaryDir cartella;
    mode_t umaskPrecedente = ::umask(022);
    void TearDown() override { ::umask(umaskPrecedente); }
    QString Percorso(const char* nome) const { return cartella.filePath(QLatin1String(nome)); }
};

TEST_F(FilePrivati, LaConfigurazioneDelMenuNasceLeggibileSoloDalSuoUtente)
{
    const QString config = Percorso("sotto/quiva-menu.ini");
    ConfigurazioneMenu configurazione(config);
    configurazione.CreaPredefinita(Percorso("ditta.db"));
    configurazione.Scrivi(QStringLiteral("Valori"), QStringLiteral("PwdDbAzie"), QStringLiteral("segreta"));
    EXPECT_EQ(Diritti(config), 0600u);
    EXPECT_EQ(Diritti(Percorso("sotto/ditta.ini")), 0600u);
    EXPECT_EQ(ConfigurazioneMenu(config).Leggi(QStringLiteral("Valori"), QStringLiteral("PwdDbAzie")), "segreta");
}

TEST_F(FilePrivati, UnaConfigurazioneLeggibileDaTuttiDiventaPrivataAllaPrimaScrittura)
{
    const QString config = Percorso("quiva-menu.ini");
    QFile file(config);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Valori]\nNomeDBAzie=ditta.db\n");
    file.close();
    ASSERT_EQ(Diritti(config), 0644u);

    ConfigurazioneMenu configurazione(config);
    configurazione.Scrivi(QStringLiteral("Valori"), QStringLiteral("PwdDbAzie"), QStringLiteral("segreta"));
    EXPECT_EQ(Diritti(config), 0600u);
    EXPECT_EQ(configurazione.Leggi(QStringLiteral("Valori"), QStringLiteral("NomeDBAzie")), "ditta.db");
}

}  // namespace
