// The page framework on a small table of its own (Articoli): the single-record
// page driven through its boxes, keys and toolbar, the list browser with its
// editing mode, the list link's filters and printing.
#include "BarraComandi.h"
#include "ClientePagina.h"
#include "DatabaseLink.h"
#include "ErroreRun.h"
#include "LinePageEditor.h"
#include "ListBrowser.h"
#include "ListPageLink.h"
#include "PageEditor.h"
#include "RisposteScriptate.h"
#include "SqlProva.h"
#include "StampaLista.h"

#include <QAction>
#include <QFileInfo>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <memory>

namespace {

const QList<VoceComando> Comandi {{"Ricerca", "(R) Ricerca"},
                                  {"Nuovo", "(N) Nuovo"},
                                  {"Salva", "(S) Salva"},
                                  {"Cancella", "(C) Cancella"},
                                  {"Annulla", "(A) Annulla"},
                                  {"Duplica", "(D) Duplica"},
                                  {"VarKey", "(V) Varia campi chiave"},
                                  {"Inizio", "(I) Inizio Archivio"},
                                  {"Precedente", "(P) Precedente"},
                                  {"Successivo", "(U) Successivo"},
                                  {"Fine", "(F) Fine Archivio"},
                                  {"Chiudi", "(H) Chiudi"}};

AttributiCampo Attributi(int chiave, bool obbligatorio, int tipo, int dimensione, const QString& predefinito)
{
    AttributiCampo a;
    a.chiave = chiave;
    a.obbligatorio = obbligatorio;
    a.tipo = tipo;
    a.dimensione = dimensione;
    a.formato = TipiDato::IsNumerico(tipo) ? QStringLiteral("#,###") : QString();
    a.predefinito = predefinito;
    return a;
}

// A screen of one page over Articoli, recording the page events.
class SchermoProva : public QWidget, public ClientePagina {
public:
    SchermoProva(DatabaseLink& db, RisposteScriptate& messaggi) : m_db(db)
    {
        auto* layout = new QVBoxLayout(this);
        barra = new BarraComandi(Comandi, this);
        layout->addWidget(barra);
        for (QLineEdit** casella : {&codice, &descr, &prezzo, &reparto}) {
            *casella = new QLineEdit(this);
            layout->addWidget(*casella);
        }
        pagina = new PageEditor(*this, *this, messaggi, &messaggi);
        pagina->ImpostaTabella(QStringLiteral("Articoli"));
        pagina->Registra(1, codice, QStringLiteral("Codice"), QStringLiteral("Codice"),
                         Attributi(1, false, TipiDato::String, 0, {}));
        pagina->Registra(2, descr, QStringLiteral("Descr"), QStringLiteral("Descrizione"),
                         Attributi(0, true, TipiDato::String, 0, {}));
        pagina->Registra(3, prezzo, QStringLiteral("Prezzo"), QStringLiteral("Prezzo"),
                         Attributi(0, false, TipiDato::Long, 4, {}));
        pagina->Registra(4, reparto, QStringLiteral("Reparto"), QStringLiteral("Reparto"),
                         Attributi(0, false, TipiDato::String, 0, QStringLiteral("A")));
        pagina->ImpostaDatabase(db);
        pagina->ImpostaBarra(barra);
        pagina->messaggioStato = [this](const QString& testo) { stato = testo; };
        for (int evento : {EventiPagina::Cancellazione, EventiPagina::Duplicazione, EventiPagina::Mostrato})
            pagina->Iscrivi(evento);
        pagina->Avvia();
    }

    int PersPagPri(int evento, const QVariantList& parametri) override
    {
        eventi << QStringLiteral("prima %1 %2").arg(evento).arg(parametri.value(0).toInt());
        return evento == EventiPagina::Cancellazione && rifiutaCancellazione ? 1 : 0;
    }
    int PersPagDop(int evento, const QVariantList& parametri) override
    {
        eventi << QStringLiteral("dopo %1 %2").arg(evento).arg(parametri.value(0).toInt());
        if (evento == EventiPagina::Duplicazione && parametri.value(0).toInt() == 1 && guastoDuplicando) {
            m_db.Esegui(
                QStringLiteral("Insert into Articoli (Codice, Descr) values ('ALTRO', 'scritto prima del guasto')"));
            throw ErroreRun(3022, QStringLiteral("guasto"));
        }
        return 0;
    }
    void ChiudiFrm() override { chiuso = true; }
    void MenuFrm() override { }

    void Clic(const QString& comando)
    {
        QTest::mouseClick(barra->widgetForAction(barra->Azione(comando)), Qt::LeftButton);
    }

    BarraComandi* barra;
    QLineEdit *codice, *descr, *prezzo, *reparto;
    PageEditor* pagina;
    QString stato;
    QStringList eventi;
    bool rifiutaCancellazione = false;
    bool guastoDuplicando = false;
    bool chiuso = false;

private:
    DatabaseLink& m_db;
};

// A line page over the rows of one order (Righe), the order number fixed.
class SchermoRighe : public QWidget, public ClienteRighe {
public:
    SchermoRighe(DatabaseLink& db, RisposteScriptate& messaggi)
    {
        auto* layout = new QVBoxLayout(this);
        barra = new BarraComandi(Comandi, this);
        griglia = new QTableView(this);
        layout->addWidget(barra);
        layout->addWidget(griglia);
        for (QLineEdit** casella : {&ordine, &articolo, &qta}) {
            *casella = new QLineEdit(this);
            layout->addWidget(*casella);
        }
        ordine->setText(QStringLiteral("7"));
        pagina = new LinePageEditor(*this, *this, messaggi, db);
        pagina->ImpostaGriglia(*griglia, nullptr);
        pagina->ImpostaTabella(QStringLiteral("Righe"));
        pagina->Registra(10, ordine, QStringLiteral("Ordine"), QStringLiteral("Ordine"),
                         Attributi(1, false, TipiDato::String, 0, {}));
        pagina->Registra(20, articolo, QStringLiteral("Articolo"), QStringLiteral("Articolo"),
                         Attributi(2, false, TipiDato::String, 0, {}));
        pagina->Registra(30, qta, QStringLiteral("Qta"), QStringLiteral("Quantità"),
                         Attributi(0, false, TipiDato::Long, -4, QStringLiteral("1")));
        pagina->Fisso(10);
        pagina->ImpostaBarra(barra);
        pagina->Iscrivi(EventiPagina::RigaNuova);
        pagina->Iscrivi(EventiPagina::RigaMostrata);
        pagina->Avvia();
    }
    QString PrepSql() override
    {
        return QStringLiteral("Select Ordine, Articolo, Qta from Righe where Ordine = '7' order by Articolo");
    }
    int PersPagDop(int evento, const QVariantList& parametri) override
    {
        eventi << QStringLiteral("dopo %1 %2").arg(evento).arg(parametri.value(0).toInt());
        return 0;
    }
    void ChiudiFrm() override { }
    void MenuFrm() override { }
    void Clic(const QString& comando)
    {
        QTest::mouseClick(barra->widgetForAction(barra->Azione(comando)), Qt::LeftButton);
    }

    BarraComandi* barra;
    QTableView* griglia;
    QLineEdit *ordine, *articolo, *qta;
    LinePageEditor* pagina;
    QStringList eventi;
};

}  // namespace

class ProvaPagine : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> cartella;
    std::unique_ptr<DatabaseLink> db;
    std::unique_ptr<RisposteScriptate> messaggi;
    std::unique_ptr<SchermoProva> s;

    void Sql(const QString& sql)
    {
        const QString errore = EseguiSqlProva(*db, sql);
        QVERIFY2(errore.isEmpty(), qPrintable(errore));
    }
    QStringList Righe(const QString& sql) { return RigheSqlProva(*db, sql); }
    void Apri()
    {
        s = std::make_unique<SchermoProva>(*db, *messaggi);
        s->show();
        QVERIFY(QTest::qWaitForWindowExposed(s.get()));
        s->activateWindow();
        s->codice->setFocus();
    }
    // A key pressed in a box that has the focus.
    void Tasto(QLineEdit* casella, Qt::Key tasto, Qt::KeyboardModifiers modificatori = Qt::NoModifier)
    {
        casella->setFocus();
        QTest::keyClick(casella, tasto, modificatori);
    }
    void Cerca(const QString& codice)
    {
        s->codice->setFocus();
        s->codice->setText(codice);
        QTest::keyClick(s->codice, Qt::Key_F10);
    }

private slots:
    void init()
    {
        cartella = std::make_unique<QTemporaryDir>();
        db = DatabaseLink::ApriFile(cartella->filePath(QStringLiteral("prova.db")));
        Sql(QStringLiteral("CREATE TABLE Articoli (Codice VARCHAR(10) PRIMARY KEY, Descr VARCHAR(20), Prezzo INTEGER, "
                           "Reparto VARCHAR(5), Nota VARCHAR(20))"));
        Sql(QStringLiteral(
            "INSERT INTO Articoli VALUES ('A', 'Primo', 10, 'X', 'n1'), ('B', 'Secondo', 1200, 'Y', 'n2'), "
            "('C', 'Terzo', NULL, 'Z', 'n3')"));
        messaggi = std::make_unique<RisposteScriptate>();
    }
    void cleanup()
    {
        s.reset();
        messaggi.reset();
        db.reset();
        cartella.reset();
    }

    void ricercaENavigazioneDaTastiera()
    {
        Apri();
        QCOMPARE(s->pagina->oiFlagOpe(), 0);
        Cerca(QStringLiteral("B"));
        QCOMPARE(s->pagina->oiFlagOpe(), 1);
        QCOMPARE(s->descr->text(), QStringLiteral("Secondo"));
        QCOMPARE(s->prezzo->text(), QStringLiteral("1.200"));
        QVERIFY(s->codice->isReadOnly());
        Tasto(s->descr, Qt::Key_End, Qt::AltModifier);
        QCOMPARE(s->codice->text(), QStringLiteral("C"));
        Tasto(s->descr, Qt::Key_PageUp, Qt::AltModifier);
        QCOMPARE(s->codice->text(), QStringLiteral("B"));
        Tasto(s->descr, Qt::Key_Home, Qt::AltModifier);
        QCOMPARE(s->codice->text(), QStringLiteral("A"));
        Tasto(s->descr, Qt::Key_PageUp, Qt::AltModifier);
        QCOMPARE(s->codice->text(), QStringLiteral("A"));
        QCOMPARE(s->stato, QStringLiteral("Inizio archivio"));
        // Alt+End runs "Fine" only while its button is enabled.
        s->barra->Azione(QStringLiteral("Fine"))->setEnabled(false);
        Tasto(s->descr, Qt::Key_End, Qt::AltModifier);
        QCOMPARE(s->codice->text(), QStringLiteral("A"));
        // Searching by a field that is not the key.
        Tasto(s->descr, Qt::Key_R, Qt::AltModifier);
        QCOMPARE(s->pagina->oiFlagOpe(), 0);
        s->reparto->setText(QStringLiteral("Z"));
        Tasto(s->reparto, Qt::Key_F10);
        QCOMPARE(s->codice->text(), QStringLiteral("C"));
        QVERIFY(messaggi->messaggi.isEmpty());
    }

    void f10SalvaETornaAllaRicerca()
    {
        Apri();
        Cerca(QStringLiteral("B"));
        s->descr->setFocus();
        s->descr->setText(QStringLiteral("Cambiato"));
        QCOMPARE(s->pagina->VarDati(), QStringLiteral("Descrizione"));
        Tasto(s->descr, Qt::Key_F10);
        QCOMPARE(Righe(QStringLiteral("SELECT Descr FROM Articoli WHERE Codice = 'B'")), QStringList {"Cambiato"});
        QCOMPARE(s->pagina->oiFlagOpe(), 0);
        QVERIFY(s->codice->text().isEmpty());
    }

    void nuovaRigaConPredefinitiEObbligatori()
    {
        Apri();
        Cerca(QStringLiteral("Z"));  // not there: a new row with that key
        QCOMPARE(s->pagina->oiFlagOpe(), 2);
        QCOMPARE(s->reparto->text(), QStringLiteral("A"));
        s->reparto->clear();
        s->Clic(QStringLiteral("Salva"));
        QCOMPARE(messaggi->Testi(), QStringList {"Il campo 'Descrizione' è obbligatorio"});
        QVERIFY(Righe(QStringLiteral("SELECT * FROM Articoli WHERE Codice = 'Z'")).isEmpty());
        s->descr->setText(QStringLiteral("Nuovo"));
        s->Clic(QStringLiteral("Salva"));
        QCOMPARE(Righe(QStringLiteral("SELECT Descr, Prezzo, Reparto, Nota FROM Articoli WHERE Codice = 'Z'")),
                 QStringList {"Nuovo||A|"});
        QCOMPARE(s->pagina->oiFlagOpe(), 1);
    }

    void comandoValidaPrimaIlCampoInScrittura()
    {
        Apri();
        Cerca(QStringLiteral("A"));
        s->prezzo->setFocus();
        QTest::keyClicks(s->prezzo, QStringLiteral("12x"));
        s->Clic(QStringLiteral("Salva"));  // the box still has the focus
        QCOMPARE(s->stato, QStringLiteral("Campo numerico: valore non valido"));
        QCOMPARE(messaggi->Testi(), QStringList {"Valore non valido nel campo 'Prezzo'"});
        QCOMPARE(Righe(QStringLiteral("SELECT Prezzo FROM Articoli WHERE Codice = 'A'")), QStringList {"10"});
        // Too many digits for a size of 4.
        s->prezzo->setText(QStringLiteral("12.345"));
        s->Clic(QStringLiteral("Salva"));
        QCOMPARE(Righe(QStringLiteral("SELECT Prezzo FROM Articoli WHERE Codice = 'A'")), QStringList {"10"});
        s->prezzo->setText(QStringLiteral("1.234"));
        s->Clic(QStringLiteral("Salva"));
        QCOMPARE(Righe(QStringLiteral("SELECT Prezzo FROM Articoli WHERE Codice = 'A'")), QStringList {"1234"});
        QCOMPARE(s->prezzo->palette().color(QPalette::Base), s->style()->standardPalette().color(QPalette::Base));
        // The focus comes back to the box after the command.
        QTRY_COMPARE(QApplication::focusWidget(), s->prezzo);
    }

    void altLetteraSoloSuPulsantiDisponibili()
    {
        Apri();
        Tasto(s->codice, Qt::Key_C, Qt::AltModifier);  // Cancella is disabled in search
        QVERIFY(messaggi->messaggi.isEmpty());
        Cerca(QStringLiteral("A"));
        s->barra->Mostra(QStringLiteral("Cancella"), false);
        Tasto(s->descr, Qt::Key_C, Qt::AltModifier);
        QVERIFY(messaggi->messaggi.isEmpty());
        s->barra->Mostra(QStringLiteral("Cancella"), true);
        messaggi->AccodaRisposta(2);  // "No"
        Tasto(s->descr, Qt::Key_C, Qt::AltModifier);
        QCOMPARE(messaggi->Testi(), QStringList {"Confermi la cancellazione del dato A?"});
        QCOMPARE(Righe(QStringLiteral("SELECT Codice FROM Articoli")).size(), 3);
    }

    void cancellazioneConfermataEEventi()
    {
        Apri();
        Cerca(QStringLiteral("A"));
        s->rifiutaCancellazione = true;  // the screen's hook stops it
        s->Clic(QStringLiteral("Cancella"));
        QCOMPARE(Righe(QStringLiteral("SELECT Codice FROM Articoli")).size(), 3);
        QVERIFY(s->eventi.contains(QStringLiteral("dopo 16 1")));
        s->rifiutaCancellazione = false;
        s->Clic(QStringLiteral("Cancella"));
        QCOMPARE(Righe(QStringLiteral("SELECT Codice FROM Articoli")), (QStringList {"B", "C"}));
        QCOMPARE(s->pagina->oiFlagOpe(), 0);
    }

    void domandaSuModificheNonSalvate()
    {
        Apri();
        Cerca(QStringLiteral("A"));
        s->descr->setText(QStringLiteral("Non salvato"));
        messaggi->AccodaRisposta(3);  // "Annulla": stay
        QVERIFY(!s->pagina->PuoChiudere());
        messaggi->AccodaRisposta(3);
        Tasto(s->descr, Qt::Key_PageDown, Qt::AltModifier);
        QCOMPARE(s->codice->text(), QStringLiteral("A"));
        messaggi->AccodaRisposta(2);  // "No": discard and move
        Tasto(s->descr, Qt::Key_PageDown, Qt::AltModifier);
        QCOMPARE(s->codice->text(), QStringLiteral("B"));
        QCOMPARE(Righe(QStringLiteral("SELECT Descr FROM Articoli WHERE Codice = 'A'")), QStringList {"Primo"});
        s->descr->setText(QStringLiteral("Salvato uscendo"));
        messaggi->AccodaRisposta(1);  // "Si": save, then close
        QVERIFY(s->pagina->PuoChiudere());
        QCOMPARE(Righe(QStringLiteral("SELECT Descr FROM Articoli WHERE Codice = 'B'")),
                 QStringList {"Salvato uscendo"});
    }

    void duplicaCopiaLaRigaIntera()
    {
        Apri();
        Cerca(QStringLiteral("B"));
        messaggi->AccodaTesto(QStringLiteral("B2"));
        s->Clic(QStringLiteral("Duplica"));
        QCOMPARE(Righe(QStringLiteral("SELECT * FROM Articoli WHERE Codice = 'B2'")),
                 QStringList {"B2|Secondo|1200|Y|n2"});
        QCOMPARE(s->codice->text(), QStringLiteral("B2"));
        QVERIFY(s->eventi.contains(QStringLiteral("prima 17 1")));
        // An existing key is refused; a cancelled question copies nothing.
        messaggi->AccodaTesto(QStringLiteral("A"));
        s->Clic(QStringLiteral("Duplica"));
        QCOMPARE(messaggi->Testi().last(), QStringLiteral("Esiste già un dato con questa chiave"));
        messaggi->AccodaTesto(std::nullopt);
        s->Clic(QStringLiteral("Duplica"));
        QVERIFY(s->eventi.contains(QStringLiteral("dopo 17 3")));
        QCOMPARE(Righe(QStringLiteral("SELECT Codice FROM Articoli")).size(), 4);
    }

    void duplicaInterrottaNonLasciaNulla()
    {
        Apri();
        Cerca(QStringLiteral("B"));
        s->guastoDuplicando = true;
        messaggi->AccodaTesto(QStringLiteral("B2"));
        s->Clic(QStringLiteral("Duplica"));
        QCOMPARE(Righe(QStringLiteral("SELECT Codice FROM Articoli ORDER BY Codice")), (QStringList {"A", "B", "C"}));
        QCOMPARE(messaggi->messaggi.size(), 1);
        QVERIFY(messaggi->Testi().first().contains(QStringLiteral("guasto")));
        QCOMPARE(s->codice->text(), QStringLiteral("B"));  // back on the source row
        QVERIFY(!db->InTransazione());
    }

    void cambioChiave()
    {
        Apri();
        Cerca(QStringLiteral("C"));
        s->Clic(QStringLiteral("VarKey"));
        QVERIFY(!s->codice->isReadOnly());
        s->codice->setText(QStringLiteral("A"));
        s->Clic(QStringLiteral("Salva"));
        QCOMPARE(messaggi->Testi(), QStringList {"Esiste già un dato con questa chiave"});
        s->codice->setText(QStringLiteral("D"));
        s->Clic(QStringLiteral("Salva"));
        QCOMPARE(Righe(QStringLiteral("SELECT Codice, Nota FROM Articoli ORDER BY Codice")),
                 (QStringList {"A|n1", "B|n2", "D|n3"}));
    }

    void solaLetturaNonScrive()
    {
        Apri();
        s->pagina->SolaLettura();
        for (const char* comando : {"Salva", "Cancella", "Duplica", "VarKey", "Nuovo"}) {
            QVERIFY(!s->barra->Azione(QLatin1String(comando))->isEnabled());
            QVERIFY(s->barra->Azione(QLatin1String(comando))->toolTip().contains(QStringLiteral("sola lettura")));
        }
        Cerca(QStringLiteral("Z"));  // no new row from a search
        QCOMPARE(messaggi->Testi(), QStringList {"Nessun dato trovato"});
        Cerca(QStringLiteral("A"));
        QVERIFY(s->descr->isReadOnly());
        QVERIFY(!s->barra->Azione(QStringLiteral("Salva"))->isEnabled());
        Tasto(s->descr, Qt::Key_F10);
        QCOMPARE(s->pagina->oiFlagOpe(), 0);
        QCOMPARE(Righe(QStringLiteral("SELECT Descr FROM Articoli WHERE Codice = 'A'")), QStringList {"Primo"});
    }

    void paginaARighe()
    {
        Sql(QStringLiteral("CREATE TABLE Righe (Ordine VARCHAR(5), Articolo VARCHAR(10), Qta INTEGER)"));
        Sql(QStringLiteral("INSERT INTO Righe VALUES ('7', 'B', 2), ('7', 'A', 1), ('8', 'A', 5)"));
        SchermoRighe r(*db, *messaggi);
        r.show();
        QVERIFY(QTest::qWaitForWindowExposed(&r));
        QCOMPARE(r.pagina->Browser().Conteggio(), 2);
        QCOMPARE(r.articolo->text(), QStringLiteral("A"));
        QVERIFY(r.ordine->isReadOnly() && r.articolo->isReadOnly() && !r.qta->isReadOnly());
        QCOMPARE(r.pagina->Attributi(30)->dimensione, -4);
        // Down in the grid moves the panel to the next row.
        r.griglia->setFocus();
        QTest::keyClick(r.griglia, Qt::Key_Down);
        QCOMPARE(r.articolo->text(), QStringLiteral("B"));
        QVERIFY(r.eventi.contains(QStringLiteral("dopo 16 1")));
        // A change, then a click on another row: asked, saved.
        r.qta->setText(QStringLiteral("-3"));
        messaggi->AccodaRisposta(1);
        QTest::mouseClick(r.griglia->viewport(), Qt::LeftButton, Qt::NoModifier,
                          r.griglia->visualRect(r.griglia->model()->index(0, 1)).center());
        QCOMPARE(messaggi->messaggi.size(), 1);
        QCOMPARE(Righe(QStringLiteral("SELECT Articolo, Qta FROM Righe WHERE Ordine = '7' ORDER BY Articolo")),
                 (QStringList {"A|1", "B|-3"}));
        QCOMPARE(r.articolo->text(), QStringLiteral("A"));
        // A new row keeps the fixed order number and takes the default.
        r.Clic(QStringLiteral("Nuovo"));
        QVERIFY(r.eventi.contains(QStringLiteral("dopo 8 0")));
        QCOMPARE(r.ordine->text(), QStringLiteral("7"));
        QCOMPARE(r.qta->text(), QStringLiteral("1"));
        r.articolo->setText(QStringLiteral("B"));
        r.Clic(QStringLiteral("Salva"));
        QCOMPARE(messaggi->Testi().last(), QStringLiteral("Esiste già una riga con questa chiave"));
        r.articolo->setText(QStringLiteral("C"));
        r.qta->setText(QStringLiteral("12345"));  // more digits than the size allows
        r.Clic(QStringLiteral("Salva"));
        QCOMPARE(messaggi->Testi().last(), QStringLiteral("Valore non valido nel campo 'Quantità'"));
        r.qta->setText(QStringLiteral("4"));
        r.Clic(QStringLiteral("Salva"));
        QCOMPARE(Righe(QStringLiteral("SELECT Articolo, Qta FROM Righe WHERE Ordine = '7' ORDER BY Articolo")),
                 (QStringList {"A|1", "B|-3", "C|4"}));
        QCOMPARE(r.articolo->text(), QStringLiteral("C"));
        QCOMPARE(r.pagina->Browser().Riga(), 3);
        messaggi->AccodaRisposta(1);
        r.Clic(QStringLiteral("Cancella"));
        QCOMPARE(Righe(QStringLiteral("SELECT COUNT(*) FROM Righe")), QStringList {"3"});
        QCOMPARE(r.articolo->text(), QStringLiteral("B"));
        // F10 saves and stays on the line page.
        r.qta->setFocus();
        r.qta->setText(QStringLiteral("9"));
        QTest::keyClick(r.qta, Qt::Key_F10);
        QCOMPARE(Righe(QStringLiteral("SELECT Qta FROM Righe WHERE Ordine = '7' AND Articolo = 'B'")),
                 QStringList {"9"});
        QCOMPARE(r.pagina->oiFlagOpe(), 1);
    }

    // Another user adds, changes and removes rows while a line page and an
    // editing list show theirs: a save or a delete reaches the row shown, or
    // is refused when that row is not as it was read.
    void righeScritteDallaLoroIdentita()
    {
        Sql(QStringLiteral("CREATE TABLE Righe (Ordine VARCHAR(5), Articolo VARCHAR(10), Qta INTEGER)"));
        Sql(QStringLiteral("INSERT INTO Righe VALUES ('7', 'A', 1), ('7', 'B', 2), ('7', 'C', 3)"));
        auto altro = DatabaseLink::ApriFile(cartella->filePath(QStringLiteral("prova.db")));
        auto altroSql = [&](const QString& sql) { QVERIFY(EseguiSqlProva(*altro, sql).isEmpty()); };
        const QString cambiato = QStringLiteral("Il dato è stato modificato o cancellato da un altro utente");
        auto quantita = [&] {
            return Righe(QStringLiteral("SELECT Articolo, Qta FROM Righe WHERE Ordine = '7' ORDER BY Articolo"));
        };
        {
            SchermoRighe r(*db, *messaggi);
            r.show();
            QVERIFY(QTest::qWaitForWindowExposed(&r));
            r.griglia->setFocus();
            QTest::keyClick(r.griglia, Qt::Key_Down);
            QCOMPARE(r.articolo->text(), QStringLiteral("B"));
            altroSql(QStringLiteral("INSERT INTO Righe VALUES ('7', 'AA', 9)"));  // now second in the query
            r.qta->setText(QStringLiteral("5"));
            r.Clic(QStringLiteral("Salva"));
            QCOMPARE(quantita(), (QStringList {"A|1", "AA|9", "B|5", "C|3"}));
            QCOMPARE(r.articolo->text(), QStringLiteral("B"));

            altroSql(QStringLiteral("UPDATE Righe SET Qta = 7 WHERE Articolo = 'B'"));
            r.qta->setText(QStringLiteral("6"));
            r.Clic(QStringLiteral("Salva"));
            QCOMPARE(messaggi->Testi().last(), cambiato);
            QCOMPARE(quantita(), (QStringList {"A|1", "AA|9", "B|7", "C|3"}));

            messaggi->AccodaRisposta(2);  // the change is dropped
            r.Clic(QStringLiteral("Fine"));
            QCOMPARE(r.articolo->text(), QStringLiteral("C"));
            altroSql(QStringLiteral("DELETE FROM Righe WHERE Articolo = 'C'"));
            messaggi->AccodaRisposta(1);
            r.Clic(QStringLiteral("Cancella"));
            QCOMPARE(messaggi->Testi().last(), cambiato);
            QCOMPARE(quantita(), (QStringList {"A|1", "AA|9", "B|7"}));
        }

        QTableView griglia;
        ListBrowser lista(griglia, *db, *messaggi);
        lista.SettaRecordset(QStringLiteral("Select * from Articoli order by Codice"));
        lista.ModalitaModifica(true);
        altroSql(QStringLiteral("INSERT INTO Articoli (Codice, Descr) VALUES ('0', 'Zero')"));
        QAbstractItemModel* m = griglia.model();
        m->setData(m->index(0, lista.Modello().Colonna(QStringLiteral("Descr"))), QStringLiteral("Uno"));
        lista.Comando(QStringLiteral("Salva"));
        QCOMPARE(Righe(QStringLiteral("SELECT Codice, Descr FROM Articoli WHERE Codice < 'B' ORDER BY Codice")),
                 (QStringList {"0|Zero", "A|Uno"}));
        // The list now reads 0, A, B, C: B is removed by the other user.
        lista.VaiARiga(2);
        QCOMPARE(lista.Valore(QStringLiteral("Codice")), QStringLiteral("B"));
        altroSql(QStringLiteral("DELETE FROM Articoli WHERE Codice = 'B'"));
        messaggi->AccodaRisposta(1);
        lista.Comando(QStringLiteral("Cancella"));
        QCOMPARE(messaggi->Testi().last(), cambiato);
        QCOMPARE(Righe(QStringLiteral("SELECT Codice FROM Articoli ORDER BY Codice")), (QStringList {"0", "A", "C"}));
    }

    void listaOrdinaCercaEModifica()
    {
        QTableView griglia;
        QLineEdit riga;
        ListBrowser lista(griglia, *db, *messaggi);
        lista.ImpostaContatore(&riga);
        lista.SettaRecordset(QStringLiteral("Select * from Articoli order by Codice"));
        QCOMPARE(riga.text(), QStringLiteral("1 / 3"));
        QCOMPARE(lista.Ordina(lista.Modello().Colonna(QStringLiteral("Prezzo"))), 0);
        QCOMPARE(lista.Valore(QStringLiteral("Codice")), QStringLiteral("A"));               // the current row follows
        QCOMPARE(lista.Modello().Valore(0, QStringLiteral("Codice")), QStringLiteral("C"));  // null first
        QCOMPARE(lista.Ordina(99), 1);
        lista.Comando(QStringLiteral("Fine"));
        QCOMPARE(riga.text(), QStringLiteral("3 / 3"));

        // Editing: a new row checked before it is written.
        lista.ModalitaModifica(true);
        lista.controlloRiga = [](QVariantMap& valori, QString& motivo) {
            if (valori.value(QStringLiteral("Codice")).toString().isEmpty()) {
                motivo = QStringLiteral("Codice mancante");
                return false;
            }
            valori.insert(QStringLiteral("Nota"), QStringLiteral("dal controllo"));
            return true;
        };
        lista.Comando(QStringLiteral("Nuovo"));
        QCOMPARE(lista.Conteggio(), 4);
        QAbstractItemModel* m = griglia.model();
        m->setData(m->index(3, lista.Modello().Colonna(QStringLiteral("Descr"))), QStringLiteral("Quarto"));
        lista.Comando(QStringLiteral("Salva"));
        QCOMPARE(messaggi->Testi(), QStringList {"Codice mancante"});
        m->setData(m->index(3, lista.Modello().Colonna(QStringLiteral("Codice"))), QStringLiteral("D"));
        lista.Comando(QStringLiteral("Salva"));
        QCOMPARE(Righe(QStringLiteral("SELECT Descr, Nota FROM Articoli WHERE Codice = 'D'")),
                 QStringList {"Quarto|dal controllo"});
        // Change and delete an existing row.
        lista.VaiARiga(0);
        m->setData(m->index(0, lista.Modello().Colonna(QStringLiteral("Reparto"))), QStringLiteral("W"));
        lista.Comando(QStringLiteral("Salva"));
        QCOMPARE(Righe(QStringLiteral("SELECT Reparto, Nota FROM Articoli WHERE Codice = 'A'")),
                 QStringList {"W|dal controllo"});
        messaggi->AccodaRisposta(1);
        lista.Comando(QStringLiteral("Cancella"));
        QCOMPARE(Righe(QStringLiteral("SELECT Codice FROM Articoli ORDER BY Codice")), (QStringList {"B", "C", "D"}));
        // Read-only: nothing is written.
        lista.ImpostaScrittura(false);
        QVERIFY(!(m->flags(m->index(0, 0)) & Qt::ItemIsEditable));
        lista.Comando(QStringLiteral("Nuovo"));
        QCOMPARE(lista.Conteggio(), 3);
    }

    void filtriDellaListaEStampa()
    {
        struct Cliente : ClienteLista {
            QString PrepSql(const QString& where) override
            {
                return QStringLiteral("Select * from Articoli")
                    + (where.isEmpty() ? QString() : QStringLiteral(" where ") + where)
                    + QStringLiteral(" order by Codice");
            }
            bool VerSelez() override { return true; }
        } cliente;
        QWidget finestra;
        auto* griglia = new QTableView(&finestra);
        ListBrowser lista(*griglia, *db, *messaggi);
        ListPageLink link(finestra, cliente, lista);
        QLineEdit da, a, descr;
        link.RegistraFiltro(&da, QStringLiteral("Codice"), QStringLiteral(">="));
        link.RegistraFiltro(&a, QStringLiteral("Codice"), QStringLiteral("<="));
        link.RegistraFiltro(&descr, QStringLiteral("Descr"), QStringLiteral("like*"));
        QVERIFY(link.Where().isEmpty());
        da.setText(QStringLiteral("B"));
        descr.setText(QStringLiteral("S"));
        QCOMPARE(link.Where(), QStringLiteral("Codice >= 'B' and Descr like 'S*'"));
        link.Comando(QStringLiteral("Ricerca"));
        QCOMPARE(lista.Conteggio(), 1);
        // Pattern characters typed in a box are taken literally.
        Sql(QStringLiteral("INSERT INTO Articoli (Codice, Descr) VALUES ('E', 'S*pec'), ('F', 'Sxpec')"));
        descr.setText(QStringLiteral("S*"));
        link.Comando(QStringLiteral("Ricerca"));
        QCOMPARE(lista.Valore(QStringLiteral("Codice")), QStringLiteral("E"));
        QCOMPARE(lista.Conteggio(), 1);
        link.Comando(QStringLiteral("AzzSel"));
        QVERIFY(da.text().isEmpty() && descr.text().isEmpty());
        QCOMPARE(ControlloIntervallo(da, a), 0);
        da.setText(QStringLiteral("c"));
        a.setText(QStringLiteral("B"));
        QCOMPARE(ControlloIntervallo(da, a), 1);

        const QString pdf = cartella->filePath(QStringLiteral("lista.pdf"));
        QVERIFY(StampaLista::SuPdf(*griglia, QStringLiteral("Articoli"), pdf));
        QVERIFY(StampaLista::Html(*griglia, QStringLiteral("Articoli")).contains(QStringLiteral("<td>S*pec</td>")));
    }
};

QTEST_MAIN(ProvaPagine)
#include "qtest_pagine.moc"
