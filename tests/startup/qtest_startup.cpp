// Screens and the live link: message window, keyboard handling, find and
// replace, "/RO", and the start-up against a real menu server.
#include "Avvio.h"
#include "ConfigurazioneMenu.h"
#include "DatabaseLink.h"
#include "ErroreRun.h"
#include "FormatoDefinizione.h"
#include "GestioneMaschere.h"
#include "Maschera.h"
#include "MenuFinto.h"
#include "Programma.h"
#include "RisposteScriptate.h"
#include "ServerMenu.h"
#include "TabelleQuiva.h"
#include "Tastiera.h"
#include "TraduzioniQt.h"
#include "frmAiuto.h"
#include "frmMsgCom.h"
#include "frmQuiva.h"
#include "scMenuComandiClie.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

namespace {

class MascheraProva : public Maschera {
public:
    QLineEdit* txtCodice = new QLineEdit(this);
    QPlainTextEdit* txtNote = new QPlainTextEdit(this);
    QLineEdit* txtDescrizione = new QLineEdit(this);
    MascheraProva()
    {
        setWindowTitle("Prova");
        auto* l = new QVBoxLayout(this);
        l->addWidget(txtCodice);
        l->addWidget(txtNote);
        l->addWidget(txtDescrizione);
    }
    void Carica() override
    {
        OpzioniMaschera opzioni;
        opzioni.silenziosa = true;
        PreparaMaschera(*this, {}, opzioni);
    }
};

class MascheraGuasta : public Maschera {
public:
    void Carica() override { throw ErroreRun(3078, "Tabella QuivaMancante inesistente"); }
};

// A company database with the load tables and a menu server in this process.
struct MenuDiProva {
    QTemporaryDir cartella;
    ConfigurazioneMenu configurazione {cartella.filePath("quiva-menu.ini")};
    std::unique_ptr<ServerMenu> server;

    // nuova: a company made by another tool, with a table of its own only.
    explicit MenuDiProva(bool nuova = false)
    {
        const QString db = cartella.filePath("ditta.db");
        if (nuova) {
            QProcess::execute("sqlite3", {db, "create table Clienti(Codice text primary key, Nome text);"});
        } else {
            QProcess::execute("sqlite3",
                              {db,
                               "create table Monete(moneta text, NumDec int, NumDecGest int, Operatore text, Cee text);"
                               "insert into Monete values('L.',0,2,'/','N');"});
            CreaTabelleQuiva(*DatabaseLink::ApriFile(db));
            QProcess::execute("sqlite3", {db, "insert into QuivaFile (Codice, Descrizione) values ('A', 'Articoli');"});
        }
        configurazione.Scrivi("Menu", "Id", QString("prova%1").arg(QCoreApplication::applicationPid()));
        configurazione.CreaPredefinita(db);
        configurazione.Scrivi("Ditta", "Ditta.Moneta", "L.");
    }
    void Avvia(const QString& maschera, const QString& parametri)
    {
        server = std::make_unique<ServerMenu>(configurazione);
        QVERIFY(server->Avvia());
        server->ImpostaLancio(maschera, parametri);
    }
    QString RigaComando(const QString& maschera) const
    {
        return "/M" + configurazione.IdMenu() + " /PQUIVA /F" + maschera;
    }
};

// Runs the event loop until the program ends (true) or 5 seconds pass.
bool Finisce(Programma& programma)
{
    QEventLoop ciclo;
    programma.alTermine = [&] { ciclo.exit(0); };
    QTimer::singleShot(5000, &ciclo, [&] { ciclo.exit(1); });
    const bool finito = ciclo.exec() == 0;
    programma.alTermine = {};
    return finito && programma.terminato;
}

}  // namespace

class TestAvvio : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        RegistroMaschere::Registra("frmProva", [] { return new MascheraProva; });
        RegistroMaschere::Registra("frmGuasta", [] { return new MascheraGuasta; });
        StatoTastiera::Programma() = StatoTastiera {};
    }

    void finestraMessaggiUnPulsantePerRisposta()
    {
        frmMsgCom finestra;
        QTimer::singleShot(0, &finestra, [&] {
            QCOMPARE(finestra.ComEsegui.size(), 2);
            QCOMPARE(finestra.ComEsegui[1]->text(), QString("&Annulla"));
            finestra.ComEsegui[1]->click();
        });
        QCOMPARE(finestra.Mostra("Vuoi continuare?", {"&Si", "", "&Annulla"}), 3);
        QCOMPARE(finestra.txtMessaggio->text(), QString("Vuoi continuare?"));
        QCOMPARE(finestra.txtComRit->text(), QString("3"));

        QTimer::singleShot(0, &finestra, [&] { finestra.reject(); });
        QCOMPARE(finestra.Mostra("Chiudere?", {"&Si", "&No"}), 2);  // closing the window is the last answer
    }

    // The message window, as the input box: the proposal is selected, the
    // answer confirmed with Enter twice (to "&Ok", then on it); "&Annulla"
    // gives nothing. Buttons and Qt's own texts are Italian.
    void finestraMessaggiComeRichiesta()
    {
        QVERIFY(InstallaTraduzioniQt(*qApp));
        QCOMPARE(QCoreApplication::translate("QLineEdit", "&Undo"), QString("Ann&ulla"));
        MessaggiDesktop desktop;
        QStringList pulsanti;
        QString titolo;
        QTimer::singleShot(0, [&] {
            auto* f = qobject_cast<frmMsgCom*>(QApplication::activeModalWidget());
            QVERIFY(f);
            QTimer::singleShot(3000, f, &QDialog::reject);  // never left waiting
            QApplication::setActiveWindow(f);
            QTRY_VERIFY(f->txtRisposta->hasFocus());
            titolo = f->windowTitle();
            for (QPushButton* p : f->ComEsegui)
                pulsanti << p->text();
            QCOMPARE(f->txtRisposta->selectedText(), QString("0"));
            QTest::keyClicks(f->txtRisposta, "2");
            QTest::keyClick(f->txtRisposta, Qt::Key_Return);
            QTRY_VERIFY(f->ComEsegui[0]->hasFocus());
            QTest::keyClick(f->ComEsegui[0], Qt::Key_Return);
        });
        QCOMPARE(desktop.Chiedi("Numero di ini scelto\n(da 0 a 2)", "Scelta dell'INI", "0"),
                 std::optional<QString>("2"));
        QCOMPARE(titolo, QString("Scelta dell'INI"));
        QCOMPARE(pulsanti, (QStringList {"&Ok", "&Annulla"}));

        QTimer::singleShot(0,
                           [&] { qobject_cast<frmMsgCom*>(QApplication::activeModalWidget())->ComEsegui[1]->click(); });
        QCOMPARE(desktop.Chiedi("Stringa da cercare", "", "alfa"), std::nullopt);
    }

    void filtroTastiDelTastierino()
    {
        StatoTastiera stato;
        stato.ultimoTasto = CodiciTasto::DecimaleTastierino;
        QCOMPARE(FiltraTasto('.', stato, "s"), int(','));
        QCOMPARE(FiltraTasto('.', stato, ""), int('.'));
        stato.ultimoShift = 1;
        QCOMPARE(FiltraTasto('.', stato, "S"), int('.'));
        stato = {};
        stato.ultimoTasto = 190;  // the main keyboard's "."
        QCOMPARE(FiltraTasto('.', stato, "S"), int('.'));
        QCOMPARE(FiltraTasto(27, stato, "S"), 0);
        QCOMPARE(FiltraTasto(13, stato, "S"), 0);
        stato.invioNelCampo = true;
        QCOMPARE(FiltraTasto(13, stato, "S"), 13);
        QCOMPARE(FiltraTasto('a', stato, "S"), int('a'));
    }

    void tastiVeriSullaMaschera()
    {
        RisposteScriptate risposte;
        Programma programma(risposte, risposte);
        programma.generali.tastierinoVirgola = "S";
        auto* m = new MascheraProva;
        QVERIFY(MostraMaschera(m, "", "", "", ""));
        QVERIFY(QTest::qWaitForWindowExposed(m));
        m->activateWindow();
        m->txtCodice->setFocus();
        QTest::keyClicks(m->txtCodice, "12");
        QTest::keyClick(m->txtCodice, Qt::Key_Period, Qt::KeypadModifier);
        QTest::keyClick(m->txtCodice, Qt::Key_5);
        QTest::keyClick(m->txtCodice, Qt::Key_Period);
        QCOMPARE(m->txtCodice->text(), QString("12,5."));

        // Enter moves on; in a multi-line field it stays until all is selected.
        QTest::keyClick(m->txtCodice, Qt::Key_Return);
        QTRY_VERIFY(m->txtNote->hasFocus());
        QTest::keyClicks(m->txtNote, "riga");
        QTest::keyClick(m->txtNote, Qt::Key_Return);
        QVERIFY(m->txtNote->hasFocus());
        QCOMPARE(m->txtNote->toPlainText(), QString("riga\n"));
        m->txtNote->selectAll();
        QTest::keyClick(m->txtNote, Qt::Key_Return);
        QTRY_VERIFY(m->txtDescrizione->hasFocus());
        QCOMPARE(m->txtNote->toPlainText(), QString("riga\n"));
        QTest::keyClick(m->txtDescrizione, Qt::Key_Return, Qt::ShiftModifier);
        QTRY_VERIFY(m->txtNote->hasFocus());

        // Escape never reaches the control.
        bool arrivato = false;
        QObject::connect(m->txtDescrizione, &QLineEdit::returnPressed, [&] { arrivato = true; });
        m->txtDescrizione->setFocus();
        QTest::keyClick(m->txtDescrizione, Qt::Key_Escape);
        QVERIFY(m->isVisible());
        QVERIFY(!arrivato);
        programma.maschere.clear();
        delete m;
    }

    // Real key events reach the handler with the classic codes.
    void codiciDeiTastiVeri_data()
    {
        QTest::addColumn<int>("tasto");
        QTest::addColumn<int>("modificatori");
        QTest::addColumn<int>("codice");
        QTest::addColumn<int>("shift");
        const int nessuno = Qt::NoModifier, tastierino = Qt::KeypadModifier;
        QTest::newRow("Home") << int(Qt::Key_Home) << nessuno << 36 << 0;
        QTest::newRow("End") << int(Qt::Key_End) << nessuno << 35 << 0;
        QTest::newRow("sinistra") << int(Qt::Key_Left) << nessuno << 37 << 0;
        QTest::newRow("giu") << int(Qt::Key_Down) << nessuno << 40 << 0;
        QTest::newRow("PagSu") << int(Qt::Key_PageUp) << nessuno << 33 << 0;
        QTest::newRow("Ins") << int(Qt::Key_Insert) << nessuno << 45 << 0;
        QTest::newRow("Canc") << int(Qt::Key_Delete) << nessuno << 46 << 0;
        QTest::newRow("F2") << int(Qt::Key_F2) << nessuno << 113 << 0;
        QTest::newRow("F12") << int(Qt::Key_F12) << nessuno << 123 << 0;
        QTest::newRow("lettera") << int(Qt::Key_A) << int(Qt::ShiftModifier) << 65 << 1;
        QTest::newRow("cifra") << int(Qt::Key_7) << nessuno << 55 << 0;
        QTest::newRow("tastierino 5") << int(Qt::Key_5) << tastierino << 101 << 0;
        QTest::newRow("tastierino *") << int(Qt::Key_Asterisk) << tastierino << 106 << 0;
        QTest::newRow("tastierino decimale") << int(Qt::Key_Period) << tastierino << 110 << 0;
        QTest::newRow("Alt+destra") << int(Qt::Key_Right) << int(Qt::AltModifier) << 39 << 4;
    }
    void codiciDeiTastiVeri()
    {
        QFETCH(int, tasto);
        QFETCH(int, modificatori);
        QWidget finestra;
        UsaTastieraComune(finestra);
        auto* campo = new QLineEdit(&finestra);
        finestra.show();
        QVERIFY(QTest::qWaitForWindowExposed(&finestra));
        campo->setFocus();
        QTest::keyClick(campo, Qt::Key(tasto), Qt::KeyboardModifiers(modificatori));
        QTEST(StatoTastiera::Programma().ultimoTasto, "codice");
        QTEST(StatoTastiera::Programma().ultimoShift, "shift");
    }

    // A modifier pressed alone does nothing (no macro asked for Ctrl);
    // Ctrl+Alt+Shift+\ arrives as the backslash key and sets the
    // case-sensitive search.
    void modificatoriESensibilitaMaiuscole()
    {
        RisposteScriptate risposte;
        Programma programma(risposte, risposte);
        auto menu = std::make_unique<MenuFinto>();
        MenuFinto* finto = menu.get();
        programma.menuComandi = std::make_unique<scMenuComandiClie>(std::move(menu), programma);
        QWidget finestra;
        UsaTastieraComune(finestra);
        auto* campo = new QLineEdit(&finestra);
        finestra.show();
        QVERIFY(QTest::qWaitForWindowExposed(&finestra));
        campo->setFocus();
        StatoTastiera::Programma().ultimoTasto = -1;
        QTest::keyClick(campo, Qt::Key_Control, Qt::ControlModifier);
        QTest::keyClick(campo, Qt::Key_Shift, Qt::ShiftModifier);
        QTest::keyClick(campo, Qt::Key_Alt, Qt::AltModifier);
        QCOMPARE(StatoTastiera::Programma().ultimoTasto, -1);
        QVERIFY(finto->chiamate.isEmpty());

        const auto tutti = Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier;
        QTest::keyClick(campo, Qt::Key_Bar, tutti);
        QCOMPARE(StatoTastiera::Programma().modoConfronto, 0);
        QTest::keyClick(campo, Qt::Key_Backslash, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(StatoTastiera::Programma().modoConfronto, 1);
        QCOMPARE(campo->text(), QString());
    }

    // Any window can take the shared handling: Enter moves on and presses a
    // focused button, Escape is swallowed, F1 opens the window's topic.
    void tastieraComuneSuUnaFinestraQualsiasi()
    {
        RisposteScriptate risposte;
        Programma programma(risposte, risposte);
        programma.fileHelp = "quiva";
        QDialog finestra;
        UsaTastieraComune(finestra, 3750);
        auto* primo = new QLineEdit(&finestra);
        auto* secondo = new QLineEdit(&finestra);
        auto* ok = new QPushButton("&Ok", &finestra);
        ok->setAutoDefault(false);
        auto* l = new QVBoxLayout(&finestra);
        l->addWidget(primo);
        l->addWidget(secondo);
        l->addWidget(ok);
        bool premuto = false;
        connect(ok, &QPushButton::clicked, [&] { premuto = true; });
        finestra.show();
        QVERIFY(QTest::qWaitForWindowExposed(&finestra));
        primo->setFocus();
        QTest::keyClick(primo, Qt::Key_Return);
        QTRY_VERIFY(secondo->hasFocus());
        QTest::keyClick(secondo, Qt::Key_Escape);
        QVERIFY(finestra.isVisible());
        QTest::keyClick(secondo, Qt::Key_Enter, Qt::KeypadModifier);
        QTRY_VERIFY(ok->hasFocus());
        QTest::keyClick(ok, Qt::Key_Return);
        QVERIFY(premuto);

        QTest::keyClick(ok, Qt::Key_F1);
        frmAiuto* aiuto = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* a = qobject_cast<frmAiuto*>(w); a && a->isVisible())
                aiuto = a;
        QVERIFY(aiuto);
        QCOMPARE(aiuto->ArgomentoCorrente(), QString("verifica-degli-errori"));
        aiuto->close();
    }

    void coloriDelFuoco()
    {
        RisposteScriptate risposte;
        Programma programma(risposte, risposte);
        programma.generali.colBackGotFocus = 0x80FFFFu;  // 0x00BBGGRR: light yellow
        programma.generali.colBackLostFocus = 0x80000005u;
        QWidget finestra;
        UsaTastieraComune(finestra);
        auto* primo = new QLineEdit(&finestra);
        auto* secondo = new QPlainTextEdit(&finestra);
        auto* l = new QVBoxLayout(&finestra);
        l->addWidget(primo);
        l->addWidget(secondo);
        finestra.show();
        QVERIFY(QTest::qWaitForWindowExposed(&finestra));
        QApplication::setActiveWindow(&finestra);
        const QColor normale = QApplication::palette(primo).color(QPalette::Base);
        primo->setFocus();
        QTRY_COMPARE(primo->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0x80));
        secondo->setFocus();
        QTRY_COMPARE(secondo->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0x80));
        QCOMPARE(primo->palette().color(QPalette::Base), normale);
    }

    void paginaDiAiutoPerContesto()
    {
        const QList<QPair<int, QString>> attesi {{3700, "quivamento-dati"},
                                                 {3701, "selezione-per-il-quivamento-batch"},
                                                 {3750, "verifica-degli-errori"},
                                                 {3600, "gestione-delle-definizioni"},
                                                 {3610, "dettagli-dei-campi"},
                                                 {3620, "trasformazioni"},
                                                 {0, "indice"},
                                                 {3000, "indice"}};
        for (const auto& [contesto, argomento] : attesi)
            QCOMPARE(PagineAiuto::ArgomentoDelContesto(contesto), argomento);
    }

    // The pages are the guide's sections: every link leads to a page, and
    // the pages of the editor explain every column of their table.
    void pagineDellaGuida()
    {
        static const QRegularExpression collegamento(QStringLiteral("href=\"#([^\"]+)\""));
        for (const QString& argomento : PagineAiuto::Argomenti()) {
            const QString html = PagineAiuto::Html(argomento);
            QVERIFY2(!html.isEmpty(), qPrintable(argomento));
            for (auto it = collegamento.globalMatch(html); it.hasNext();) {
                const QString ancora = it.next().captured(1);
                QVERIFY2(!PagineAiuto::Risolvi(ancora).isEmpty(), qPrintable(argomento + " -> " + ancora));
            }
        }
        QCOMPARE(PagineAiuto::Risolvi("#campi-chiave"), QString("dettagli-dei-campi"));  // a subsection
        QVERIFY(PagineAiuto::Risolvi("altro.md").isEmpty());

        const std::pair<int, std::span<const FormatoDefinizione::Colonna>> tabelle[] = {
            {3600, FormatoDefinizione::ColonneFile()},
            {3610, FormatoDefinizione::ColonneDettaglio()},
            {3620, FormatoDefinizione::ColonneDecod()}};
        for (const auto& [contesto, colonne] : tabelle) {
            QTextDocument pagina;
            pagina.setHtml(PagineAiuto::Html(PagineAiuto::ArgomentoDelContesto(contesto)));
            const QString testo = pagina.toPlainText();
            for (const FormatoDefinizione::Colonna& c : colonne)
                QVERIFY2(testo.contains(QLatin1String(c.nome)), c.nome);
        }
    }

    void macroCtrl()
    {
        RisposteScriptate risposte;
        Programma programma(risposte, risposte);
        auto menu = std::make_unique<MenuFinto>();
        MenuFinto* finto = menu.get();
        programma.menuComandi = std::make_unique<scMenuComandiClie>(std::move(menu), programma);
        finto->impostazioni = {{"Tutti/TastiCtrl_68", "D  Spett.le ditta "}, {"Tutti/TastiCtrl_-66", "1"}};
        QLineEdit campo("vecchio");
        StatoTastiera stato;
        const ServiziTastiera servizi = ServiziTastiera::DelProgramma();
        int k = 'D';
        QVERIFY(GestTastiMaschera(k, 2, &campo, 0, stato, servizi));
        QCOMPARE(k, 0);
        QCOMPARE(campo.text(), QString("Spett.le ditta"));
        k = 'B';
        QVERIFY(GestTastiMaschera(k, 3, &campo, 0, stato, servizi));
        QCOMPARE(campo.text(), QString("Spett.le ditta"));
        k = 'C';
        QVERIFY(!GestTastiMaschera(k, 2, &campo, 0, stato, servizi));  // no macro: the key goes on
        QVERIFY(finto->chiamate.contains("impostazione Tutti/TastiCtrl|67"));
    }

    void trovaESostituisci()
    {
        RisposteScriptate risposte;
        StatoTastiera stato;
        ServiziTastiera servizi;
        servizi.messaggi = &risposte;
        servizi.domande = &risposte;
        QPlainTextEdit campo;
        campo.setPlainText("Alfa beta ALFA gamma alfa");
        auto premi = [&](int tasto, int shift) {
            int k = tasto;
            const bool gestito = GestTastiMaschera(k, shift, &campo, 0, stato, servizi);
            return gestito && k == 0;
        };

        // Forwards from the caret at 0 finds the match at 0.
        risposte.AccodaTesto(QString("alfa"));
        QVERIFY(premi('F', 6));
        QCOMPARE(campo.textCursor().selectionStart(), 0);
        QCOMPARE(campo.textCursor().selectedText(), QString("Alfa"));
        QVERIFY(premi(CodiciTasto::PagGiu, 6));
        QCOMPARE(campo.textCursor().selectionStart(), 10);
        QVERIFY(premi(CodiciTasto::PagSu, 6));
        QCOMPARE(campo.textCursor().selectionStart(), 0);

        // Case-sensitive mode: "alfa" only at 21.
        QVERIFY(premi(CodiciTasto::BarraRovescia, 7));
        QCOMPARE(stato.modoConfronto, 0);
        QVERIFY(premi(CodiciTasto::PagGiu, 6));
        QCOMPARE(campo.textCursor().selectionStart(), 21);
        QVERIFY(premi(CodiciTasto::PagGiu, 6));
        QCOMPARE(risposte.messaggi.last().testo, QString("Testo non trovato"));
        QVERIFY(premi(CodiciTasto::BarraRovescia, 6));
        QCOMPARE(stato.modoConfronto, 1);

        // Replace: the selection equal to the search text is replaced, then
        // the search goes on.
        QTextCursor c = campo.textCursor();
        c.setPosition(0);
        campo.setTextCursor(c);
        risposte.AccodaTesto(QString("ALFA"));
        risposte.AccodaTesto(QString("Omega"));
        QVERIFY(premi('S', 6));
        QCOMPARE(campo.toPlainText(), QString("Alfa beta ALFA gamma alfa"));  // nothing selected yet: found first
        QCOMPARE(campo.textCursor().selectionStart(), 0);
        risposte.AccodaTesto(QString("ALFA"));
        risposte.AccodaTesto(QString("Omega"));
        QVERIFY(premi('S', 6));
        QCOMPARE(campo.toPlainText(), QString("Omega beta ALFA gamma alfa"));
        QCOMPARE(campo.textCursor().selectedText(), QString("ALFA"));
        QCOMPARE(risposte.domande.mid(risposte.domande.size() - 2),
                 (QStringList {"Stringa da cercare", "Sostituire con"}));
        QCOMPARE(risposte.proposte.last(), QString("Omega"));

        // Empty answers leave the text alone.
        const QString prima = campo.toPlainText();
        risposte.AccodaTesto(QString(""));
        QVERIFY(premi('S', 6));
        risposte.AccodaTesto(QString("beta"));
        risposte.AccodaTesto(std::nullopt);
        QVERIFY(premi('S', 6));
        QCOMPARE(campo.toPlainText(), prima);
    }

    void soloLetturaDaRO()
    {
        QCOMPARE(AbilitazioneScrittura("12 RO"), 0);
        QCOMPARE(AbilitazioneScrittura("/RO"), 0);
        QCOMPARE(AbilitazioneScrittura("12"), 1);
        QCOMPARE(AbilitazioneScrittura("PROVA"), 1);
    }

    void senzaMenuIlProgrammaFinisce()
    {
        RisposteScriptate risposte;
        Programma programma(risposte, risposte);
        bool finito = false;
        programma.alTermine = [&] { finito = true; };
        QVERIFY(!AvvioProgramma(programma, "/Mnessun-menu-qui /PQUIVA /FfrmQuiva"));
        QCOMPARE(risposte.Testi(),
                 QStringList {
                     "Il menu principale non è in esecuzione\nQuesto programma non può essere eseguito autonomamente"});
        QCOMPARE(risposte.messaggi[0].risposte, QStringList {"&Ok"});
        QTRY_VERIFY(finito);
    }

    void avvioControUnMenuVero()
    {
        MenuDiProva menu;
        menu.configurazione.Scrivi("Valori", "VersMenu", "1.06");
        menu.configurazione.Scrivi("Personale.Quiva", "SoloAsci", "S");
        menu.Avvia("frmQuiva", "12 RO");

        RisposteScriptate risposte;
        Programma programma(risposte, risposte);
        QSignalSpy registrato(menu.server.get(), &ServerMenu::Registrato);
        QVERIFY(AvvioProgramma(programma, "/M" + menu.configurazione.IdMenu() + " /PQUIVA 12 RO /FFRMQUIVA"));
        QCOMPARE(risposte.Testi(), QStringList {});
        QCOMPARE(registrato.size(), 1);
        QCOMPARE(registrato[0][1].toString(), QString("12 RO"));
        QVERIFY(programma.db);
        QCOMPARE(programma.ditta.MonetaDitta().numDec, 0);
        QCOMPARE(programma.soloAsci, QString("S"));
        QCOMPARE(programma.fileHelp, QString("quiva"));
        QCOMPARE(programma.dirSorgenti, menu.cartella.path());
        QCOMPARE(programma.dataMinima, QString("01/01/1900"));

        // The real load dialog, view-only: it refuses to load.
        auto* f = qobject_cast<frmQuiva*>(programma.MascheraDiNome("frmQuiva"));
        QVERIFY(f);
        QCOMPARE(f->oiAbilRW, 0);
        QCOMPARE(f->osParamLancia, QString("12 RO"));
        QCOMPARE(f->dbgQuiva->model()->rowCount(), 1);
        f->dbgQuiva->selectRow(0);
        f->ComOk->click();
        QCOMPARE(risposte.Testi(),
                 QStringList {"Quivamento non consentito: il programma è aperto in sola consultazione"});
        risposte.messaggi.clear();

        // Commands from the menu.
        QSignalSpy esiti(menu.server.get(), &ServerMenu::EsitoComando);
        menu.server->InviaComando("esiste");
        menu.server->InviaComando("FINE");
        menu.server->InviaComando("sconosciuto");
        QTRY_COMPARE(esiti.size(), 3);
        QCOMPARE(esiti[0][2].value<QJsonValue>().toBool(), true);
        QCOMPARE(esiti[1][2].value<QJsonValue>().toString(), QString("No Chiudi"));
        QCOMPARE(esiti[2][2].value<QJsonValue>().toString(), QString(""));

        // "attiva" for an unknown screen.
        menu.server->ImpostaLancio("frmInesistente", "");
        menu.server->InviaComando("attiva");
        QTRY_COMPARE(esiti.size(), 4);
        QCOMPARE(risposte.Testi(), QStringList {"La form richiesta e' inesistente"});

        // Closing the last screen shows the menu and ends the program.
        QSignalSpy mostra(menu.server.get(), &ServerMenu::MostraRichiesto);
        f->close();
        QVERIFY(Finisce(programma));
        QCOMPARE(mostra.size(), 1);
    }

    // A company without the definition tables and without Monete opens:
    // the tables are made, the currencies take their defaults, with a notice.
    void dittaNuovaSiApre()
    {
        MenuDiProva menu(true);
        menu.Avvia("frmQuiva", "");
        RisposteScriptate risposte;
        Programma programma(risposte, risposte);
        QVERIFY(AvvioProgramma(programma, menu.RigaComando("frmQuiva")));
        QCOMPARE(risposte.Testi(),
                 QStringList {"La ditta non ha la tabella Monete: per lire ed euro si usano 2 decimali."});
        QCOMPARE(programma.ditta.MonetaDitta().numDec, 2);
        for (const char* tabella : {"QuivaFile", "QuivaDettaglio", "QuivaDecod", "ErroriQuivamento"})
            QVERIFY2(programma.db->EsisteTabella(tabella), tabella);
        auto* f = qobject_cast<frmQuiva*>(programma.MascheraDiNome("frmQuiva"));
        QVERIFY(f && f->isVisible());
        QCOMPARE(f->dbgQuiva->model()->rowCount(), 0);
        f->close();
        QVERIFY(Finisce(programma));
    }

    // Whatever way the start-up goes, no process is left without a window.
    void avvioSenzaMascheraFinisce()
    {
        MenuDiProva menu;
        menu.Avvia("frmInesistente", "");
        RisposteScriptate risposte;
        Programma programma(risposte, risposte);
        QVERIFY(!AvvioProgramma(programma, menu.RigaComando("frmInesistente")));
        QCOMPARE(risposte.Testi(), QStringList {"La form richiesta e' inesistente"});
        QVERIFY(Finisce(programma));
    }

    void avvioConMascheraGuastaFinisce()
    {
        MenuDiProva menu;
        menu.Avvia("frmGuasta", "");
        QSignalSpy avvisi(menu.server.get(), &ServerMenu::Avviso);
        RisposteScriptate risposte;
        Programma programma(risposte, risposte);
        QVERIFY(!AvvioProgramma(programma, menu.RigaComando("frmGuasta")));
        QTRY_COMPARE(avvisi.size(), 1);
        QVERIFY(avvisi[0][0].toString().startsWith("Errore(3078): Tabella QuivaMancante inesistente"));
        QCOMPARE(risposte.Testi(), QStringList {"Impossibile aprire il programma richiesto"});
        QVERIFY(!programma.caricamentoFallito);
        QVERIFY(Finisce(programma));
    }

    // A screen that failed to load leaves no trace: the next screen's
    // "Esci" still tells the menu and ends the program.
    void dopoUnaMascheraGuastaEsciChiude()
    {
        MenuDiProva menu;
        menu.Avvia("frmProva", "");
        RisposteScriptate risposte;
        Programma programma(risposte, risposte);
        QVERIFY(AvvioProgramma(programma, menu.RigaComando("frmProva")));
        QSignalSpy esiti(menu.server.get(), &ServerMenu::EsitoComando);
        menu.server->ImpostaLancio("frmGuasta", "");
        menu.server->InviaComando("attiva");
        QTRY_COMPARE(esiti.size(), 1);
        QCOMPARE(risposte.Testi(), QStringList {"Impossibile aprire il programma richiesto"});

        QSignalSpy mostra(menu.server.get(), &ServerMenu::MostraRichiesto);
        programma.MascheraDiNome("frmProva")->close();
        QVERIFY(Finisce(programma));
        QCOMPARE(mostra.size(), 1);
    }

    void menuChiusoIlProgrammaFinisce()
    {
        MenuDiProva menu;
        menu.Avvia("frmProva", "");
        RisposteScriptate risposte;
        Programma programma(risposte, risposte);
        QVERIFY(AvvioProgramma(programma, menu.RigaComando("frmProva")));
        QPointer<Maschera> m = programma.MascheraDiNome("frmProva");
        QVERIFY(m);
        menu.server.reset();
        QVERIFY(Finisce(programma));
        QTRY_VERIFY(!m);
        QCOMPARE(risposte.Testi(), QStringList {});
    }

    void valoreErratoDelMenuMostrato()
    {
        MenuDiProva menu;
        menu.configurazione.Scrivi("Valori", "NomeDBAzie", "Err: ditta 12 non trovata");
        menu.Avvia("frmProva", "");
        RisposteScriptate risposte;
        Programma programma(risposte, risposte);
        QVERIFY(!AvvioProgramma(programma, menu.RigaComando("frmProva")));
        QCOMPARE(risposte.Testi(), QStringList {"Err: ditta 12 non trovata"});
        QVERIFY(Finisce(programma));
    }
};

QTEST_MAIN(TestAvvio)
#include "qtest_startup.moc"
