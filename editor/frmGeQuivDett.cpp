#include "frmGeQuivDett.h"

#include "BarraComandi.h"
#include "ColonneTabella.h"
#include "DatabaseLink.h"
#include "DidascalieQuiva.h"
#include "FinestraMessaggi.h"
#include "FormUtility.h"
#include "GestioneMaschere.h"
#include "LinePageEditor.h"
#include "ListBrowser.h"
#include "MenuPagina.h"
#include "frmAnteprima.h"
#include "frmVerifica.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QDateTime>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString Ok = QStringLiteral("&Ok");

const QList<VoceComando> Comandi {{"Nuovo", "(N) Nuovo"},
                                  {"Salva", "(S) Salva"},
                                  {"Cancella", "(C) Cancella"},
                                  {"Annulla", "(A) Annulla"},
                                  {"Duplica", "(D) Duplica"},
                                  {"VarKey", "(R) Varia campi chiave"},
                                  {"Punta", "(P) Puntatore"},
                                  {"VaiA", "(V) Vai a"},
                                  {"Inizio", "(I) Inizio Archivio"},
                                  {"Posiz", ""},
                                  {"Fine", "(F) Fine Archivio"},
                                  {"Aggiorna", "(G) Aggiorna"},
                                  {"Trova", "(T) Trova"},
                                  {"Anteprima", "(E) Anteprima"},
                                  {"Verifica", "(K) Verifica"},
                                  {"Chiudi", "(H) Chiudi"},
                                  {"Menu", "(M) Menu"}};

const QStringList VociAggiorna {QStringLiteral("Aggiorna"), QStringLiteral("Non Aggiorna")};

AttributiCampo Numero(int dimensione)
{
    AttributiCampo a;
    a.tipo = TipiDato::Long;
    a.dimensione = dimensione;
    a.formato = QStringLiteral("#,###");
    return a;
}

AttributiCampo Chiave(int posizione)
{
    AttributiCampo a;
    a.chiave = posizione;
    return a;
}

AttributiCampo Predefinito(const QString& valore)
{
    AttributiCampo a;
    a.predefinito = valore;
    return a;
}

struct Campo {
    int indice;
    const char* colonna;
    const char* etichetta;  // empty: not in the detail panel
    AttributiCampo attributi;
};

// In the order the page registers them.
const Campo Campi[] = {{10, "Codice", "", Chiave(1)},
                       {20, "NomeCampo", "Nome Campo:", Chiave(2)},
                       {200, "OrdCampo", "Ordine Scrittura:", Numero(4)},
                       {30, "TipoOrig", "Tipo Origine:", Predefinito(QStringLiteral("String"))},
                       {40, "TipoDest", "Tipo Destinazione:", Predefinito(QStringLiteral("String"))},
                       {50, "NumCampo", "Numero Campo:", {}},
                       {60, "Inizio", "Inizio:", Numero(-4)},
                       {70, "Lunghezza", "Lunghezza:", Numero(4)},
                       {80, "Dimensione", "Dimensione:", Numero(-4)},
                       {150, "LimiteDim", "Limite di lunghezza:", Numero(-4)},
                       {100, "NonVal", "Valore non Valido:", {}},
                       {110, "Riempie", "Car.Riempimento / Tipo arrotond.:", {}},
                       {120, "Quanto", "Num. Caratteri di Riempimento / Num. decimali:", Numero(-4)},
                       {90, "Default", "Valore Di Default:", {}},
                       {210, "Aggiorna", "In Variazione:", Predefinito(QStringLiteral("A"))},
                       {130, "Obbligatorio", "Obbligatorio:", {}},
                       {140, "Conv0ToNull", "Converti 0 a Null:", {}},
                       {160, "TipoOper", "Tipo Operazione:", {}},
                       {170, "ValoreOper", "Stringa Operazione:", {}},
                       {180, "LireOValuta", "Prezzi in Lire o Valuta/Euro:", {}},
                       {190, "ValValido", "Valore Valido:", {}}};

const QList<ColonnaLista> Larghezze {
    {"NomeCampo", {}, 1300}, {"TipoOrig", {}, 900},     {"TipoDest", {}, 900},    {"OrdCampo", {}, 800},
    {"NumCampo", {}, 1200},  {"NonVal", {}, 3000},      {"ValValido", {}, 3000},  {"Default", {}, 3000},
    {"Riempie", {}, 600},    {"Obbligatorio", {}, 600}, {"Conv0ToNull", {}, 600}, {"LimiteDim", {}, 900},
    {"TipoOper", {}, 600},   {"ValoreOper", {}, 2000},  {"LireOValuta", {}, 600}, {"Aggiorna", {}, 600}};

// The value must be one of the characters of ammessi (an empty one passes).
bool UnoDi(const QString& valore, const QString& ammessi)
{
    return valore.isEmpty() || ammessi.contains(valore, Qt::CaseInsensitive);
}

}  // namespace

frmGeQuivDett::frmGeQuivDett(const ContestoEditor& contesto, const TabelleDefinizione& testata, QWidget* parent)
    : Maschera(parent), m_ctx(contesto), m_testata(testata)
{
    setWindowFlag(Qt::Window);
    setObjectName(QStringLiteral("frmGeQuivDett"));
    osNome = QStringLiteral("frmGeQuivDett");
    setWindowTitle(QStringLiteral("Dettagli Campi da Quivare"));
    auto* layout = new QVBoxLayout(this);
    tolComandi = new BarraComandi(Comandi, this);
    layout->addWidget(tolComandi);

    auto* fisso = new QWidget(this);
    fisso->setObjectName(QStringLiteral("picFisso"));
    auto* lf = new QHBoxLayout(fisso);
    lf->setContentsMargins(0, 0, 0, 0);
    lf->addWidget(new QLabel(QStringLiteral("Codice quivamento:"), fisso));
    lf->addWidget(NuovaCasella(10));
    lf->addWidget(new QLabel(QStringLiteral("Tabella:"), fisso));
    txtTabella = new QLineEdit(fisso);
    txtTabella->setObjectName(QStringLiteral("txtTabella"));
    txtTabella->setReadOnly(true);
    txtTabella->setFocusPolicy(Qt::NoFocus);
    lf->addWidget(txtTabella);
    lf->addWidget(new QLabel(QStringLiteral("CodiceTabella:"), fisso));
    lf->addWidget(NuovaCasella(15));
    txt[15]->setMaxLength(1);
    txt[15]->installEventFilter(this);
    connect(txt[15], &QLineEdit::textEdited, this, &frmGeQuivDett::ScriviNomeCampo);
    txt[15]->setMaximumWidth(Twip(600));
    lf->addStretch(1);
    txtRiga = new QLineEdit(fisso);
    txtRiga->setObjectName(QStringLiteral("txtRiga"));
    txtRiga->setReadOnly(true);
    txtRiga->setFocusPolicy(Qt::NoFocus);
    txtRiga->setFixedWidth(txtRiga->fontMetrics().horizontalAdvance(QStringLiteral("99999 / 99999")) + 16);
    lf->addWidget(txtRiga);
    layout->addWidget(fisso);

    dbgRiga = new QTableView(this);
    dbgRiga->setObjectName(QStringLiteral("dbgRiga"));
    dbgRiga->setMinimumHeight(Twip(1800));  // a few rows, however small the screen
    layout->addWidget(dbgRiga, 1);

    auto* dett = new QWidget(this);
    dett->setObjectName(QStringLiteral("picDett"));
    auto* ld = new QGridLayout(dett);
    ld->setContentsMargins(0, 0, 0, 0);
    int posto = 0;
    for (const Campo& c : Campi) {
        if (!*c.etichetta)
            continue;
        QWidget* controllo;
        if (c.indice == 20 || c.indice == 30 || c.indice == 40 || c.indice == 210) {
            controllo = NuovoCombo(c.indice, c.indice == 20);
        } else if (c.indice == 130 || c.indice == 140) {
            controllo = NuovaSpunta(c.indice);
        } else {
            controllo = NuovaCasella(c.indice);
        }
        const int riga = posto / 3, colonna = (posto % 3) * 2;
        ld->addWidget(new QLabel(QLatin1String(c.etichetta), dett), riga, colonna);
        ld->addWidget(controllo, riga, colonna + 1);
        ++posto;
    }
    for (int c : {1, 3, 5})
        ld->setColumnStretch(c, 1);
    layout->addWidget(dett);

    auto* stato = new QStatusBar(this);
    stato->setObjectName(QStringLiteral("staMessaggi"));
    stato->setSizeGripEnabled(false);
    lblTipOpe = new QLabel(stato);
    lblTipOpe->setObjectName(QStringLiteral("TipOpe"));
    lblMessaggio = new QLabel(stato);
    lblMessaggio->setObjectName(QStringLiteral("Messaggio"));
    auto* ora = new QLabel(QDateTime::currentDateTime().toString(QStringLiteral("HH:mm   dd/MM/yyyy")), stato);
    stato->addWidget(lblTipOpe);
    stato->addWidget(lblMessaggio, 1);
    stato->addPermanentWidget(ora);
    layout->addWidget(stato);
    resize(Twip(12500), Twip(8800));
}

frmGeQuivDett::~frmGeQuivDett()
{
    delete m_pagina;  // before the grid it drives
}

QLineEdit* frmGeQuivDett::NuovaCasella(int indice)
{
    auto* casella = new QLineEdit(this);
    casella->setObjectName(QStringLiteral("txt%1").arg(indice));
    txt.insert(indice, casella);
    return casella;
}

QComboBox* frmGeQuivDett::NuovoCombo(int indice, bool modificabile)
{
    auto* combo = new QComboBox(this);
    combo->setObjectName(QStringLiteral("Cob%1").arg(indice));
    combo->setEditable(modificabile);
    if (modificabile) {
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->completer()->setCompletionMode(QCompleter::InlineCompletion);
        combo->lineEdit()->installEventFilter(this);
    }
    if (indice == 210)
        combo->addItems(VociAggiorna);
    combo->installEventFilter(this);
    NuovaCasella(indice)->hide();
    Cob.insert(indice, combo);
    connect(combo, &QComboBox::activated, this, [this, indice] { cob_Click(indice); });
    if (modificabile)  // the stored name follows the typing
        connect(combo, &QComboBox::editTextChanged, this, &frmGeQuivDett::ScriviNomeCampo);
    return combo;
}

QCheckBox* frmGeQuivDett::NuovaSpunta(int indice)
{
    auto* spunta = new QCheckBox(this);
    spunta->setObjectName(QStringLiteral("Che%1").arg(indice));
    spunta->installEventFilter(this);
    NuovaCasella(indice)->hide();
    Che.insert(indice, spunta);
    connect(spunta, &QCheckBox::clicked, this,
            [this, indice](bool spuntata) { txt[indice]->setText(spuntata ? QStringLiteral("S") : QString()); });
    return spunta;
}

void frmGeQuivDett::Carica()
{
    helpContext = ContestoHelp;
    oiLoadOk = -1;
    OpzioniMaschera opzioni;
    opzioni.scala = true;
    opzioni.silenziosa = true;
    PreparaMaschera(*this, QString(), opzioni);
    txt[10]->setText(m_testata.osCodice);
    m_tabellaCorrente = m_testata.tabelle[0];
    txtTabella->setText(m_tabellaCorrente);
    m_pagina = new LinePageEditor(*this, *this, m_ctx.messaggi, m_ctx.db);
    m_pagina->ImpostaTabella(QStringLiteral("QuivaDettaglio"));
    RegistraCampi();
    m_pagina->Fisso(10);
    m_pagina->ImpostaGriglia(*dbgRiga, txtRiga);
    m_pagina->ImpostaBarra(tolComandi);
    m_pagina->ImpostaDomande(&m_ctx.domande);
    m_pagina->messaggioStato = [this](const QString& testo) { lblMessaggio->setText(testo); };
    m_pagina->comandoSchermo = [this](const QString& chiave) { return ComandoProprio(chiave); };
    m_pagina->righeScritte = [this] { DefinizioneCambiata(); };
    m_pagina->Campi().controllo = [this](int indice, const QString& valore) { return ControllaCampo(indice, valore); };
    for (int evento : {EventiPagina::RigaMostrata, EventiPagina::RigaNuova, EventiPagina::Stato})
        m_pagina->Iscrivi(evento);
    if (oiAbilRW != 1)
        m_pagina->SolaLettura();
    m_pagina->Avvia();
    CompCampiCombo();
    if (oiAbilRW == 1 && m_pagina->Browser().Conteggio() == 0)
        CreaRigheCampi();
    AggSpecchi();
    AbilitaSpecchi();
    oiLoadOk = oiAbilRW == 1 ? 1 : -1;
}

void frmGeQuivDett::RegistraCampi()
{
    for (const Campo& c : Campi)
        m_pagina->Registra(c.indice, txt[c.indice], QLatin1String(c.colonna), QLatin1String(c.colonna), c.attributi);
}

bool frmGeQuivDett::PuoChiudere(QString& motivo)
{
    if (m_pagina && !m_pagina->PuoChiudere()) {
        motivo = QStringLiteral("Dati variati non salvati");
        return false;
    }
    return true;
}

void frmGeQuivDett::closeEvent(QCloseEvent* evento)
{
    // Opened from the header editor: nothing to tell the menu.
    QString motivo;
    if (!PuoChiudere(motivo))
        evento->ignore();
    else
        QWidget::closeEvent(evento);
}

void frmGeQuivDett::MenuFrm() { RichiamaMenu(m_ctx.messaggi); }

void frmGeQuivDett::ButtonComando(const QString& psKey) { m_pagina->Comando(psKey); }

void frmGeQuivDett::PersColonne()
{
    // Every column of the rows gets its caption; the listed ones a width too.
    QList<ColonnaLista> colonne = Larghezze;
    const ModelloLista& modello = m_pagina->Browser().Modello();
    for (int c = 0; c < modello.columnCount(); ++c) {
        const QString nome = modello.NomeColonna(c);
        if (std::none_of(colonne.cbegin(), colonne.cend(),
                         [&](const ColonnaLista& l) { return l.campo.compare(nome, Qt::CaseInsensitive) == 0; }))
            colonne.append({nome, {}, 0});
    }
    m_pagina->Browser().PersColonne(ConDidascalie(colonne, DidascalieQuiva(QStringLiteral("QuivaDettaglio"))));
}

QString frmGeQuivDett::PrepSql()
{
    // Val: the order is stored as text and compared as a number.
    return QStringLiteral("Select Codice") + QStringLiteral(", NomeCampo") + QStringLiteral(", OrdCampo")
        + QStringLiteral(", TipoOrig") + QStringLiteral(", TipoDest") + QStringLiteral(", NumCampo")
        + QStringLiteral(", Inizio") + QStringLiteral(", Lunghezza") + QStringLiteral(", Dimensione")
        + QStringLiteral(", Default") + QStringLiteral(", NonVal") + QStringLiteral(", ValValido")
        + QStringLiteral(", Riempie") + QStringLiteral(", Quanto") + QStringLiteral(", Obbligatorio")
        + QStringLiteral(", Conv0ToNull") + QStringLiteral(", LimiteDim") + QStringLiteral(", TipoOper")
        + QStringLiteral(", ValoreOper") + QStringLiteral(", LireOValuta") + QStringLiteral(", Aggiorna")
        + QStringLiteral(" FROM QuivaDettaglio") + QStringLiteral(" where Codice = ")
        + FormUtility::SqlLiteral(m_testata.osCodice, TipiDato::String)
        + QStringLiteral(" Order BY Codice, iif(isnull(OrdCampo),99999,Val(OrdCampo)), NomeCampo");
}

bool frmGeQuivDett::CercaTab()
{
    const QString codice = txt[15]->text();
    if (codice.isEmpty()) {
        m_tabellaCorrente = m_testata.tabelle[0];
    } else {
        int slot = 1;
        while (slot < 5 && m_testata.codici[slot].compare(codice, Qt::CaseInsensitive) != 0)
            ++slot;
        if (slot == 5)
            return false;
        m_tabellaCorrente = m_testata.tabelle[slot];
    }
    txtTabella->setText(m_tabellaCorrente);
    return true;
}

void frmGeQuivDett::CompCampiCombo()
{
    QComboBox* combo = Cob[20];
    const QString testo = combo->currentText();
    const bool mostrando = m_mostrando;
    m_mostrando = true;
    combo->clear();
    // Wide enough for every column and for the joined "Gruppo|Mastro|Conto".
    qsizetype lunghezza = QStringLiteral("Gruppo|Mastro|Conto").size();
    for (const ColonnaTabella& c : ColonneTabella(m_ctx.db, m_tabellaCorrente)) {
        combo->addItem(c.nome);
        lunghezza = std::max(lunghezza, c.nome.size() + 2);  // room for a table code
    }
    combo->setMinimumContentsLength(static_cast<int>(lunghezza));
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setCurrentIndex(-1);
    combo->setEditText(testo);
    m_mostrando = mostrando;
    CompComboTipi(Cob[30]);
    CompComboTipi(Cob[40]);
    AggSpecchi();
}

void frmGeQuivDett::CompComboTipi(QComboBox* combo)
{
    combo->clear();
    combo->addItems({QStringLiteral("Integer"), QStringLiteral("Long"), QStringLiteral("Single"),
                     QStringLiteral("Double"), QStringLiteral("Currency"), QStringLiteral("Date"),
                     QStringLiteral("String")});
}

QString frmGeQuivDett::ControllaCampo(int indice, const QString& valore)
{
    if (indice == 160 && !UnoDi(valore, QStringLiteral(" */%")))
        return QStringLiteral("Valori Validi: ' */%'");
    if (indice == 180 && !UnoDi(valore, QStringLiteral(" LV")))
        return QStringLiteral("Valori Validi: ' LV'");
    // The table code of the name must be one of the definition's.
    if (indice == 20 && !txt[20]->isReadOnly() && !CercaTab())
        return QStringLiteral("Codice tabella non valido");
    return {};
}

bool frmGeQuivDett::txt15_LostFocus()
{
    auto colora = [this](bool errato) {
        QPalette tavolozza = txt[15]->palette();
        tavolozza.setColor(QPalette::Base,
                           errato ? m_pagina->Campi().colori.errore : style()->standardPalette().color(QPalette::Base));
        txt[15]->setPalette(tavolozza);
    };
    if (!CercaTab()) {
        colora(true);
        m_ctx.messaggi.msgCom(QStringLiteral("Codice tabella non valido"), {Ok});
        return false;
    }
    colora(false);
    CompCampiCombo();
    if (!Cob[20]->currentText().isEmpty())
        ScriviNomeCampo();
    return true;
}

void frmGeQuivDett::ScriviNomeCampo()
{
    if (m_mostrando || txt[20]->isReadOnly())
        return;
    const QString colonna = Cob[20]->currentText();
    txt[20]->setText(txt[15]->text().isEmpty() || colonna.isEmpty() ? colonna
                                                                    : txt[15]->text() + QLatin1Char(' ') + colonna);
}

void frmGeQuivDett::MostraNomeCampo()
{
    m_mostrando = true;
    const QString nome = txt[20]->text();
    const bool secondaria = nome.size() > 1 && nome[1] == QLatin1Char(' ');
    txt[15]->setText(secondaria ? nome.left(1) : QString());
    Cob[20]->setCurrentIndex(-1);
    Cob[20]->setEditText(secondaria ? nome.mid(2) : nome);
    m_mostrando = false;
}

void frmGeQuivDett::cob_Click(int indice)
{
    QComboBox* combo = Cob[indice];
    if (indice == 20)
        ScriviNomeCampo();
    else if (indice == 210)
        txt[210]->setText(combo->currentIndex() < 0 ? QString() : combo->currentText().left(1));
    else
        txt[indice]->setText(combo->currentText());
}

void frmGeQuivDett::cob_LostFocus(int indice)
{
    if (indice != 20 || txt[20]->isReadOnly())
        return;
    ScriviNomeCampo();
    // Types follow the column only when the column changed since the row
    // was shown: a type chosen by hand stays.
    if (txt[20]->text() == m_nomeTipi)
        return;
    m_nomeTipi = txt[20]->text();
    if (m_nomeTipi.contains(QLatin1Char('|'))) {
        txt[30]->setText(QStringLiteral("string"));
        txt[40]->setText(QStringLiteral("string"));
    } else {
        for (const ColonnaTabella& c : ColonneTabella(m_ctx.db, m_tabellaCorrente))
            if (c.nome.compare(Cob[20]->currentText(), Qt::CaseInsensitive) == 0) {
                txt[30]->setText(c.tipo);
                txt[40]->setText(c.tipo);
                break;
            }
    }
    AggSpecchi();
}

void frmGeQuivDett::AggSpecchi()
{
    for (int indice : {30, 40})
        Cob[indice]->setCurrentIndex(Cob[indice]->findText(txt[indice]->text(), Qt::MatchFixedString));
    int voce = -1;
    for (int i = 0; i < VociAggiorna.size() && !txt[210]->text().isEmpty(); ++i)
        if (VociAggiorna[i].startsWith(txt[210]->text(), Qt::CaseInsensitive))
            voce = i;
    Cob[210]->setCurrentIndex(voce);
    for (auto it = Che.cbegin(); it != Che.cend(); ++it)
        it.value()->setChecked(txt[it.key()]->text().compare(QLatin1String("S"), Qt::CaseInsensitive) == 0);
}

void frmGeQuivDett::AbilitaSpecchi()
{
    // A mirror takes input exactly when its text box would.
    for (auto it = Cob.cbegin(); it != Cob.cend(); ++it)
        it.value()->setEnabled(!txt[it.key()]->isReadOnly());
    for (auto it = Che.cbegin(); it != Che.cend(); ++it)
        it.value()->setEnabled(!txt[it.key()]->isReadOnly());
    txt[15]->setReadOnly(txt[20]->isReadOnly());
    txt[10]->setReadOnly(true);
}

int frmGeQuivDett::PersLPaPri(int evento, const QVariantList& parametri)
{
    if (evento == EventiPagina::RigaNuova && parametri.value(0).toInt() == 0) {
        m_mostrando = true;
        txt[15]->clear();
        Cob[20]->setCurrentIndex(-1);
        Cob[20]->setEditText(QString());
        Cob[30]->setCurrentIndex(-1);
        Cob[40]->setCurrentIndex(-1);
        Cob[210]->setCurrentIndex(0);
        Che[140]->setChecked(false);
        m_mostrando = false;
    }
    return 0;
}

int frmGeQuivDett::PersLPaDop(int evento, const QVariantList& parametri)
{
    if (evento == EventiPagina::Stato) {
        lblTipOpe->setText(parametri.value(0).toInt() == 2       ? QStringLiteral("Inserimento")
                               : parametri.value(0).toInt() == 1 ? QStringLiteral("Variazione")
                                                                 : QString());
        AbilitaSpecchi();
    } else if (evento == EventiPagina::RigaNuova || evento == EventiPagina::RigaMostrata) {
        const QString tabella = m_tabellaCorrente;
        m_nomeTipi = txt[20]->text();
        MostraNomeCampo();
        CercaTab();
        if (m_tabellaCorrente != tabella)
            CompCampiCombo();
        AggSpecchi();
        AbilitaSpecchi();
    }
    return 0;
}

void frmGeQuivDett::CreaRigheCampi()
{
    const QList<ColonnaTabella> colonne = ColonneTabella(m_ctx.db, m_testata.tabelle[0]);
    QProgressDialog avanzamento(QStringLiteral("Creazione Automatica Campi Quivabili"), QString(), 0,
                                static_cast<int>(colonne.size()), this);
    avanzamento.setWindowTitle(QStringLiteral("Creazione Automatica Campi Quivabili"));
    avanzamento.setMinimumDuration(0);
    int trovati = 0;  // Gruppo, Mastro, Conto as bits
    for (int i = 0; i < colonne.size(); ++i) {
        avanzamento.setValue(i + 1);
        ButtonComando(QStringLiteral("Nuovo"));
        txt[20]->setText(colonne[i].nome);
        txt[30]->setText(colonne[i].tipo);
        txt[40]->setText(colonne[i].tipo);
        ButtonComando(QStringLiteral("Salva"));
        const char* conti[] = {"Gruppo", "Mastro", "Conto"};
        for (int k = 0; k < 3; ++k)
            if (colonne[i].nome.compare(QLatin1String(conti[k]), Qt::CaseInsensitive) == 0)
                trovati |= 1 << k;
    }
    if (trovati == 7) {
        ButtonComando(QStringLiteral("Nuovo"));
        txt[20]->setText(QStringLiteral("Gruppo|Mastro|Conto"));
        txt[30]->setText(QStringLiteral("string"));
        txt[40]->setText(QStringLiteral("string"));
        ButtonComando(QStringLiteral("Salva"));
    }
    ButtonComando(QStringLiteral("Inizio"));
}

bool frmGeQuivDett::eventFilter(QObject* oggetto, QEvent* evento)
{
    if (evento->type() == QEvent::FocusOut && m_pagina && !m_pagina->InComando()) {
        if (oggetto == txt[15] && !txt[15]->isReadOnly())
            txt15_LostFocus();
        else if (oggetto == Cob[20] && !Cob[20]->view()->isVisible())
            cob_LostFocus(20);
    } else if (evento->type() == QEvent::KeyPress) {
        const auto* tasto = static_cast<QKeyEvent*>(evento);
        const bool freccia = tasto->key() == Qt::Key_Up || tasto->key() == Qt::Key_Down;
        for (QCheckBox* spunta : Che)
            if (oggetto == spunta && freccia && tasto->modifiers() == Qt::ShiftModifier) {
                // Shift+arrow moves like the plain arrow.
                focusNextPrevChild(tasto->key() == Qt::Key_Down);
                return true;
            }
        for (QComboBox* combo : Cob)
            if ((oggetto == combo || oggetto == combo->lineEdit()) && freccia && tasto->modifiers() == Qt::NoModifier)
                return true;
    }
    return Maschera::eventFilter(oggetto, evento);
}

bool frmGeQuivDett::ComandoProprio(const QString& chiave)
{
    if (chiave == QLatin1String("Anteprima")) {
        ApriSopra(new frmAnteprima(m_ctx, m_testata.osCodice, this));
        return true;
    }
    if (chiave == QLatin1String("Verifica")) {
        auto* verifica = new frmVerifica(m_ctx, m_testata.osCodice, this);
        verifica->vaiACampo = [this](const QString& nomeCampo) { VaiACampo(nomeCampo); };
        ApriSopra(verifica);
        return true;
    }
    return false;
}

void frmGeQuivDett::ApriSopra(Maschera* finestra)
{
    // Saves first: the preview and the check read the stored definition.
    if (!m_pagina->PuoChiudere()) {
        delete finestra;
        return;
    }
    finestra->osParamLancia = osParamLancia;
    finestra->Carica();
    finestra->show();
    finestra->activateWindow();
}

void frmGeQuivDett::DefinizioneCambiata()
{
    for (frmAnteprima* anteprima : frmAnteprima::Aperte(m_testata.osCodice))
        anteprima->Aggiorna();
    for (frmVerifica* verifica : findChildren<frmVerifica*>())
        verifica->Aggiorna();
}

bool frmGeQuivDett::VaiACampo(const QString& nomeCampo)
{
    activateWindow();
    raise();
    if (!m_pagina->MostraChiave({m_testata.osCodice, nomeCampo}))
        return false;
    dbgRiga->setFocus();
    return true;
}
