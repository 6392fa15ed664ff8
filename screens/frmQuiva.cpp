#include "frmQuiva.h"

#include "ControlliSchermo.h"
#include "DidascalieQuiva.h"
#include "EseguiDefinizioni.h"
#include "RiepilogoQuiva.h"
#include "FinestraMessaggi.h"
#include "GestioneMaschere.h"
#include "ModelloRecordset.h"
#include "StatoElaborazione.h"
#include "ValueStore.h"
#include "frmQuivInElab.h"
#include "frmRicValBase.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {
const QString Ok = QStringLiteral("&Ok");
const QString Titolo = QStringLiteral("Quivamento Dati");

}  // namespace

frmQuiva::frmQuiva(const ContestoQuiva& contesto, QWidget* parent)
    : Maschera(parent), m_ctx(contesto), m_rs(contesto.db)
{
    setObjectName(QStringLiteral("frmQuiva"));
    osNome = QStringLiteral("frmQuiva");
    setWindowTitle(QStringLiteral("Quivamento dati"));
    auto* layout = new QVBoxLayout(this);
    Label1 = new QLabel(QStringLiteral("Selezionare le definizioni da quivare"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(Label1);

    dbgQuiva = NuovaGriglia("dbgQuiva", this);
    m_modello = ModelloGriglia(dbgQuiva);
    m_modello->ImpostaDidascalie(DidascalieQuiva(QStringLiteral("QuivaFile")));
    dbgQuiva->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(dbgQuiva->selectionModel(), &QItemSelectionModel::selectionChanged, this, &frmQuiva::dbgQuiva_SelChange);
    layout->addWidget(dbgQuiva, 1);

    auto* pulsanti = new QHBoxLayout;
    ComOk = NuovoPulsante(QStringLiteral("&Quiva"), "ComOk", this);
    ComAnnulla = NuovoPulsante(QStringLiteral("&Esci"), "ComAnnulla", this);
    ComStop = NuovoPulsante(QStringLiteral("&Interrompi"), "ComStop", this);
    ComStop->hide();
    pulsanti->addStretch();
    pulsanti->addWidget(ComOk);
    pulsanti->addWidget(ComStop);
    pulsanti->addWidget(ComAnnulla);
    layout->addLayout(pulsanti);
    connect(ComOk, &QPushButton::clicked, this, &frmQuiva::ComOk_Click);
    connect(ComStop, &QPushButton::clicked, this, &frmQuiva::ComStop_Click);
    connect(ComAnnulla, &QPushButton::clicked, this, &frmQuiva::ComAnnulla_Click);

    m_progresso = new frmQuivInElab(this);
    resize(Twip(11000), Twip(6000));
}

frmQuiva::~frmQuiva() { m_modello->Imposta(nullptr); }

void frmQuiva::Carica()
{
    helpContext = ContestoHelp;
    oiLoadOk = -1;
    OpzioniMaschera opzioni;
    opzioni.scala = true;
    PreparaMaschera(*this, QString(), opzioni);
    PrepGrid();
    oiLoadOk = 1;
}

void frmQuiva::PrepGrid()
{
    m_sqlGriglia = QStringLiteral("Select * from QuivaFile");
    m_modello->Imposta(nullptr);
    m_rs.Chiudi(m_nomeRs);
    m_nomeRs.clear();
    m_ordine.clear();
    m_nomeRs = m_rs.Apri(m_sqlGriglia);
    m_modello->Imposta(&m_rs.Oggetto(m_nomeRs));
    LarghezzeColonne(dbgQuiva, {{"Azzera", 800}, {"Tipo", 800}, {"SaltaInizio", 900}});
}

QString frmQuiva::ValoreRiga(int riga, const QString& colonna) const { return m_modello->Valore(riga, colonna); }

void frmQuiva::PassaA() { PassaAlMenu(Titolo, QStringLiteral("frmQuiva"), osKeySec); }

void frmQuiva::dbgQuiva_SelChange(const QItemSelection& selezionate, const QItemSelection& deselezionate)
{
    QItemSelectionModel* sel = dbgQuiva->selectionModel();
    QList<int> righe;
    for (const QModelIndex& i : sel->selectedRows())
        righe << i.row();
    // Keep the order of selection: drop what left, append what came.
    m_ordine.removeIf([&](int r) { return !righe.contains(r); });
    std::sort(righe.begin(), righe.end());
    for (int r : righe)
        if (!m_ordine.contains(r))
            m_ordine << r;
    if (m_selezioneInterna)
        return;

    // With exactly one row selected, the row the cursor stands on joins it,
    // unless the user has just taken that row out.
    const QModelIndex corrente = sel->currentIndex();
    if (m_ordine.size() != 1 || !corrente.isValid() || corrente.row() == m_ordine.first())
        return;
    const int riga = corrente.row();
    bool appenaTolta = false;
    for (const QModelIndex& i : deselezionate.indexes())
        appenaTolta = appenaTolta || i.row() == riga;
    bool appenaScelta = false;
    for (const QModelIndex& i : selezionate.indexes())
        appenaScelta = appenaScelta || i.row() == m_ordine.first();
    if (appenaTolta || !appenaScelta)
        return;
    sel->select(m_modello->index(riga, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void frmQuiva::SpostaRigaCorrente(int riga)
{
    m_selezioneInterna = true;
    dbgQuiva->selectionModel()->setCurrentIndex(m_modello->index(riga, 0), QItemSelectionModel::NoUpdate);
    m_selezioneInterna = false;
}

void frmQuiva::TogliDallaSelezione(int riga)
{
    m_selezioneInterna = true;
    dbgQuiva->selectionModel()->select(m_modello->index(riga, 0),
                                       QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    m_ordine.removeAll(riga);
    m_selezioneInterna = false;
}

int frmQuiva::RicValDefault(const QString& codice)
{
    QString errore;
    if (m_raccolta.RicValDefault(m_rs, codice, errore) != 0) {
        m_ctx.messaggi.msgCom(errore, {Ok});
        return -1;
    }
    return 0;
}

int frmQuiva::ChiediValBase()
{
    if (!m_finestraValori)
        return 1;
    frmRicValBase& finestra = *m_finestraValori;
    finestra.Imposta(m_raccolta);
    finestra.obOk = false;
    finestra.controllo = [this, &finestra](const QStringList& risposte) {
        int n = -1;
        const QString rifiuto = m_raccolta.ControllaContatori(risposte, &n);
        if (rifiuto.isEmpty())
            return true;
        m_ctx.messaggi.msgCom(rifiuto, {Ok});
        finestra.MostraRisposta(n);
        return false;
    };
    finestra.exec();
    if (!finestra.obOk)
        return 1;
    if (!ogValDefault)
        ogValDefault = std::make_unique<ValueStore>();
    m_raccolta.Memorizza(finestra.Risposte(), *ogValDefault);
    return 0;
}

void frmQuiva::Occupato(bool occupato)
{
    ComOk->setVisible(!occupato);
    ComAnnulla->setVisible(!occupato);
    dbgQuiva->setEnabled(!occupato);
    ComStop->setVisible(occupato);
    if (occupato)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

void frmQuiva::PosizionaProgresso()
{
    m_progresso->adjustSize();
    const QRect griglia(dbgQuiva->mapToGlobal(QPoint(0, 0)), dbgQuiva->size());
    m_progresso->move(griglia.center() - m_progresso->rect().center());
}

void frmQuiva::ComOk_Click()
{
    if (m_inElaborazione)
        return;
    if (m_ordine.isEmpty()) {
        m_ctx.messaggi.msgCom(QStringLiteral("Nessuna file selezionato da quivare"), {Ok});
        return;
    }
    if (oiAbilRW == 0) {  // launched with "/RO": loading writes data
        m_ctx.messaggi.msgCom(QStringLiteral("Quivamento non consentito: il programma è aperto in sola consultazione"),
                              {Ok});
        return;
    }

    m_inElaborazione = true;
    // Whatever way the click ends, the dialog goes back to idle and no
    // progress window is left on screen.
    struct FineClick {
        frmQuiva& f;
        ~FineClick()
        {
            f.m_finestraValori.reset();
            f.m_raccolta.Svuota();
            f.ogValDefault.reset();
            f.m_progresso->Chiudi();
            f.Occupato(false);
            StatoElaborazione.store(Stato::Inattivo);
            f.m_inElaborazione = false;
        }
    } fine {*this};

    try {
        // Base values of every selected definition, then one window for all.
        m_finestraValori = std::make_unique<frmRicValBase>(this);
        m_finestraValori->osKeySec = osKeySec;
        m_raccolta.Svuota();
        for (int riga : QList<int>(m_ordine)) {
            SpostaRigaCorrente(riga);
            if (RicValDefault(ValoreRiga(riga, QStringLiteral("Codice"))) != 0)
                return;
        }
        if (m_raccolta.oiNumRighe() >= 1 && ChiediValBase() != 0)
            return;
        m_finestraValori.reset();
        if (!ogValDefault)
            ogValDefault = std::make_unique<ValueStore>();

        Occupato(true);
        StatoElaborazione.store(Stato::InCorso);
        PosizionaProgresso();
        m_progresso->Apri(Titolo, QStringLiteral("Quivamento"));

        // Each definition becomes the current row while it runs and leaves
        // the selection when it is done.
        const QList<int> righe = m_ordine;
        QStringList codici;
        for (int riga : righe)
            codici << ValoreRiga(riga, QStringLiteral("Codice"));
        OsservatoreDefinizioni osservatore;
        osservatore.prima = [&](int i) { SpostaRigaCorrente(righe[i]); };
        osservatore.dopo = [&](int i, const EsitoDefinizione&) { TogliDallaSelezione(righe[i]); };
        RiepilogoCorsa corsa;
        corsa.codici = codici;
        corsa.esiti = EseguiDefinizioni(m_ctx, codici, *m_progresso, *ogValDefault, osservatore);
        corsa.fermata = StatoElaborazione.load() == Stato::Interrotto;
        ogValDefault.reset();
        m_progresso->Chiudi();

        m_ctx.messaggi.msgCom(AvvisoFine(corsa) + QStringLiteral("\n\n") + TestoRiepilogo(corsa), {Ok});
        Occupato(false);
        StatoElaborazione.store(Stato::Inattivo);
        dbgQuiva->setFocus();
    } catch (const std::exception& errore) {
        unsetCursor();
        m_progresso->Chiudi();
        m_ctx.messaggi.MsgErrfrm(errore);
    }
}

void frmQuiva::ComStop_Click()
{
    const int risposta = m_ctx.messaggi.msgCom(QStringLiteral("Confermi Interruzione Quivamento"),
                                               {QStringLiteral("&Si"), QStringLiteral("&No")});
    if (risposta == 1)
        StatoElaborazione.store(Stato::Interrotto);
    else if (m_inElaborazione)
        m_progresso->Mostra();
}

void frmQuiva::ComAnnulla_Click() { close(); }

bool frmQuiva::PuoChiudere(QString& motivo)
{
    // Refused while this dialog's run is on the way (from the prompts to the
    // end notice), also between a confirmed stop and the end of the run.
    if (StatoElaborazione.load() == Stato::InCorso || m_inElaborazione) {
        motivo = QStringLiteral("Quivamento in corso");
        return false;
    }
    return true;
}

void frmQuiva::closeEvent(QCloseEvent* evento)
{
    // A close refused during the load brings its progress forward.
    if (m_inElaborazione && StatoElaborazione.load() != Stato::Inattivo)
        m_progresso->Mostra();
    Maschera::closeEvent(evento);
}
