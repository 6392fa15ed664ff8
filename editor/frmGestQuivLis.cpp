#include "frmGestQuivLis.h"

#include "BarraComandi.h"
#include "DidascalieQuiva.h"
#include "FinestraMessaggi.h"
#include "GestioneMaschere.h"
#include "MenuPagina.h"
#include "TastiPagina.h"
#include "Tastiera.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QList<VoceComando> Comandi {{"Ricerca", "(R) Ricerca Dati"},
                                  {"AzzSel", "(Z) Azzera Selezioni"},
                                  {"Torna", "(O) Torna alla maschera chiamante"},
                                  {"Seleziona", "(E) Seleziona il dato cercato"},
                                  {"Punta", "(P) Puntatore"},
                                  {"VaiA", "(V) Vai a"},
                                  {"Inizio", "(I) Inizio Archivio"},
                                  {"Posiz", ""},
                                  {"Fine", "(F) Fine Archivio"},
                                  {"Aggiorna", "(G) Aggiorna"},
                                  {"Trova", "(T) Trova"},
                                  {"Stampa", "(S) Stampa"},
                                  {"Chiudi", "(H) Chiudi"},
                                  {"Menu", "(M) Menu"}};

const QList<ColonnaLista> Colonne {{"Codice", {}, 1500}, {"Tabella", {}, 2500},    {"Origine", {}, 3000},
                                   {"Azzera", {}, 200},  {"SaltaInizio", {}, 430}, {"Tipo", {}, 200}};

QLineEdit* Casella(const char* nome, QWidget* padre)
{
    auto* c = new QLineEdit(padre);
    c->setObjectName(QLatin1String(nome));
    return c;
}

// The list as a page for the page keys.
class PaginaLista : public PaginaComandi {
public:
    explicit PaginaLista(frmGestQuivLis& f) : m_f(f) { }
    TipoPagina Tipo() const override { return TipoPagina::Lista; }
    BarraComandi* Barra() const override { return m_f.tolComandi; }
    void EseguiComando(const QString& chiave) override { m_f.ButtonComando(chiave); }

private:
    frmGestQuivLis& m_f;
};

}  // namespace

frmGestQuivLis::frmGestQuivLis(const ContestoEditor& contesto, QWidget* parent) : Maschera(parent), m_ctx(contesto)
{
    setObjectName(QStringLiteral("frmGestQuivLis"));
    osNome = QStringLiteral("frmGestQuivLis");
    setWindowTitle(QStringLiteral("Lista Tabella Quivamento"));
    if (parent)
        setWindowFlag(Qt::Window);
    auto* layout = new QVBoxLayout(this);
    tolComandi = new BarraComandi(Comandi, this);
    layout->addWidget(tolComandi);

    auto* filtri = new QGridLayout;
    txtCodiceDa = Casella("txtCodiceDa", this);
    txtCodiceA = Casella("txtCodiceA", this);
    txtInTabella = Casella("txtInTabella", this);
    txtInOrigine = Casella("txtInOrigine", this);
    filtri->addWidget(new QLabel(QStringLiteral("Codice da:"), this), 0, 0);
    filtri->addWidget(txtCodiceDa, 0, 1);
    filtri->addWidget(new QLabel(QStringLiteral("a:"), this), 0, 2);
    filtri->addWidget(txtCodiceA, 0, 3);
    filtri->addWidget(new QLabel(QStringLiteral("In Tabella:"), this), 1, 0);
    filtri->addWidget(txtInTabella, 1, 1);
    filtri->addWidget(new QLabel(QStringLiteral("In File Origine:"), this), 1, 2);
    filtri->addWidget(txtInOrigine, 1, 3);
    layout->addLayout(filtri);

    auto* cerca = new QHBoxLayout;
    ComCerca = new QPushButton(QStringLiteral("Cerca in:"), this);
    ComCerca->setObjectName(QStringLiteral("ComCerca"));
    ComCerca->setAutoDefault(false);
    txtCerca = Casella("txtCerca", this);
    CobCerca = new QComboBox(this);
    CobCerca->setObjectName(QStringLiteral("CobCerca"));
    auto* direzione = new QGroupBox(QStringLiteral("Direzione Ricerca"), this);
    auto* layoutDirezione = new QHBoxLayout(direzione);
    const char* opzioni[] = {"Primo", "Successivo", "Precedente", "Ultimo"};
    for (int i = 0; i < 4; ++i) {
        optDirezione[i] = new QRadioButton(QLatin1String(opzioni[i]), direzione);
        layoutDirezione->addWidget(optDirezione[i]);
    }
    optDirezione[0]->setChecked(true);
    txtRiga = Casella("txtRiga", this);
    txtRiga->setReadOnly(true);
    txtRiga->setFocusPolicy(Qt::NoFocus);
    txtRiga->setFixedWidth(txtRiga->fontMetrics().horizontalAdvance(QStringLiteral("99999 / 99999")) + 16);
    cerca->addWidget(ComCerca);
    cerca->addWidget(txtCerca, 1);
    cerca->addWidget(CobCerca);
    cerca->addWidget(direzione);
    cerca->addWidget(txtRiga);
    layout->addLayout(cerca);

    dbgRiga = new QTableView(this);
    dbgRiga->setObjectName(QStringLiteral("dbgRiga"));
    layout->addWidget(dbgRiga, 1);

    timVarie.setSingleShot(true);
    timVarie.setInterval(QApplication::doubleClickInterval() / 2);
    connect(&timVarie, &QTimer::timeout, this, &frmGestQuivLis::timVarie_Timer);
    resize(Twip(11000), Twip(6500));
}

frmGestQuivLis::~frmGestQuivLis() { qApp->removeEventFilter(this); }

void frmGestQuivLis::Carica()
{
    OpzioniMaschera opzioni;
    opzioni.silenziosa = true;
    opzioni.soloLettura = false;
    PreparaMaschera(*this, QString(), opzioni);
    m_browser = new ListBrowser(*dbgRiga, m_ctx.db, m_ctx.messaggi, this);
    m_link = new ListPageLink(*this, *this, *m_browser);
    m_link->RegistraFiltro(txtCodiceDa, QStringLiteral("Codice"), QStringLiteral(">="));
    m_link->RegistraFiltro(txtCodiceA, QStringLiteral("Codice"), QStringLiteral("<="));
    m_link->RegistraFiltro(txtInTabella, QStringLiteral("Tabella"), QStringLiteral("like*"));
    m_link->RegistraFiltro(txtInOrigine, QStringLiteral("Origine"), QStringLiteral("like*"));
    m_browser->ImpostaContatore(txtRiga);
    m_browser->ImpostaBarra(tolComandi);
    m_browser->ImpostaTitolo(QStringLiteral("Lista Tabella Quivamento"));
    m_browser->ImpostaRicerca(txtCerca, CobCerca, [this] {
        for (int i = 0; i < 4; ++i)
            if (optDirezione[i]->isChecked())
                return static_cast<DirezioneRicerca>(i);
        return DirezioneRicerca::Primo;
    });
    tolComandi->Abilita(QStringLiteral("VaiA"), false);
    tolComandi->Abilita(QStringLiteral("Posiz"), false);
    PersColonne();

    connect(tolComandi, &BarraComandi::Comando, this, &frmGestQuivLis::ButtonComando);
    connect(ComCerca, &QPushButton::clicked, this, [this] { ButtonComando(QStringLiteral("Cerca")); });
    connect(dbgRiga, &QTableView::clicked, this, &frmGestQuivLis::dbgRiga_Click);
    connect(dbgRiga, &QTableView::doubleClicked, this, &frmGestQuivLis::dbgRiga_Click);
    QHeaderView* intestazione = dbgRiga->horizontalHeader();
    intestazione->setSectionsClickable(true);
    connect(intestazione, &QHeaderView::sectionResized, this, [this] { m_ridimensionato = true; });
    connect(intestazione, &QHeaderView::sectionClicked, this, [this](int colonna) {
        m_ridimensionato = true;
        if (ColToSourceField(colonna).isEmpty() || m_browser->Ordina(colonna) == 1)
            m_ctx.messaggi.msgCom(QStringLiteral("Impossibile ordinare su questo campo"), {QStringLiteral("&Ok")});
    });
    auto* pagina = new PaginaLista(*this);
    connect(this, &QObject::destroyed, [pagina] { delete pagina; });
    InstallaTastiPagina(*this, *pagina);
    // Enter in the grid chooses the row; seen before the common key handling,
    // which would move the focus on.
    qApp->installEventFilter(this);
    txtCerca->installEventFilter(this);
    m_link->Comando(QStringLiteral("Ricerca"));
}

bool frmGestQuivLis::eventFilter(QObject* oggetto, QEvent* evento)
{
    if (evento->type() == QEvent::KeyPress && (oggetto == dbgRiga || oggetto == dbgRiga->viewport())) {
        const auto* tasto = static_cast<QKeyEvent*>(evento);
        if ((tasto->key() == Qt::Key_Return || tasto->key() == Qt::Key_Enter) && tasto->modifiers() == Qt::NoModifier) {
            dbgRiga_Click();
            return true;
        }
    } else if (oggetto == txtCerca && evento->type() == QEvent::FocusIn) {
        QTimer::singleShot(0, txtCerca, [this] { SelezionaTesto(txtCerca); });
    }
    return false;
}

QString frmGestQuivLis::PrepSql(const QString& psWhere)
{
    m_sql = QStringLiteral("Select") + QStringLiteral(" Codice") + QStringLiteral(", Tabella")
        + QStringLiteral(", Origine") + QStringLiteral(", Azzera") + QStringLiteral(", SaltaInizio")
        + QStringLiteral(", Tipo") + QStringLiteral(" from QuivaFile");
    if (!psWhere.isEmpty())
        m_sql += QStringLiteral(" where ") + psWhere;
    m_sql += txtInTabella->text().isEmpty() ? QStringLiteral(" order by Codice") : QStringLiteral(" order by Tabella");
    return m_sql;
}

bool frmGestQuivLis::VerSelez()
{
    if (m_link->InChiusura())
        return false;
    if (ControlloIntervallo(*txtCodiceDa, *txtCodiceA) == 1) {
        m_ctx.messaggi.msgCom(QStringLiteral("Il codice iniziale è successivo al codice finale"),
                              {QStringLiteral("&Ok")});
        return false;
    }
    return true;
}

void frmGestQuivLis::PersColonne()
{
    m_browser->PersColonne(ConDidascalie(Colonne, DidascalieQuiva(QStringLiteral("QuivaFile"))));
}

QString frmGestQuivLis::ColToSourceField(int piColIndex) const { return m_browser->Modello().NomeColonna(piColIndex); }

void frmGestQuivLis::ButtonComando(const QString& psKey)
{
    if (!m_comando.isEmpty())
        return;
    m_comando = psKey;
    try {
        if (psKey == QLatin1String("Chiudi"))
            close();
        else if (psKey == QLatin1String("Menu"))
            RichiamaMenu(m_ctx.messaggi);
        else if (psKey != QLatin1String("Stampa") || m_browser->Conteggio() > 0) {
            if (!m_browser->Comando(psKey))
                m_link->Comando(psKey);
            if (psKey == QLatin1String("Ricerca") || psKey == QLatin1String("Aggiorna"))
                PersColonne();
        }
    } catch (const std::exception& errore) {
        m_ctx.messaggi.MsgErrfrm(errore);
    }
    m_comando.clear();
}

void frmGestQuivLis::dbgRiga_Click()
{
    m_clicPendente = true;
    m_ridimensionato = false;
    timVarie.start();
}

void frmGestQuivLis::timVarie_Timer()
{
    timVarie.stop();
    const bool seleziona = m_clicPendente && !m_ridimensionato;
    m_clicPendente = false;
    m_ridimensionato = false;
    if (seleziona)
        ButtonComando(QStringLiteral("Seleziona"));
}
