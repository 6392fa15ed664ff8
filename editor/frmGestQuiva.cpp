#include "frmGestQuiva.h"

#include "ArchivioPagina.h"
#include "BarraComandi.h"
#include "Configurazione.h"
#include "DatabaseLink.h"
#include "FileDefinizione.h"
#include "FinestraMessaggi.h"
#include "FormUtility.h"
#include "GestioneMaschere.h"
#include "MenuPagina.h"
#include "MenuServer.h"
#include "PageEditor.h"
#include "Programma.h"
#include "SceltaFile.h"
#include "PropostaDefinizione.h"
#include "frmAnteprima.h"
#include "frmGeQuivDett.h"
#include "frmGestQuivLis.h"
#include "frmTrasform.h"
#include "frmVerifica.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString Ok = QStringLiteral("&Ok");

const QList<VoceComando> Comandi {{"Ricerca", "(R) Ricerca"},
                                  {"Salva", "(S) Salva"},
                                  {"Cancella", "(C) Cancella"},
                                  {"Annulla", "(A) Annulla"},
                                  {"Duplica", "(D) Duplica"},
                                  {"VarKey", "(V) Varia campi chiave"},
                                  {"Lista", "(L) Lista"},
                                  {"ListaInd", "(-) Precedente nella lista"},
                                  {"ListaAvanti", "(+) Successivo nella lista"},
                                  {"Inizio", "(I) Inizio Archivio"},
                                  {"Precedente", "(P) Precedente"},
                                  {"Successivo", "(U) Successivo"},
                                  {"Fine", "(F) Fine Archivio"},
                                  {"Anteprima", "(E) Anteprima"},
                                  {"Verifica", "(K) Verifica"},
                                  {"CreaDaFile", "(B) Crea da file"},
                                  {"Chiudi", "(H) Chiudi"},
                                  {"Menu", "(M) Menu"}};

struct Campo {
    int indice;
    const char* colonna;
    const char* nome;
    AttributiCampo attributi;
};

AttributiCampo Chiave()
{
    AttributiCampo a;
    a.chiave = 1;
    return a;
}

AttributiCampo Obbligatorio()
{
    AttributiCampo a;
    a.obbligatorio = true;
    return a;
}

AttributiCampo Predefinito(const QString& valore)
{
    AttributiCampo a;
    a.predefinito = valore;
    return a;
}

AttributiCampo Intero(const QString& formato)
{
    AttributiCampo a;
    a.tipo = TipiDato::Long;
    a.formato = formato;
    a.senzaSegno = true;  // a count of lines
    return a;
}

// In the order the page registers them.
const Campo Campi[] = {{10, "Codice", "Codice", Chiave()},
                       {15, "Descrizione", "Descrizione", {}},
                       {20, "Tabella", "Tabella", Obbligatorio()},
                       {30, "Origine", "Origine", Obbligatorio()},
                       {40, "Azzera", "Azzera", {}},
                       {50, "SaltaInizio", "SaltaInizio", Intero(QStringLiteral("#,###"))},
                       {60, "Tipo", "Con Separatore o a Posizioni fisse", Predefinito(QStringLiteral("S"))},
                       {65, "Separatore", "Separatore", Predefinito(QStringLiteral("\\009"))},
                       {240, "InsVaria", "Prima Ins o Varia", Predefinito(QStringLiteral("I"))},
                       {250, "Modalita", "Modalità di gestione", Predefinito(QStringLiteral("0"))},
                       {70, "Tabella2", "Tabella 2", {}},
                       {80, "CodTab2", "CodTab 2", {}},
                       {90, "Azzera2", "Azzera 2", {}},
                       {100, "Tabella3", "Tabella 3", {}},
                       {110, "CodTab3", "CodTab 3", {}},
                       {120, "Azzera3", "Azzera 3", {}},
                       {130, "Tabella4", "Tabella 4", {}},
                       {140, "CodTab4", "CodTab 4", {}},
                       {150, "Azzera4", "Azzera 4", {}},
                       {160, "Tabella5", "Tabella 5", {}},
                       {170, "CodTab5", "CodTab 5", {}},
                       {180, "Azzera5", "Azzera 5", {}},
                       {190, "WhereAzz", "Cond. Azz1", {}},
                       {200, "WhereAzz2", "Cond. Azz2", {}},
                       {210, "WhereAzz3", "Cond. Azz3", {}},
                       {220, "WhereAzz4", "Cond. Azz4", {}},
                       {230, "WhereAzz5", "Cond. Azz5", {}},
                       {260, "Campi", "", {}},
                       {270, "Campi2", "", {}},
                       {280, "Campi3", "", {}},
                       {290, "Campi4", "", {}},
                       {300, "Campi5", "", {}},
                       {310, "QueryFin1", "", {}},
                       {320, "QueryFin2", "", {}},
                       {330, "QueryFin3", "", {}}};

// Boxes of each tab page: table, code, empty flag, emptying condition, select list.
struct SchedaTabella {
    int tabella, codice, azzera, condizione, campi;
};
const SchedaTabella Pagine[5] = {{20, 0, 40, 190, 260},
                                 {70, 80, 90, 200, 270},
                                 {100, 110, 120, 210, 280},
                                 {130, 140, 150, 220, 290},
                                 {160, 170, 180, 230, 300}};

const int ComboTabella[] = {20, 70, 100, 130, 160};
const int Spunte[] = {40, 90, 120, 150, 180};

const QStringList VociTipo {QStringLiteral("Con Separatore"), QStringLiteral("A Posizioni Fisse")};
const QStringList VociInsVaria {QStringLiteral("I Prova prima l'Inserimento"),
                                QStringLiteral("V Prova prima la Variazione")};
const QStringList VociModalita {QStringLiteral("Crea se non trova/Varia se trova"),
                                QStringLiteral("Soltanto Creazione"), QStringLiteral("Soltanto Variazione")};

QLabel* Etichetta(const QString& testo, QWidget* padre) { return new QLabel(testo, padre); }

}  // namespace

frmGestQuiva::frmGestQuiva(const ContestoEditor& contesto, QWidget* parent) : Maschera(parent), m_ctx(contesto)
{
    setObjectName(QStringLiteral("frmGestQuiva"));
    osNome = QStringLiteral("frmGestQuiva");
    setWindowTitle(QStringLiteral("Tabella Quivamento"));
    auto* layout = new QVBoxLayout(this);
    tolComandi = new BarraComandi(Comandi, this);
    layout->addWidget(tolComandi);

    auto* comune = new QGridLayout;
    comune->addWidget(Etichetta(QStringLiteral("Codice quivamento:"), this), 0, 0);
    comune->addWidget(NuovaCasella(10, this), 0, 1);
    comune->addWidget(Etichetta(QStringLiteral("Descrizione:"), this), 0, 2);
    comune->addWidget(NuovaCasella(15, this), 0, 3, 1, 3);
    comune->addWidget(Etichetta(QStringLiteral("File Origine:"), this), 1, 0);
    comune->addWidget(NuovaCasella(30, this), 1, 1, 1, 5);
    comune->addWidget(Etichetta(QStringLiteral("Tipo:"), this), 2, 0);
    comune->addWidget(ComboCodici(60, VociTipo, this), 2, 1);
    comune->addWidget(Etichetta(QStringLiteral("Separatore (vuoto=tab):"), this), 2, 2);
    comune->addWidget(NuovaCasella(65, this), 2, 3);
    comune->addWidget(Etichetta(QStringLiteral("Righe iniziali da Saltare:"), this), 2, 4);
    comune->addWidget(NuovaCasella(50, this), 2, 5);
    comune->addWidget(Etichetta(QStringLiteral("Modalità:"), this), 3, 0);
    comune->addWidget(ComboCodici(250, VociModalita, this), 3, 1);
    comune->addWidget(ComboCodici(240, VociInsVaria, this), 3, 2, 1, 2);
    for (int q = 0; q < 3; ++q) {
        comune->addWidget(Etichetta(QStringLiteral("Query Fine quivamento %1:").arg(q + 1), this), 4 + q, 0);
        comune->addWidget(NuovaCasella(310 + 10 * q, this), 4 + q, 1, 1, 5);
    }
    ComDett = new QPushButton(QStringLiteral("Dettagli"), this);
    ComDett->setObjectName(QStringLiteral("ComDett"));
    ComDett->setAutoDefault(false);
    comune->addWidget(ComDett, 3, 5);
    // The definition as a text file, out to another company or in from one.
    ComEsporta = new QPushButton(QStringLiteral("Esporta su file..."), this);
    ComEsporta->setObjectName(QStringLiteral("ComEsporta"));
    ComImporta = new QPushButton(QStringLiteral("Importa da file..."), this);
    ComImporta->setObjectName(QStringLiteral("ComImporta"));
    auto* file = new QHBoxLayout;
    file->addStretch(1);
    for (QPushButton* b : {ComEsporta, ComImporta}) {
        b->setAutoDefault(false);
        file->addWidget(b);
    }
    comune->addLayout(file, 7, 0, 1, 6);
    comune->setColumnStretch(1, 1);
    comune->setColumnStretch(3, 1);
    layout->addLayout(comune);

    CostruisciPagine();
    layout->addWidget(TasPagine, 1);

    staMessaggi = new QStatusBar(this);
    staMessaggi->setObjectName(QStringLiteral("staMessaggi"));
    staMessaggi->setSizeGripEnabled(false);
    lblMessaggio = new QLabel(staMessaggi);
    lblMessaggio->setObjectName(QStringLiteral("Messaggio"));
    lblTipOpe = new QLabel(QStringLiteral("Ricerca"), staMessaggi);
    lblTipOpe->setObjectName(QStringLiteral("lblTipOpe"));
    auto* ora = new QLabel(staMessaggi);
    staMessaggi->addWidget(lblMessaggio, 1);
    staMessaggi->addPermanentWidget(lblTipOpe);
    staMessaggi->addPermanentWidget(ora);
    auto aggiornaOra = [ora] {
        ora->setText(QDateTime::currentDateTime().toString(QStringLiteral("HH:mm   dd/MM/yyyy")));
    };
    aggiornaOra();
    auto* orologio = new QTimer(this);
    connect(orologio, &QTimer::timeout, this, aggiornaOra);
    orologio->start(30000);
    layout->addWidget(staMessaggi);

    connect(ComDett, &QPushButton::clicked, this, &frmGestQuiva::ComDett_Click);
    connect(ComEsporta, &QPushButton::clicked, this, &frmGestQuiva::ComEsporta_Click);
    connect(ComImporta, &QPushButton::clicked, this, &frmGestQuiva::ComImporta_Click);
    sceltaFile = [this](bool salva, const QString& proposta) {
        const QString filtro = QStringLiteral("Definizioni (*.json);;Tutti i file (*)");
        return ScegliFile(this, salva ? ModoScelta::Salva : ModoScelta::Apri,
                          salva ? QStringLiteral("Esporta definizione") : QStringLiteral("Importa definizione"),
                          proposta, filtro, m_ctx.messaggi);
    };
    for (int n = 0; n < 5; ++n)
        connect(ComTrasf[n], &QPushButton::clicked, this, [this, n] { ComTrasf_Click(n); });
    resize(Twip(11500), Twip(8200));
}

frmGestQuiva::~frmGestQuiva() { delete m_lista; }

QLineEdit* frmGestQuiva::NuovaCasella(int indice, QWidget* padre)
{
    auto* casella = new QLineEdit(padre);
    casella->setObjectName(QStringLiteral("txt%1").arg(indice));
    txt.insert(indice, casella);
    return casella;
}

QComboBox* frmGestQuiva::ComboTabelle(int indice, QWidget* padre)
{
    // The combo edits its text box directly: typing or choosing a table.
    auto* combo = new QComboBox(padre);
    combo->setObjectName(QStringLiteral("Cob%1").arg(indice));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setLineEdit(NuovaCasella(indice, combo));
    combo->installEventFilter(this);
    Cob.insert(indice, combo);
    return combo;
}

QComboBox* frmGestQuiva::ComboCodici(int indice, const QStringList& voci, QWidget* padre)
{
    auto* combo = new QComboBox(padre);
    combo->setObjectName(QStringLiteral("Cob%1").arg(indice));
    combo->addItems(voci);
    combo->installEventFilter(this);
    NuovaCasella(indice, this)->hide();
    Cob.insert(indice, combo);
    connect(combo, &QComboBox::activated, this, [this, indice] { Cob_Click(indice); });
    return combo;
}

QCheckBox* frmGestQuiva::CheckAzzera(int indice, QWidget* padre)
{
    auto* spunta = new QCheckBox(padre);
    spunta->setObjectName(QStringLiteral("CheAzz%1").arg(indice));
    NuovaCasella(indice, this)->hide();
    CheAzz.insert(indice, spunta);
    connect(spunta, &QCheckBox::clicked, this,
            [this, indice](bool spuntata) { txt[indice]->setText(spuntata ? QStringLiteral("S") : QString()); });
    return spunta;
}

void frmGestQuiva::CostruisciPagine()
{
    TasPagine = new QTabWidget(this);
    TasPagine->setObjectName(QStringLiteral("TasPagine"));
    const char* titoli[] = {"Tabella Principale (&1) ", "Tabella &2", "Tabella &3", "Tabella &4", "Tabella &5"};
    for (int n = 0; n < 5; ++n)
        TasPagine->addTab(CostruisciPagina(n), QLatin1String(titoli[n]));
    connect(TasPagine, &QTabWidget::currentChanged, this, [this](int i) { SistemaPagina(i + 1, true); });
}

QWidget* frmGestQuiva::CostruisciPagina(int n)
{
    const SchedaTabella& p = Pagine[n];
    auto* pagina = new QWidget(TasPagine);
    pagina->setObjectName(QStringLiteral("PicPagine%1").arg(n + 1));
    auto* form = new QFormLayout(pagina);
    if (n == 0)
        form->addRow(Etichetta(QStringLiteral("Tabella Principale"), pagina));
    form->addRow(n == 0 ? QStringLiteral("Tabella:") : QStringLiteral("Tabella %1:").arg(n + 1),
                 ComboTabelle(p.tabella, pagina));
    if (p.codice)
        form->addRow(QStringLiteral("Codice:"), NuovaCasella(p.codice, pagina));
    form->addRow(QStringLiteral("Azzera:"), CheckAzzera(p.azzera, pagina));
    form->addRow(QStringLiteral("Cond. di Azzeramento:"), NuovaCasella(p.condizione, pagina));
    form->addRow(QStringLiteral("Elenco Campi:"), NuovaCasella(p.campi, pagina));
    ComTrasf[n] = new QPushButton(n == 0 ? QStringLiteral("Trasformazioni Tabella Principale")
                                         : QStringLiteral("Trasformazioni Tabella %1").arg(n + 1),
                                  pagina);
    ComTrasf[n]->setObjectName(QStringLiteral("ComTrasf%1").arg(n));
    ComTrasf[n]->setAutoDefault(false);
    form->addRow(QString(), ComTrasf[n]);
    return pagina;
}

void frmGestQuiva::Carica()
{
    helpContext = ContestoHelp;
    oiLoadOk = -1;
    OpzioniMaschera opzioni;
    opzioni.soloLettura = true;
    opzioni.scala = true;
    PreparaMaschera(*this, QString(), opzioni);
    m_pagina = new PageEditor(*this, *this, m_ctx.messaggi, &m_ctx.domande);
    m_pagina->ImpostaTabella(QStringLiteral("QuivaFile"));
    RegistraCampi();
    m_pagina->ImpostaDatabase(m_ctx.db);
    m_pagina->ImpostaBarra(tolComandi);
    m_pagina->ImpostaEtichettaOperazione(lblTipOpe);
    m_pagina->messaggioStato = [this](const QString& testo) { lblMessaggio->setText(testo); };
    m_pagina->comandoSchermo = [this](const QString& chiave) { return ComandoProprio(chiave); };
    m_pagina->apriLista = [this] {
        if (m_lista)
            return;
        m_lista = new frmGestQuivLis(m_ctx, this);
        m_lista->osKeySec = osKeySec;
        m_lista->Carica();
        m_lista->impOggBase(m_pagina);
    };
    for (int evento :
         {EventiPagina::ChiaveBloccata, EventiPagina::Mostrato, EventiPagina::Preparato, EventiPagina::Cancellazione,
          EventiPagina::Stato, EventiPagina::Duplicazione, EventiPagina::ChiaveCambiata})
        m_pagina->Iscrivi(evento);
    m_pagina->Avvia();
    if (oiAbilRW == 0) {
        m_pagina->SolaLettura();
        ComImporta->setEnabled(false);
        ComImporta->setToolTip(QStringLiteral("non disponibile: maschera aperta in sola lettura"));
        lblMessaggio->setText(QStringLiteral("Sola lettura: nessuna modifica possibile"));
    }
    CompListaTabella();
    SistemaPagina(1, false);
    oiLoadOk = 1;
}

void frmGestQuiva::RegistraCampi()
{
    for (const Campo& c : Campi)
        m_pagina->Registra(c.indice, txt[c.indice], QLatin1String(c.colonna), QString::fromUtf8(c.nome), c.attributi);
}

void frmGestQuiva::PassaA()
{
    Programma* p = Programma::Corrente();
    if (!p || !p->Menu())
        return;
    try {
        p->Menu()->PassaMaschera(QStringLiteral("GEstione Quivamento Dati"), QStringLiteral("frmGestQuiva"), osKeySec);
    } catch (const std::exception&) {
        // the menu has gone: nothing to hand over to
    }
}

bool frmGestQuiva::PuoChiudere(QString& motivo)
{
    if (oiLoadOk == 1 && m_pagina && !m_pagina->PuoChiudere()) {
        motivo = QStringLiteral("Dati variati non salvati");
        return false;
    }
    if (m_lista)
        m_lista->close();
    return true;
}

void frmGestQuiva::ButtonComando(const QString& psKey) { m_pagina->Comando(psKey); }

void frmGestQuiva::MenuFrm() { RichiamaMenu(m_ctx.messaggi); }

QString frmGestQuiva::Letterale(const QString& codice) const
{
    return FormUtility::SqlLiteral(codice, TipiDato::String);
}

int frmGestQuiva::PersPagPri(int evento, const QVariantList& parametri)
{
    const int primo = parametri.value(0).toInt();
    if (evento == EventiPagina::Cancellazione) {
        IsolamentoLetturaNonConfermata(m_ctx.db, m_ctx.proprietaDb);
        const QString codice = Letterale(txt[10]->text());
        m_ctx.db.Esegui(QStringLiteral("Delete * from QuivaDettaglio where Codice = ") + codice);
        m_ctx.db.Esegui(QStringLiteral("Delete * from QuivaDecod where Codice = ") + codice);
        // Its rejected lines go with it: no one could review them any more.
        m_ctx.db.Esegui(QStringLiteral("Delete * from ErroriQuivamento where Tabella = ") + codice);
    } else if (evento == EventiPagina::Duplicazione && primo != 3) {
        m_codiceOrigine = txt[10]->text();
    } else if (evento == EventiPagina::ChiaveCambiata) {
        // The field and decode rows, and the rejected lines, follow their
        // definition to its new code.
        const QString vecchio = Letterale(parametri.value(0).toStringList().value(0));
        const QString nuovo = Letterale(parametri.value(1).toStringList().value(0));
        for (const char* tabella : {"QuivaDettaglio", "QuivaDecod"})
            m_ctx.db.Esegui(QStringLiteral("Update %1 set Codice = %2 where Codice = %3")
                                .arg(QLatin1String(tabella), nuovo, vecchio));
        m_ctx.db.Esegui(
            QStringLiteral("Update ErroriQuivamento set Tabella = %1 where Tabella = %2").arg(nuovo, vecchio));
    }
    return 0;
}

int frmGestQuiva::PersPagDop(int evento, const QVariantList& parametri)
{
    const int primo = parametri.value(0).toInt();
    switch (evento) {
    case EventiPagina::Stato: {
        const bool riga = primo == 1;
        ComDett->setEnabled(riga);
        ComEsporta->setEnabled(riga);
        tolComandi->Abilita(QStringLiteral("Anteprima"), riga);
        tolComandi->Abilita(QStringLiteral("Verifica"), riga);
        tolComandi->Abilita(QStringLiteral("CreaDaFile"), primo == 2 && oiAbilRW != 0);
        for (QPushButton* b : ComTrasf)
            b->setEnabled(riga);
        AbilitaSpecchi();
        break;
    }
    case EventiPagina::Mostrato: AggNonText(); break;
    case EventiPagina::Preparato:
        if (primo != 1)
            AggNonText();
        break;
    case EventiPagina::ChiaveBloccata: {
        QPalette tavolozza = txt[10]->palette();
        tavolozza.setColor(QPalette::Base, style()->standardPalette().color(QPalette::Base));
        txt[10]->setPalette(tavolozza);
        break;
    }
    case EventiPagina::Cancellazione:
        if (parametri.value(1).toInt() == 1)
            IsolamentoLetturaConfermata(m_ctx.db, m_ctx.proprietaDb);
        else
            IsolamentoRipristina(m_ctx.db, m_ctx.proprietaDb);
        break;
    case EventiPagina::Duplicazione:
        if (primo != 3)
            DuplicaDett();
        break;
    default: break;
    }
    return 0;
}

void frmGestQuiva::DuplicaDett()
{
    const QVariantMap nuovo {{QStringLiteral("Codice"), txt[10]->text()}};
    const QString origine = Letterale(m_codiceOrigine);
    CopiaRighe(m_ctx.db, QStringLiteral("Select * from QuivaDettaglio") + QStringLiteral(" Where Codice = ") + origine,
               nuovo);
    CopiaRighe(m_ctx.db, QStringLiteral("Select * from QuivaDecod") + QStringLiteral(" Where Codice = ") + origine,
               nuovo);
}

void frmGestQuiva::AggNonText()
{
    const QString tipo = txt[60]->text();
    Cob[60]->setCurrentIndex(tipo.isEmpty() ? -1 : tipo.compare(QLatin1String("F"), Qt::CaseInsensitive) == 0 ? 1 : 0);
    const QString insVaria = txt[240]->text();
    int voce = -1;
    for (int i = 0; i < VociInsVaria.size() && !insVaria.isEmpty(); ++i)
        if (VociInsVaria[i].startsWith(insVaria, Qt::CaseInsensitive))
            voce = i;
    Cob[240]->setCurrentIndex(voce);
    bool ok = false;
    const int modalita = txt[250]->text().toInt(&ok);
    Cob[250]->setCurrentIndex(ok && modalita >= 0 && modalita < VociModalita.size() ? modalita : -1);
    for (int indice : Spunte)
        CompTxtToChe(indice);
}

void frmGestQuiva::CompTxtToChe(int indice)
{
    CheAzz[indice]->setChecked(txt[indice]->text().compare(QLatin1String("S"), Qt::CaseInsensitive) == 0);
}

void frmGestQuiva::Cob_Click(int indice)
{
    const int voce = Cob[indice]->currentIndex();
    QString codice;
    if (indice == 60)
        codice = voce == 1 ? QStringLiteral("F") : QStringLiteral("S");
    else if (indice == 240)
        codice = voce < 0 ? QString() : Cob[indice]->currentText().left(1);
    else if (indice == 250)
        codice = voce < 0 ? QString() : QString::number(voce);
    txt[indice]->setText(codice);
}

void frmGestQuiva::AbilitaSpecchi()
{
    // A mirror takes input exactly when its text box would.
    for (auto it = Cob.cbegin(); it != Cob.cend(); ++it)
        if (!it.value()->isEditable())
            it.value()->setEnabled(!txt[it.key()]->isReadOnly());
    for (auto it = CheAzz.cbegin(); it != CheAzz.cend(); ++it)
        it.value()->setEnabled(!txt[it.key()]->isReadOnly());
}

namespace {

// What would choose another item of an editable combo: its button, the
// wheel, the arrow and page keys, F4 and Alt+Down.
bool SceltaNelCombo(const QEvent* evento)
{
    switch (evento->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel: return true;
    case QEvent::KeyPress: {
        const int k = static_cast<const QKeyEvent*>(evento)->key();
        return k == Qt::Key_Up || k == Qt::Key_Down || k == Qt::Key_PageUp || k == Qt::Key_PageDown || k == Qt::Key_F4;
    }
    default: return false;
    }
}

}  // namespace

bool frmGestQuiva::eventFilter(QObject* oggetto, QEvent* evento)
{
    // A table combo whose box is read-only (a shown row in view-only mode)
    // still lets its text be selected and copied, but no item be chosen.
    for (auto it = Cob.cbegin(); it != Cob.cend(); ++it)
        if (it.value() == oggetto && it.value()->isEditable() && txt[it.key()]->isReadOnly() && SceltaNelCombo(evento))
            return true;
    // Delete in a combo (not the two mode combos) clears it.
    if (evento->type() == QEvent::KeyPress) {
        const auto* tasto = static_cast<QKeyEvent*>(evento);
        if (tasto->key() == Qt::Key_Delete && !(tasto->modifiers() & Qt::ShiftModifier)) {
            for (auto it = Cob.cbegin(); it != Cob.cend(); ++it)
                if (it.value() == oggetto && it.key() != 240 && it.key() != 250 && !txt[it.key()]->isReadOnly()) {
                    it.value()->setCurrentIndex(-1);
                    txt[it.key()]->clear();
                    return true;
                }
        }
    }
    return Maschera::eventFilter(oggetto, evento);
}

void frmGestQuiva::CompListaTabella()
{
    const QStringList tabelle = m_ctx.db.Database().tables(QSql::Tables);
    for (int indice : ComboTabella) {
        QComboBox* combo = Cob[indice];
        const QString testo = txt[indice]->text();
        combo->clear();
        combo->addItems(tabelle);
        combo->setCurrentIndex(-1);
        txt[indice]->setText(testo);
    }
}

void frmGestQuiva::SistemaPagina(int piIndex, bool pbSetFocus)
{
    if (piIndex < 1 || piIndex > 5)
        return;
    if (TasPagine->currentIndex() != piIndex - 1)
        TasPagine->setCurrentIndex(piIndex - 1);
    if (pbSetFocus)
        Cob[ComboTabella[piIndex - 1]]->setFocus();
}

void frmGestQuiva::ComDett_Click()
{
    osCodice = txt[10]->text();
    osTabella = txt[20]->text();
    osTabella2 = txt[70]->text();
    osCodTab2 = txt[80]->text();
    osTabella3 = txt[100]->text();
    osCodTab3 = txt[110]->text();
    osTabella4 = txt[130]->text();
    osCodTab4 = txt[140]->text();
    osTabella5 = txt[160]->text();
    osCodTab5 = txt[170]->text();
    const TabelleDefinizione testata {osCodice,
                                      {osTabella, osTabella2, osTabella3, osTabella4, osTabella5},
                                      {QString(), osCodTab2, osCodTab3, osCodTab4, osCodTab5}};
    auto* dettagli = new frmGeQuivDett(m_ctx, testata, this);
    dettagli->osKeySec = osKeySec;
    dettagli->osParamLancia = osParamLancia;
    m_dettagli = dettagli;
    ApriModale(dettagli);
    // The field editor blocks this window: the preview and check windows
    // opened from here go over it, to stay usable.
    if (m_dettagli)
        for (Maschera* sopra : findChildren<Maschera*>(Qt::FindDirectChildrenOnly))
            if ((qobject_cast<frmAnteprima*>(sopra) || qobject_cast<frmVerifica*>(sopra)) && sopra->isVisible()) {
                sopra->setParent(m_dettagli, Qt::Window);
                sopra->show();
            }
}

bool frmGestQuiva::ComandoProprio(const QString& chiave)
{
    const QString codice = txt[10]->text();
    if (chiave == QLatin1String("Anteprima")) {
        // The preview reads the stored definition.
        if (m_pagina->PuoChiudere() && m_pagina->oiFlagOpe() == 1)
            ApriSopra(new frmAnteprima(m_ctx, codice, this));
    } else if (chiave == QLatin1String("Verifica")) {
        if (m_pagina->PuoChiudere() && m_pagina->oiFlagOpe() == 1) {
            auto* verifica = new frmVerifica(m_ctx, codice, this);
            verifica->vaiACampo = [this](const QString& nomeCampo) { VaiACampo(nomeCampo); };
            ApriSopra(verifica);
        }
    } else if (chiave == QLatin1String("CreaDaFile")) {
        if (m_pagina->oiFlagOpe() == 2 && oiAbilRW != 0)
            ComCreaDaFile_Click();
    } else {
        return false;
    }
    return true;
}

void frmGestQuiva::ApriSopra(Maschera* finestra)
{
    finestra->osParamLancia = osParamLancia;
    finestra->Carica();
    finestra->show();
    finestra->activateWindow();
}

void frmGestQuiva::VaiACampo(const QString& nomeCampo)
{
    if (!m_dettagli)
        ComDett_Click();
    if (m_dettagli)
        m_dettagli->VaiACampo(nomeCampo);
}

void frmGestQuiva::ComCreaDaFile_Click()
{
    const QString codice = txt[10]->text().trimmed();
    const QString tabella = txt[20]->text().trimmed();
    if (codice.isEmpty() || tabella.isEmpty()) {
        m_ctx.messaggi.msgCom(QStringLiteral("Indicare il codice e la tabella principale della nuova definizione"),
                              {Ok});
        (codice.isEmpty() ? txt[10] : static_cast<QWidget*>(Cob[20]))->setFocus();
        return;
    }
    if (txt[30]->text().trimmed().isEmpty()) {
        const QString scelto = ScegliFile(this, ModoScelta::Apri, QStringLiteral("File origine"), QString(),
                                          QStringLiteral("File di testo (*.txt *.csv *.dat);;Tutti i file (*)"),
                                          m_ctx.messaggi);
        if (scelto.isEmpty())
            return;
        txt[30]->setText(scelto);
    }
    const QString origine = txt[30]->text().trimmed();
    QString percorso = origine;
    if (QFileInfo(origine).isRelative()) {
        const QString cartella = ContestoCarico(m_ctx).dirQuiva;
        if (!cartella.isEmpty())
            percorso = QDir(cartella).filePath(origine);
    }
    QJsonObject definizione;
    QString descrizione;
    try {
        const PropostaDefinizione proposta = ProponiDaFile(m_ctx.db, percorso, tabella);
        definizione = DefinizioneProposta(proposta, codice, tabella, origine);
        descrizione = TestoProposta(proposta);
    } catch (const std::exception& errore) {
        m_ctx.messaggi.MsgErrfrm(errore, QStringLiteral("Crea da file ") + origine);
        return;
    }
    if (!txt[15]->text().trimmed().isEmpty()) {
        QJsonObject testata = definizione.value(QStringLiteral("QuivaFile")).toObject();
        testata.insert(QStringLiteral("Descrizione"), txt[15]->text().trimmed());
        definizione.insert(QStringLiteral("QuivaFile"), testata);
    }
    auto* anteprima = new frmAnteprima(m_ctx, definizione, descrizione, this);
    connect(anteprima, &frmAnteprima::Salvata, this, [this](const QString& salvato) {
        // The typed new row is replaced by the definition just written.
        m_pagina->Abbandona();
        if (m_pagina->Posiziona({salvato}))
            lblMessaggio->setText(QStringLiteral("Definizione ") + salvato + QStringLiteral(" creata dal file"));
    });
    ApriSopra(anteprima);
}

void frmGestQuiva::ApriModale(Maschera* maschera)
{
    try {
        maschera->Carica();
    } catch (const std::exception& errore) {
        m_ctx.messaggi.MsgErrfrm(errore, QLatin1Char('\n') + maschera->windowTitle());
        delete maschera;
        return;
    }
    maschera->setWindowModality(Qt::ApplicationModal);
    maschera->show();
    maschera->activateWindow();
}

void frmGestQuiva::ComTrasf_Click(int n)
{
    if (txt[ComboTabella[n]]->text().trimmed().isEmpty()) {
        m_ctx.messaggi.msgCom(QStringLiteral("Non è stata inserita la Tabella corrispondente"), {Ok});
        return;
    }
    auto* trasformazioni = new frmTrasform(m_ctx, this);
    trasformazioni->osKeyAttivazione = QStringLiteral("frmTrasform");
    trasformazioni->osParam = osParamLancia;
    trasformazioni->oiAbilRW = AbilitazioneScrittura(trasformazioni->osParam);
    trasformazioni->osKeySec = osKeySec;
    trasformazioni->osCodice = txt[10]->text();
    trasformazioni->osTabella = txt[ComboTabella[n]]->text();
    trasformazioni->TabellaStd(QStringLiteral("QuivaDecod"), QStringLiteral("QuivaDecod"), 3, false, false);
    ApriModale(trasformazioni);
}

void frmGestQuiva::ComEsporta_Click()
{
    const QString codice = txt[10]->text();
    const QString file = sceltaFile(true, codice + QStringLiteral(".json"));
    if (file.isEmpty() || !m_pagina->PuoChiudere())
        return;
    if (EsportaDefinizione(m_ctx.db, m_ctx.messaggi, codice, file) == 0)
        lblMessaggio->setText(QStringLiteral("Definizione esportata in ") + file);
}

void frmGestQuiva::ComImporta_Click()
{
    if (oiAbilRW == 0 || !m_pagina->PuoChiudere())
        return;
    const QString file = sceltaFile(false, QString());
    if (file.isEmpty())
        return;
    auto sostituisci = [this](const QString& codice) {
        return m_ctx.messaggi.msgCom(QStringLiteral("La definizione ") + codice
                                         + QStringLiteral(" esiste già: sostituirla con quella del file?"),
                                     {QStringLiteral("&Si"), QStringLiteral("&No")})
            == 1;
    };
    QString codice;
    if (ImportaDefinizione(m_ctx.db, m_ctx.messaggi, file, sostituisci, &codice) != 0)
        return;
    m_pagina->Posiziona({codice});
    lblMessaggio->setText(QStringLiteral("Definizione ") + codice + QStringLiteral(" importata"));
}
