// Launch switches, INI files, the working INI choice and the connection.
#include "Avvio.h"
#include "Configurazione.h"
#include "DatabaseLink.h"
#include "FileIni.h"
#include "FormUtilityAvvio.h"
#include "MenuFinto.h"
#include "Programma.h"
#include "RisposteScriptate.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void Scrivi(const QString& percorso, const QByteArray& testo)
{
    QFile f(percorso);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(testo);
}

TEST(SwitchDiLancio, LetturaEDivisioneDelP)
{
    const QString riga = "/M7 /PQUIVA 12 RO /FfrmQuiva /I/etc/quiva/orvwin.ini";
    const std::pair<char, const char*> valori[] = {
        {'M', "7"},
        {'f', "frmQuiva"},
        {'I', "/etc/quiva/orvwin.ini"},
        {'H', ""},
    };
    for (const auto& [lettera, atteso] : valori)
        EXPECT_EQ(FormUtility::LeggiSwitch(riga, lettera).toStdString(), atteso) << '/' << lettera;
    const SwitchP p = DividiSwitchP(FormUtility::LeggiSwitch(riga, 'P'));
    EXPECT_EQ(p.idProgramma, "QUIVA");
    EXPECT_EQ(p.parametri, "12 RO");
    EXPECT_EQ(DividiSwitchP("QUIVA").parametri, "");
}

TEST(SwitchDiLancio, OpzioneRO)
{
    const std::pair<const char*, const char*> parametri[] = {
        {"12 RO", "/RO"},
        {"/ro", "/RO"},
        {"PROVA", ""},  // only a word of its own counts
        {"", ""},
    };
    for (const auto& [testo, atteso] : parametri)
        EXPECT_EQ(FormUtility::OpzioneLancio(testo, "RO").toStdString(), atteso) << '"' << testo << '"';
}

TEST(ImpostazioniGenerali, VersMenuDecideGliArgomentiDiAddSeg)
{
    EXPECT_EQ(ArgomentiAddSeg(NumeroVersione("1.06"), "QUIVA 12", "proc"), QStringList {"QUIVA 12"});
    EXPECT_EQ(ArgomentiAddSeg(NumeroVersione("1,06"), "QUIVA 12", "proc"), QStringList {"QUIVA 12"});
    EXPECT_EQ(ArgomentiAddSeg(NumeroVersione("1.07"), "QUIVA 12", "proc"), (QStringList {"QUIVA 12", "proc"}));
    EXPECT_EQ(ArgomentiAddSeg(NumeroVersione("2.1"), "Q", "p").size(), 2);
    EXPECT_EQ(ArgomentiAddSeg(NumeroVersione(""), "Q", "p").size(), 1);
}

TEST(ImpostazioniGenerali, CartellaConDrive)
{
    struct Caso {
        const char* drive;
        const char* cartella;
        const char* attesa;
    };
    const Caso casi[] = {
        {"/srv/dati", "quiva/", "/srv/dati/quiva/"},
        {"/srv/dati/", "quiva", "/srv/dati/quiva"},
        {"/srv/dati", "/quiva", "/quiva"},  // already absolute
        {"C:", "quiva", "C:/quiva"},
        {"C:", "\\quiva", "C:/quiva"},
        {"C:", "D:\\quiva", "D:/quiva"},
        {"/srv", "\\\\server\\quiva", "//server/quiva"},
        {"", "/tmp/x", "/tmp/x"},
    };
    for (const Caso& caso : casi)
        EXPECT_EQ(FormUtility::CartellaConDrive(caso.drive, caso.cartella).toStdString(), caso.attesa)
            << '"' << caso.drive << "\" + \"" << caso.cartella << '"';
}

TEST(ImpostazioniGenerali, Scalatura)
{
    QHash<QString, QString> ini;
    auto leggi = [&](const QString& k, const QString& d) { return ini.value(k, d); };
    ScalaturaVideo s = LeggiScalatura(leggi, 1.5);
    EXPECT_DOUBLE_EQ(s.generale, 1.5);
    EXPECT_DOUBLE_EQ(s.help, 1.5);
    ini = {{"Generale", "1,25"}, {"Help", "2"}};
    s = LeggiScalatura(leggi, 1.5);
    EXPECT_DOUBLE_EQ(s.generale, 1.25);
    EXPECT_DOUBLE_EQ(s.staVid, 1.25) << "not set: falls back to Generale";
    EXPECT_DOUBLE_EQ(s.help, 2);
    ini = {{"Generale", "-2"}, {"PersBase", "1,1"}};
    EXPECT_DOUBLE_EQ(LeggiScalatura(leggi, 1).msgCom, 1.1);
}

TEST(FileIni, SemanticaClassica)
{
    const FileIni ini =
        FileIni::DaTesto("; commento\r\n[Parametri Generali]\r\nNumIni = 2\r\n  OrdIniDBase=ditta.ini\r\nnumini=9\r\n"
                         "[Connessioni]\r\nConnect=ODBC;DSN=Contab;UID=u1 ;x\r\nNome=\"tra virgolette\"\r\nLunga="
                         + QByteArray(400, 'x') + "\r\n");
    EXPECT_EQ(ini.Valore("parametri generali", "NUMINI").value(), "2") << "case ignored, first key wins";
    EXPECT_EQ(ini.Valore("Parametri Generali", "OrdIniDBase").value(), "ditta.ini") << "an indented key is a key";
    EXPECT_EQ(ini.Valore("Connessioni", "Connect").value(), "ODBC;DSN=Contab;UID=u1 ;x");
    EXPECT_EQ(ini.Valore("Connessioni", "Nome").value(), "tra virgolette");
    EXPECT_EQ(ini.Valore("Connessioni", "Lunga").value().size(), 400);
    EXPECT_FALSE(ini.Valore("Connessioni", "Manca").has_value());
    EXPECT_FALSE(FileIni::Leggi("/non/esiste.ini").Esiste());
}

TEST(Connessione, TipoETesti)
{
    const std::pair<const char*, TipoDb> tipi[] = {
        {"Ditta.MDB", TipoDb::File},  {"/dati/ditta.db", TipoDb::File}, {"Contab", TipoDb::Odbc},
        {"Contab.DSN", TipoDb::Odbc}, {"odbc;DSN=x.y", TipoDb::Odbc},
    };
    for (const auto& [nome, tipo] : tipi)
        EXPECT_EQ(TipoConnessione(nome), tipo) << nome;

    struct Caso {
        const char* nome;
        const char* utente;
        const char* password;
        const char* atteso;
    };
    const Caso testi[] = {
        {"Contab", "u1", "", "ODBC;DSN=Contab;UID=u1"},
        {"Contab", "u1", "pw", "ODBC;DSN=Contab;UID=u1;PWD=pw"},
        {"Contab", "", "pw", "ODBC;DSN=Contab;"},
        {"c:\\dsn\\Contab.DSN", "u1", "", "ODBC;FIleDSN=c:\\dsn\\Contab.DSN;UID=u1"},
        {"ODBC;DSN=X;UID=a", "u1", "p", "ODBC;DSN=X;UID=a"},
    };
    for (const Caso& caso : testi)
        EXPECT_EQ(TestoConnessione(caso.nome, caso.utente, caso.password).toStdString(), caso.atteso)
            << caso.nome << " / " << caso.utente << " / " << caso.password;
    EXPECT_EQ(SuffissoPassword("s"), ";pwd=s");
    EXPECT_EQ(SuffissoPassword(""), "");
}

struct IniDiLavoro : ::testing::Test {
    QTemporaryDir cartella;
    RisposteScriptate risposte;
    QString principale;
    void SetUp() override
    {
        principale = cartella.filePath("orvwin.ini");
        Scrivi(
            principale,
            "[Parametri Generali]\r\nNumIni=2\r\nOrdIniDBase=base.ini\r\n[Lista File Ini]\r\n1OrdIniDBase=uno.ini\r\n2OrdIniDBase=/altrove/due.ini\r\n");
    }
};

TEST_F(IniDiLavoro, SceltaConNumIni)
{
    risposte.AccodaTesto(QString("2"));
    EXPECT_EQ(SceltaIniLavoro(principale, risposte).value(), "/altrove/due.ini");
    ASSERT_EQ(risposte.domande.size(), 1);
    EXPECT_EQ(risposte.titoli[0], "Scelta dell'INI");
    EXPECT_EQ(risposte.proposte[0], "0");
    EXPECT_EQ(risposte.domande[0], "Numero di ini scelto\n(da 0 a 2)\n1 -> uno.ini\n2 -> /altrove/due.ini");

    for (const std::optional<QString>& risposta :
         {std::optional<QString>("0"), std::optional<QString>(""), std::optional<QString>("abc"),
          std::optional<QString>(), std::optional<QString>("5")}) {
        risposte.AccodaTesto(risposta);
        EXPECT_EQ(SceltaIniLavoro(principale, risposte).value(), cartella.filePath("base.ini"));
    }
    risposte.AccodaTesto(QString("1"));
    EXPECT_EQ(SceltaIniLavoro(principale, risposte).value(), cartella.filePath("uno.ini"))
        << "relative to the main INI";
}

TEST_F(IniDiLavoro, NumIniZeroNonChiedeNulla)
{
    Scrivi(principale, "[Parametri Generali]\nNumIni=0\nOrdIniDBase=base.ini\n");
    EXPECT_EQ(SceltaIniLavoro(principale, risposte).value(), cartella.filePath("base.ini"));
    EXPECT_TRUE(risposte.domande.isEmpty());
    Scrivi(principale, "[Parametri Generali]\nNumIni=0\n");
    EXPECT_FALSE(SceltaIniLavoro(principale, risposte).has_value());
}

TEST_F(IniDiLavoro, RicercaDelFilePrincipale)
{
    LuoghiIni luoghi;
    luoghi.cartellaSistema = cartella.filePath("sistema");
    luoghi.cartellaProgramma = cartella.filePath("programma");
    luoghi.cartellaCorrente = cartella.path();
    EXPECT_EQ(CercaIniPrincipale(luoghi).value(), principale);
    QDir().mkpath(luoghi.cartellaProgramma + "/main");
    Scrivi(luoghi.cartellaProgramma + "/main/orvwin.ini", "");
    EXPECT_EQ(CercaIniPrincipale(luoghi).value(), luoghi.cartellaProgramma + "/main/orvwin.ini");
    luoghi.fileInstallazione = cartella.filePath("OrvWinInst.ini");
    Scrivi(luoghi.fileInstallazione, "[Setup]\nIniPrincipale=/da/installazione.ini\n");
    EXPECT_EQ(CercaIniPrincipale(luoghi).value(), "/da/installazione.ini");
    luoghi.switchI = principale;
    EXPECT_EQ(CercaIniPrincipale(luoghi).value(), principale);
    luoghi = LuoghiIni {};
    luoghi.cartellaCorrente = cartella.filePath("vuota");
    EXPECT_FALSE(CercaIniPrincipale(luoghi).has_value());
}

struct AperturaDitta : IniDiLavoro {
    MenuFinto menu;
    QString db;
    ContestoConnessione Contesto()
    {
        ContestoConnessione c;
        c.menu = &menu;
        c.messaggi = &risposte;
        c.domande = &risposte;
        c.iniPrincipale = principale;
        c.nomeDb = db;
        return c;
    }
    void SetUp() override
    {
        IniDiLavoro::SetUp();
        Scrivi(principale, "[Parametri Generali]\nNumIni=0\nOrdIniDBase=base.ini\nVisParam=db1\n");
        Scrivi(cartella.filePath("base.ini"), "[Base]\nDirQuiva=/dati\n");  // no "NomeDB": the menu names the database
        db = cartella.filePath("ditta.db");
        ASSERT_EQ(
            QProcess::execute(
                "sqlite3", {db, "create table Monete(moneta text, NumDec int); insert into Monete values('Euro',2);"}),
            0);
    }
    // A table of 3,000 rows spanning many pages of the database file.
    bool CreaTabellaDiMoltePagine()
    {
        return QProcess::execute("sqlite3",
                                 {db,
                                  "create table Righe(id integer primary key, testo text);"
                                  "with recursive n(i) as (select 1 union all select i+1 from n where i<3000) "
                                  "insert into Righe select i, printf('riga %05d con un po'' di testo', i) from n;"})
            == 0;
    }
};

TEST_F(AperturaDitta, VisParamMostraIParametriEApre)
{
    ContestoConnessione c = Contesto();
    risposte.AccodaRisposta(1);
    ASSERT_EQ(ApriConnessionePrimaria(c), 0);
    ASSERT_TRUE(c.link);
    ASSERT_EQ(risposte.messaggi.size(), 1);
    EXPECT_EQ(risposte.messaggi[0].testo,
              "Parametri letti:\nFile dei parametri: " + cartella.filePath("base.ini") + "\nDatabase: " + db
                  + "\nTipo Connessione: ");
    EXPECT_EQ(risposte.messaggi[0].risposte, (QStringList {"&Si", "&No", "&Annulla"}));
}

TEST_F(AperturaDitta, VisParamNoRichiedeEAnnullaChiude)
{
    ContestoConnessione c = Contesto();
    risposte.AccodaRisposta(2);
    risposte.AccodaRisposta(3);
    EXPECT_EQ(ApriConnessionePrimaria(c), -1);
    EXPECT_EQ(risposte.messaggi.size(), 2);
    EXPECT_FALSE(c.link);
}

TEST_F(AperturaDitta, ErroriDiApertura)
{
    Scrivi(principale, "[Parametri Generali]\nNumIni=0\nOrdIniDBase=base.ini\n");
    ContestoConnessione c = Contesto();
    c.nomeDb = cartella.filePath("manca.db");
    EXPECT_EQ(ApriConnessionePrimaria(c), -1);
    ASSERT_EQ(risposte.messaggi.size(), 1);
    EXPECT_TRUE(
        risposte.messaggi[0].testo.startsWith("Errore 3024 nell'apertura del database.\nCorreggere e riprovare. ("));
    EXPECT_FALSE(QFile::exists(c.nomeDb)) << "a wrong name must not create an empty database";

    Scrivi(principale, "[Parametri Generali]\nNumIni=0\n");
    c = Contesto();
    EXPECT_EQ(ApriConnessionePrimaria(c), -1);
    EXPECT_EQ(
        risposte.messaggi.last().testo,
        "File di inizializzazione non trovato\no con informazioni non corrette.\nCorreggere e rieseguire il programma.");

    c = Contesto();
    c.iniPrincipale.clear();
    c.luoghi.cartellaCorrente = cartella.filePath("niente");
    EXPECT_EQ(ApriConnessionePrimaria(c), -1);
    EXPECT_EQ(risposte.messaggi.last().testo, "File ini non trovato\nSistemare e rieseguire");
}

TEST_F(AperturaDitta, DatabaseDanneggiatoVieneRecuperato)
{
    Scrivi(principale, "[Parametri Generali]\nNumIni=0\nOrdIniDBase=base.ini\n");
    // Enough rows to span many pages, then a page of the table overwritten.
    ASSERT_TRUE(CreaTabellaDiMoltePagine());
    {
        QFile f(db);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(4096 * 20 + 100);
        f.write(QByteArray(3000, '\xAB'));
    }
    ASSERT_FALSE(FormUtility::DatabaseIntegro(db));

    ContestoConnessione c = Contesto();
    risposte.AccodaRisposta(2);  // Annulla
    EXPECT_EQ(ApriConnessionePrimaria(c), -1);
    EXPECT_EQ(risposte.messaggi[0].testo, "Errore nell'apertura del database " + db + "\nVuoi tentare di recuperarlo");
    EXPECT_TRUE(risposte.messaggi[1].testo.startsWith("Errore 3343 nell'apertura del database."));

    c = Contesto();
    risposte.AccodaRisposta(1);  // Ok: repair
    risposte.AccodaRisposta(2);  // Si: go on with what was recovered
    ASSERT_EQ(ApriConnessionePrimaria(c), 0) << risposte.Testi().join(" | ").toStdString();
    EXPECT_TRUE(risposte.messaggi.last().testo.contains("Tabelle incomplete:\nRighe ("))
        << risposte.messaggi.last().testo.toStdString();
    EXPECT_TRUE(FormUtility::DatabaseIntegro(db));
    EXPECT_TRUE(QFile::exists(db + ".danneggiato"));
    QProcess conta;
    conta.start("sqlite3", {db, "select count(*) > 2000 from Righe; select count(*) from Monete;"});
    conta.waitForFinished();
    EXPECT_EQ(conta.readAllStandardOutput().trimmed(), "1\n1");
}

// A marker password given by the menu or in a connection text never shows in
// a message, nor on the command line of the repair's sqlite3 shell.
TEST_F(AperturaDitta, LaPasswordNonCompareMai)
{
    const QString segreta = QStringLiteral("Segreta-7fQ2");
    menu.valori.insert(QStringLiteral("SqlLogin"), QStringLiteral("utente"));
    menu.valori.insert(QStringLiteral("SqlPwd"), segreta);
    menu.valori.insert(QStringLiteral("PwdDbAzie"), segreta);
    menu.valori.insert(QStringLiteral("AccMenuPwd"), segreta);

    ContestoConnessione c = Contesto();
    c.nomeDb = QStringLiteral("DsnCheNonEsiste");
    risposte.AccodaRisposta(1);  // VisParam: go on
    EXPECT_EQ(ApriConnessionePrimaria(c), -1);
    c = Contesto();
    c.connect = QStringLiteral("ODBC;DSN=AltroDsn;UID=utente;PWD=") + segreta;
    risposte.AccodaRisposta(1);
    EXPECT_EQ(ApriConnessionePrimaria(c), -1);

    // The repair shell, recorded by a stand-in placed first on the path.
    const QString attrezzi = cartella.filePath(QStringLiteral("attrezzi"));
    QDir().mkpath(attrezzi);
    const QString registro = cartella.filePath(QStringLiteral("comandi.txt"));
    Scrivi(attrezzi + QStringLiteral("/sqlite3"),
           QStringLiteral("#!/bin/sh\necho \"$0 $*\" >> '%1'\nexec %2 \"$@\"\n")
               .arg(registro, QStandardPaths::findExecutable(QStringLiteral("sqlite3")))
               .toUtf8());
    QFile::setPermissions(attrezzi + QStringLiteral("/sqlite3"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QByteArray percorso = qgetenv("PATH");
    qputenv("PATH", attrezzi.toLocal8Bit() + ':' + percorso);
    {
        QFile f(db);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.write(QByteArray(200, '\xAB'));
    }
    c = Contesto();
    risposte.AccodaRisposta(1);  // VisParam
    risposte.AccodaRisposta(1);  // repair
    ApriConnessionePrimaria(c);
    qputenv("PATH", percorso);
    QFile comandi(registro);
    ASSERT_TRUE(comandi.open(QIODevice::ReadOnly)) << "the repair did not run its shell";
    EXPECT_FALSE(QString::fromUtf8(comandi.readAll()).contains(segreta));

    ASSERT_GE(risposte.messaggi.size(), 4);
    for (const QString& testo : risposte.Testi())
        EXPECT_FALSE(testo.contains(segreta)) << testo.toStdString();
}

// The root page of a table lost: the table comes back empty or not at all,
// and the user is told before anything opens.
TEST_F(AperturaDitta, RecuperoParzialeNonNascondeLaPerdita)
{
    Scrivi(principale, "[Parametri Generali]\nNumIni=0\nOrdIniDBase=base.ini\n");
    ASSERT_TRUE(CreaTabellaDiMoltePagine());
    QProcess radice;
    radice.start("sqlite3", {db, "select rootpage from sqlite_master where name = 'Righe'; pragma page_size;"});
    radice.waitForFinished();
    const QList<QByteArray> valori = radice.readAllStandardOutput().trimmed().split('\n');
    ASSERT_EQ(valori.size(), 2);
    const qint64 pagina = valori[0].toLongLong(), dimensione = valori[1].toLongLong();
    {
        QFile f(db);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek((pagina - 1) * dimensione);
        f.write(QByteArray(dimensione, '\xCD'));
    }

    // Declined: the damaged file stays where it was, the copy is kept aside.
    ContestoConnessione c = Contesto();
    risposte.AccodaRisposta(1);  // Ok: repair
    EXPECT_EQ(ApriConnessionePrimaria(c), -1);
    ASSERT_EQ(risposte.messaggi.size(), 2);
    const QString domanda = risposte.messaggi[1].testo;
    EXPECT_TRUE(domanda.contains("recuperato solo in parte")) << domanda.toStdString();
    EXPECT_TRUE(domanda.contains("\nRighe (")) << domanda.toStdString();
    EXPECT_FALSE(domanda.contains("Monete")) << domanda.toStdString();
    EXPECT_TRUE(domanda.contains(db + ".danneggiato")) << domanda.toStdString();
    EXPECT_EQ(risposte.messaggi[1].risposte, (QStringList {"&No", "&Si"}));
    EXPECT_FALSE(FormUtility::DatabaseIntegro(db));
    EXPECT_TRUE(QFile::exists(db + ".recuperato"));

    // Accepted: the partial copy opens.
    c = Contesto();
    risposte.AccodaRisposta(1);
    risposte.AccodaRisposta(2);
    ASSERT_EQ(ApriConnessionePrimaria(c), 0) << risposte.Testi().join(" | ").toStdString();
    EXPECT_TRUE(FormUtility::DatabaseIntegro(db));
}

}  // namespace
