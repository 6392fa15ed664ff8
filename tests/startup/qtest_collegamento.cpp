// The menu link is private to its user: where the socket lives, what the
// menu refuses at start, whom each end accepts, and what never leaves it.
// Cases that need another user's identity run only as root (as in CI).
#include "AccessoMenu.h"
#include "Avvio.h"
#include "ConfigurazioneMenu.h"
#include "ErroreRun.h"
#include "FinestraMenu.h"
#include "FormUtilityAvvio.h"
#include "MenuServerSocket.h"
#include "Programma.h"
#include "RisposteScriptate.h"
#include "ServerMenu.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Utente {
    uid_t uid;
    gid_t gid;
};

std::optional<Utente> AltroUtente()
{
    if (geteuid() != 0)
        return std::nullopt;
    const passwd* nobody = getpwnam("nobody");
    if (!nobody)
        return std::nullopt;
    return Utente {nobody->pw_uid, nobody->pw_gid};
}

// A socket file bound to the path and not listening: what a crashed menu
// leaves behind once the descriptor is closed.
int SocketLegato(const QString& percorso)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un indirizzo {};
    indirizzo.sun_family = AF_UNIX;
    const QByteArray nome = QFile::encodeName(percorso);
    std::memcpy(indirizzo.sun_path, nome.constData(), nome.size());
    if (bind(fd, reinterpret_cast<sockaddr*>(&indirizzo), sizeof indirizzo) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

int Modo(const QString& percorso)
{
    struct stat info { };
    lstat(QFile::encodeName(percorso).constData(), &info);
    return info.st_mode & 07777;
}

// The program's side of the start-up, up to the menu link.
QString AvvioRifiutato(const QString& idMenu)
{
    RisposteScriptate risposte;
    Programma programma(risposte, risposte);
    programma.alTermine = [] {};
    if (AvvioProgramma(programma, "/M" + idMenu + " /PQUIVA /FfrmQuiva"))
        return QStringLiteral("avviato");
    return risposte.Testi().join(QLatin1Char('|'));
}

}  // namespace

class TestCollegamentoPrivato : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_radice;
    std::unique_ptr<ConfigurazioneMenu> m_config;

    QString Cartella() const { return m_radice->filePath("run"); }
    QString IdMenu() const { return m_config->IdMenu(); }

private slots:
    void init()
    {
        m_radice = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkdir(Cartella(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(Cartella()));
        m_config = std::make_unique<ConfigurazioneMenu>(m_radice->filePath("quiva-menu.ini"));
        m_config->Scrivi("Menu", "Id", QString("prova%1").arg(QCoreApplication::applicationPid()));
    }

    void cleanup()
    {
        m_config.reset();
        m_radice.reset();
    }

    void senzaXdgUnaCartellaPropriaNelTemporaneo()
    {
        const QByteArray xdg = qgetenv("XDG_RUNTIME_DIR");
        const QByteArray tmp = qgetenv("TMPDIR");
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(m_radice->path()));
        umask(0);  // the folder is private whatever the umask
        ServerMenu server(*m_config);
        QString errore;
        const bool avviato = server.Avvia(&errore);
        umask(022);
        const QString cartella = m_radice->filePath(QString("quiva-%1").arg(geteuid()));
        QVERIFY2(avviato, qPrintable(errore));
        QCOMPARE(server.Percorso(), cartella + "/quiva-menu-" + IdMenu());
        QCOMPARE(Modo(cartella), 0700);
        QCOMPARE(Modo(server.Percorso()) & 077, 0);

        QSignalSpy registrato(&server, &ServerMenu::Registrato);
        MenuServerSocket programma(IdMenu(), 2000);
        programma.Registra(IdMenu(), "QUIVA", "");
        QCOMPARE(registrato.size(), 1);
        qputenv("XDG_RUNTIME_DIR", xdg);
        qputenv("TMPDIR", tmp);
    }

    void senzaCartellaNessunMenu()
    {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_radice->filePath("mancante")));
        QCOMPARE(AvvioRifiutato(IdMenu()),
                 "Il menu principale non è in esecuzione\nQuesto programma non può essere eseguito autonomamente");
        QVERIFY(!QFileInfo::exists(m_radice->filePath("mancante")));
    }

    // A folder that is not private stops the menu from starting and the
    // program from connecting to a menu already listening in it.
    void cartellaNonPrivata_data()
    {
        QTest::addColumn<QString>("guasto");
        QTest::addColumn<QString>("motivo");
        QTest::newRow("altro proprietario") << "chown"
                                            << "appartiene a un altro utente";
        QTest::newRow("permessi larghi") << "chmod"
                                         << "è accessibile ad altri utenti (permessi 0755)";
        QTest::newRow("collegamento simbolico") << "symlink"
                                                << "non è una cartella";
    }
    void cartellaNonPrivata()
    {
        QFETCH(QString, guasto);
        QFETCH(QString, motivo);
        const auto altro = AltroUtente();
        if (guasto == "chown" && !altro)
            QSKIP("serve l'utente root per cedere la cartella a nobody");

        ServerMenu server(*m_config);
        QVERIFY(server.Avvia());
        QSignalSpy registrato(&server, &ServerMenu::Registrato);
        QString cartella = Cartella();
        if (guasto == "chown")
            QCOMPARE(chown(QFile::encodeName(cartella).constData(), altro->uid, altro->gid), 0);
        else if (guasto == "chmod")
            QCOMPARE(chmod(QFile::encodeName(cartella).constData(), 0755), 0);
        else {
            cartella = m_radice->filePath("collegamento");
            QVERIFY(QFile::link(Cartella(), cartella));
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(cartella));
        }

        QString errore;
        ConfigurazioneMenu altraConfig(m_radice->filePath("altro.ini"));
        altraConfig.Scrivi("Menu", "Id", "secondo");
        ServerMenu secondo(altraConfig);
        QVERIFY(!secondo.Avvia(&errore));
        QVERIFY2(errore.contains(cartella + " " + motivo), qPrintable(errore));

        try {
            MenuServerSocket(IdMenu(), 2000).Registra(IdMenu(), "QUIVA", "");
            QFAIL("il programma si è collegato");
        } catch (const ErroreRun& e) {
            QCOMPARE(e.numero(), CodiciErrore::MenuRifiutato);
            QVERIFY2(e.descrizione().contains(motivo), qPrintable(e.descrizione()));
        }
        QCOMPARE(AvvioRifiutato(IdMenu()), "Collegamento con il menu rifiutato\n" + errore);
        QCoreApplication::processEvents();
        QCOMPARE(registrato.size(), 0);
    }

    void socketAbbandonato()
    {
        const QString percorso = Cartella() + "/quiva-menu-" + IdMenu();
        const int fd = SocketLegato(percorso);
        QVERIFY(fd >= 0);
        close(fd);
        QVERIFY(QFileInfo::exists(percorso));

        ServerMenu server(*m_config);
        QString errore;
        QVERIFY2(server.Avvia(&errore), qPrintable(errore));
        QSignalSpy registrato(&server, &ServerMenu::Registrato);
        MenuServerSocket(IdMenu(), 2000).Registra(IdMenu(), "QUIVA", "");
        QCOMPARE(registrato.size(), 1);
    }

    void socketDiUnAltroUtenteNonSiTocca()
    {
        const auto altro = AltroUtente();
        if (!altro)
            QSKIP("serve l'utente root per cedere il socket a nobody");
        const QString percorso = Cartella() + "/quiva-menu-" + IdMenu();
        const int fd = SocketLegato(percorso);
        QVERIFY(fd >= 0);
        close(fd);
        QCOMPARE(lchown(QFile::encodeName(percorso).constData(), altro->uid, altro->gid), 0);

        ServerMenu server(*m_config);
        QString errore;
        QVERIFY(!server.Avvia(&errore));
        QCOMPARE(errore, "Il socket " + percorso + " appartiene a un altro utente");
        QVERIFY(QFileInfo::exists(percorso));
    }

    void secondoMenuConLoStessoId()
    {
        ServerMenu primo(*m_config);
        QVERIFY(primo.Avvia());
        ServerMenu secondo(*m_config);
        QString errore;
        QVERIFY(!secondo.Avvia(&errore));
        QCOMPARE(errore, "Un menu con identificativo " + IdMenu() + " è già in esecuzione");
        QSignalSpy registrato(&primo, &ServerMenu::Registrato);
        MenuServerSocket(IdMenu(), 2000).Registra(IdMenu(), "QUIVA", "");
        QCOMPARE(registrato.size(), 1);
    }

    // A menu run by another user, in a folder that looks right: the socket
    // is bound here and listened on by a child that became nobody.
    void menuDiUnAltroUtente()
    {
        const auto altro = AltroUtente();
        if (!altro)
            QSKIP("serve l'utente root per diventare nobody");
        const int fd = SocketLegato(Cartella() + "/quiva-menu-" + IdMenu());
        QVERIFY(fd >= 0);
        int tubo[2];
        QCOMPARE(pipe(tubo), 0);
        const pid_t figlio = fork();
        if (figlio == 0) {
            close(tubo[1]);
            if (setgid(altro->gid) != 0 || setuid(altro->uid) != 0 || listen(fd, 4) != 0)
                _exit(1);
            char c;
            (void)!read(tubo[0], &c, 1);  // until the parent is done
            _exit(0);
        }
        close(tubo[0]);
        close(fd);
        // Connecting only works once the child listens.
        QString risultato;
        QTRY_VERIFY_WITH_TIMEOUT((risultato = AvvioRifiutato(IdMenu())).contains("uid"), 5000);
        QCOMPARE(
            risultato,
            QString(
                "Collegamento con il menu rifiutato\nDall'altra parte del collegamento c'è un altro utente (uid %1)")
                .arg(altro->uid));
        close(tubo[1]);
        waitpid(figlio, nullptr, 0);
    }

    // A program run by another user reaches the socket (folder and socket
    // opened up on purpose): the menu drops it without an answer.
    void programmaDiUnAltroUtente()
    {
        const auto altro = AltroUtente();
        if (!altro)
            QSKIP("serve l'utente root per diventare nobody");
        ServerMenu server(*m_config);
        QVERIFY(server.Avvia());
        QSignalSpy rifiutato(&server, &ServerMenu::CollegamentoRifiutato);
        QSignalSpy registrato(&server, &ServerMenu::Registrato);
        chmod(QFile::encodeName(m_radice->path()).constData(), 0711);
        chmod(QFile::encodeName(Cartella()).constData(), 0711);
        chmod(QFile::encodeName(server.Percorso()).constData(), 0777);

        sockaddr_un indirizzo {};
        indirizzo.sun_family = AF_UNIX;
        const QByteArray nome = QFile::encodeName(server.Percorso());
        std::memcpy(indirizzo.sun_path, nome.constData(), nome.size());
        const pid_t figlio = fork();
        if (figlio == 0) {
            if (setgid(altro->gid) != 0 || setuid(altro->uid) != 0)
                _exit(3);
            const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
            if (::connect(fd, reinterpret_cast<sockaddr*>(&indirizzo), sizeof indirizzo) != 0)
                _exit(2);
            const char richiesta[] = "{\"tipo\":\"richiesta\",\"id\":1,\"op\":\"valore\",\"nome\":\"PwdDbAzie\"}\n";
            (void)!write(fd, richiesta, sizeof richiesta - 1);
            char risposta[256];
            _exit(read(fd, risposta, sizeof risposta) > 0 ? 1 : 0);
        }
        QTRY_COMPARE_WITH_TIMEOUT(rifiutato.size(), 1, 5000);
        QCOMPARE(rifiutato[0][0].toString(),
                 QString("Dall'altra parte del collegamento c'è un altro utente (uid %1)").arg(altro->uid));
        int stato = 0;
        bool finito = false;
        QTRY_VERIFY_WITH_TIMEOUT(finito || (finito = waitpid(figlio, &stato, WNOHANG) == figlio), 5000);
        QVERIFY(!WIFEXITED(stato) || WEXITSTATUS(stato) == 0);  // dropped unanswered (or killed writing to it)
        QCOMPARE(registrato.size(), 0);
    }

    void peerDelloStessoUtente()
    {
        int coppia[2];
        QCOMPARE(socketpair(AF_UNIX, SOCK_STREAM, 0, coppia), 0);
        QCOMPARE(AccessoMenu::ControllaInterlocutore(coppia[0]), QString());
        close(coppia[0]);
        close(coppia[1]);
        QVERIFY(AccessoMenu::ControllaInterlocutore(-1).startsWith("Impossibile verificare"));
    }

    // Passwords and connection texts handed over by the menu show in no
    // message, no menu log line and no diagnostic output.
    void passwordNonEsceDalCollegamento()
    {
        const QString segreto = "Segreto-7f3a";
        const QString segretoConnessione = "Chiave-91bc";
        QFile orvwin(m_radice->filePath("orvwin.ini"));
        QVERIFY(orvwin.open(QIODevice::WriteOnly));
        orvwin.write("[Parametri Generali]\r\nNumIni=0\r\nOrdIniDBase=ditta.ini\r\nVisParam=TUTTO\r\n");
        orvwin.close();
        m_config->CreaPredefinita(m_radice->filePath("ditta.db"));
        m_config->Scrivi("Valori", "ConnectDBAzie", "ODBC;DSN=quiva-inesistente;UID=prova;PWD=" + segretoConnessione);
        m_config->Scrivi("Valori", "PwdDbAzie", segreto);
        m_config->Scrivi("Valori", "SqlPwd", segreto);
        m_config->Scrivi("Valori", "AccMenuPwd", segreto);

        static QStringList diagnostica;
        diagnostica.clear();
        const auto precedente = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext&, const QString& testo) { diagnostica << testo; });
        ServerMenu server(*m_config);
        QVERIFY(server.Avvia());
        FinestraMenu finestra(*m_config, server);
        server.ImpostaLancio("frmQuiva", "");
        RisposteScriptate risposte;
        {
            Programma programma(risposte, risposte);
            programma.alTermine = [] {};
            QVERIFY(!AvvioProgramma(programma, "/M" + IdMenu() + " /PQUIVA /FfrmQuiva"));
        }
        QCoreApplication::processEvents();
        qInstallMessageHandler(precedente);

        QVERIFY(risposte.Mostrato("Tipo Connessione: ODBC;DSN=quiva-inesistente;UID=prova;PWD=****;pwd=****"));
        QVERIFY(risposte.Mostrato("nell'apertura del database"));
        const QString tutto =
            risposte.Testi().join('\n') + finestra.txtRegistro->toPlainText() + diagnostica.join('\n');
        QVERIFY(finestra.txtRegistro->toPlainText().contains("Registrato QUIVA"));
        QVERIFY2(!tutto.contains(segreto) && !tutto.contains(segretoConnessione), qPrintable(tutto));
    }

    void passwordNascosteNeiTesti_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("in fondo") << "ODBC;DSN=x;UID=u;pwd=abc"
                                  << "ODBC;DSN=x;UID=u;pwd=****";
        QTest::newRow("in mezzo") << "ODBC;PWD=abc;DSN=x"
                                  << "ODBC;PWD=****;DSN=x";
        QTest::newRow("parola intera") << "Driver=x;Password = a;b"
                                       << "Driver=x;Password = ****;b";
        QTest::newRow("tra graffe") << "DSN=x;PWD={a;b=c};UID=u"
                                    << "DSN=x;PWD=****;UID=u";
        QTest::newRow("vuota") << "DSN=x;PWD="
                               << "DSN=x;PWD=****";
        QTest::newRow("senza password") << "/dati/ditta.db"
                                        << "/dati/ditta.db";
    }
    void passwordNascosteNeiTesti()
    {
        QFETCH(QString, testo);
        QFETCH(QString, atteso);
        QCOMPARE(FormUtility::NascondiPassword(testo), atteso);
    }
};

QTEST_MAIN(TestCollegamentoPrivato)
#include "qtest_collegamento.moc"
