#include "frmTrasform.h"

#include "BarraComandi.h"
#include "ColonneTabella.h"
#include "FinestraMessaggi.h"
#include "FormUtility.h"
#include "GestioneMaschere.h"
#include "ListBrowser.h"
#include "MenuPagina.h"
#include "RichiestaTesto.h"
#include "TastiPagina.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString Ok = QStringLiteral("&Ok");

// The page keys of the screen: its grid is a list in editing mode.
class PaginaTrasformazioni : public PaginaComandi {
public:
    explicit PaginaTrasformazioni(frmTrasform& f) : m_f(f) { ricercaDopoSalva = false; }
    TipoPagina Tipo() const override { return TipoPagina::Lista; }
    BarraComandi* Barra() const override { return m_f.tolComandi; }
    void EseguiComando(const QString& chiave) override { m_f.ButtonComando(chiave); }

private:
    frmTrasform& m_f;
};

const QList<VoceComando> Comandi {{"Nuovo", "(N) Nuovo"},
                                  {"Salva", "(S) Salva"},
                                  {"Cancella", "(C) Cancella"},
                                  {"Annulla", "(A) Annulla"},
                                  {"Duplica", "(D) Duplica"},
                                  {"Punta", "(B) Puntatore"},
                                  {"VaiA", "(K) Vai a"},
                                  {"Inizio", "(I) Inizio Archivio"},
                                  {"Posiz", ""},
                                  {"Fine", "(F) Fine Archivio"},
                                  {"Aggiorna", "(G) Aggiorna"},
                                  {"Trova", "(T) Trova"},
                                  {"Stampa", "(P) Stampa"},
                                  {"Chiudi", "(H) Chiudi"},
                                  {"Menu", "(M) Menu"}};

// The field cell: shows a drop-down button and is never typed in; starting
// to edit it opens the list of columns instead.
class DelegatoNomeCampo : public QStyledItemDelegate {
public:
    DelegatoNomeCampo(std::function<void()> apri, QObject* parent)
        : QStyledItemDelegate(parent), m_apri(std::move(apri))
    {
    }

    QWidget* createEditor(QWidget*, const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        QTimer::singleShot(0, parent(), m_apri);
        return nullptr;
    }

    // Room for the button after the value.
    QSize sizeHint(const QStyleOptionViewItem& opzione, const QModelIndex& indice) const override
    {
        const QSize misura = QStyledItemDelegate::sizeHint(opzione, indice);
        return {misura.width() + misura.height(), misura.height()};
    }

    void paint(QPainter* pittore, const QStyleOptionViewItem& opzione, const QModelIndex& indice) const override
    {
        QStyledItemDelegate::paint(pittore, opzione, indice);
        QStyleOption freccia;
        const int lato = opzione.rect.height();
        freccia.rect = QRect(opzione.rect.right() - lato + 4, opzione.rect.top() + 4, lato - 8, lato - 8);
        freccia.palette = opzione.palette;
        opzione.widget->style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &freccia, pittore, opzione.widget);
    }

private:
    std::function<void()> m_apri;
};

}  // namespace

frmTrasform::frmTrasform(const ContestoEditor& contesto, QWidget* parent) : Maschera(parent), m_ctx(contesto)
{
    setWindowFlag(Qt::Window);
    setObjectName(QStringLiteral("frmTrasform"));
    osNome = QStringLiteral("frmTrasform");
    setWindowTitle(QStringLiteral("Trasformazioni per quivamento dati"));
    auto* layout = new QVBoxLayout(this);
    tolComandi = new BarraComandi(Comandi, this);
    layout->addWidget(tolComandi);

    auto* fisso = new QHBoxLayout;
    auto casella = [this, fisso](const QString& etichetta, const QString& nome) {
        fisso->addWidget(new QLabel(etichetta, this));
        auto* txt = new QLineEdit(this);
        txt->setObjectName(nome);
        txt->setReadOnly(true);
        txt->setFocusPolicy(Qt::NoFocus);
        fisso->addWidget(txt);
        return txt;
    };
    txtCodice = casella(QStringLiteral("Codice quivamento:"), QStringLiteral("txtCodice"));
    txtTabella = casella(QStringLiteral("Tabella:"), QStringLiteral("txtTabella"));
    fisso->addStretch(1);
    txtRiga = new QLineEdit(this);
    txtRiga->setObjectName(QStringLiteral("txtRiga"));
    txtRiga->setReadOnly(true);
    txtRiga->setFocusPolicy(Qt::NoFocus);
    txtRiga->setFixedWidth(txtRiga->fontMetrics().horizontalAdvance(QStringLiteral("99999 / 99999")) + 16);
    fisso->addWidget(txtRiga);
    layout->addLayout(fisso);

    dbgRiga = new QTableView(this);
    dbgRiga->setObjectName(QStringLiteral("dbgRiga"));
    dbgRiga->installEventFilter(this);
    layout->addWidget(dbgRiga, 1);

    // A window of its own, so that Enter and Escape reach it rather than the
    // screen's keyboard handling.
    LisCampo = new QListWidget(this);
    LisCampo->setWindowFlags(Qt::Popup);
    LisCampo->setObjectName(QStringLiteral("LisCampo"));
    LisCampo->hide();
    LisCampo->installEventFilter(this);
    connect(LisCampo, &QListWidget::itemDoubleClicked, this, &frmTrasform::PrendiLisCampo);
    resize(Twip(9600), Twip(6500));
}

frmTrasform::~frmTrasform()
{
    delete m_browser;  // before the grid it drives
}

void frmTrasform::TabellaStd(const QString& psNomeLin, const QString& psTabella, int piNumKey, bool pbAbilita,
                             bool pbSql)
{
    m_sql = pbSql ? psTabella
                  : QStringLiteral("Select * from ") + psTabella + QStringLiteral(" Where codice = ")
            + FormUtility::SqlLiteral(osCodice, TipiDato::String) + QStringLiteral(" and Tabella = ")
            + FormUtility::SqlLiteral(osTabella, TipiDato::String);
    m_nomeLista = psNomeLin;
    oiNumKey = piNumKey;
    if (!pbAbilita)
        return;
    Carica();
    setWindowModality(Qt::ApplicationModal);
    show();
}

void frmTrasform::Carica()
{
    helpContext = ContestoHelp;
    oiLoadOk = -1;
    OpzioniMaschera opzioni;
    opzioni.soloLettura = false;  // the caller decides
    opzioni.scala = true;
    opzioni.silenziosa = true;
    PreparaMaschera(*this, QString(), opzioni);
    txtCodice->setText(osCodice);
    txtTabella->setText(osTabella);
    m_browser = new ListBrowser(*dbgRiga, m_ctx.db, m_ctx.messaggi, this);
    m_browser->ImpostaBarra(tolComandi);
    m_browser->ImpostaContatore(txtRiga);
    m_browser->ImpostaTitolo(windowTitle());
    m_browser->controlloRiga = [this](QVariantMap& riga, QString& motivo) { return ControllaRiga(riga, motivo); };
    m_browser->SettaRecordset(m_sql);
    m_browser->ModalitaModifica(true);
    ImpostaAbilRW(oiAbilRW);
    PersColonne();
    const int colonna = ColonnaNomeCampo();
    if (colonna >= 0) {
        dbgRiga->setItemDelegateForColumn(colonna, new DelegatoNomeCampo([this] { ApriLisCampo(); }, this));
        PersColonne();  // the field column's width counts its button
    }
    connect(tolComandi, &BarraComandi::Comando, this, &frmTrasform::ButtonComando);
    connect(dbgRiga->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int c) {
        if (m_browser->Ordina(c) == 1)
            m_ctx.messaggi.msgCom(QStringLiteral("Impossibile ordinare su questo campo"), {Ok});
    });
    connect(dbgRiga, &QTableView::doubleClicked, this, [this](const QModelIndex& indice) {
        if (indice.column() == ColonnaNomeCampo() && !LisCampo->isVisible())
            ApriLisCampo();
    });
    CompCampiCombo();
    auto* pagina = new PaginaTrasformazioni(*this);
    connect(this, &QObject::destroyed, [pagina] { delete pagina; });
    InstallaTastiPagina(*this, *pagina);
    oiLoadOk = 1;
}

void frmTrasform::ImpostaAbilRW(int abilRW)
{
    oiAbilRW = abilRW;
    if (m_browser)
        m_browser->ImpostaScrittura(abilRW == 1);
}

void frmTrasform::CompCampiCombo()
{
    LisCampo->clear();
    for (const ColonnaTabella& c : ColonneTabella(m_ctx.db, osTabella))
        LisCampo->addItem(c.nome);
}

void frmTrasform::PersColonne()
{
    m_browser->PersColonne({{QStringLiteral("Codice"), {}, 0, true},
                            {QStringLiteral("Tabella"), {}, 0, true},
                            {QStringLiteral("NomeCampo"), QStringLiteral("NomeCampo"), 1000},
                            {QStringLiteral("ValOrig"), QStringLiteral("ValoreOrigine"), 3500},
                            {QStringLiteral("ValDest"), QStringLiteral("ValoreDestinazione"), 3500}});
}

QString frmTrasform::ColToSourceField(int piColIndex) const { return m_browser->Modello().NomeColonna(piColIndex); }

bool frmTrasform::CellaInModifica() const
{
    // A cell editor is a child of the grid's viewport that has the focus.
    const QWidget* fuoco = QApplication::focusWidget();
    return fuoco && fuoco != LisCampo && dbgRiga->viewport()->isAncestorOf(fuoco);
}

int frmTrasform::ColonnaNomeCampo() const
{
    return m_browser ? m_browser->Modello().Colonna(QStringLiteral("NomeCampo")) : -1;
}

void frmTrasform::ButtonComando(const QString& psKey)
{
    m_comando = psKey;
    // A cell being typed in is taken first: moving the current column makes
    // the grid commit it.
    if (CellaInModifica()) {
        const QModelIndex corrente = dbgRiga->currentIndex();
        const int scorrimento = dbgRiga->horizontalScrollBar()->value();
        const int vicina = corrente.column() + (corrente.column() >= dbgRiga->model()->columnCount() - 1 ? -1 : 1);
        dbgRiga->setCurrentIndex(corrente.siblingAtColumn(vicina));
        dbgRiga->setCurrentIndex(corrente);
        dbgRiga->horizontalScrollBar()->setValue(scorrimento);
    }
    if (psKey == QLatin1String("Chiudi"))
        close();
    else if (psKey == QLatin1String("Duplica"))
        Duplica();
    else if (psKey == QLatin1String("Menu"))
        RichiamaMenu(m_ctx.messaggi);
    else
        m_browser->Comando(psKey);
    m_comando.clear();
}

// The current row copied as a new one for another source value, asked
// first, and saved: a value that already has a translation is refused and
// the copy stays in the grid to be put right.
void frmTrasform::Duplica()
{
    ModelloLista& modello = m_browser->Modello();
    const int riga = m_browser->Riga() - 1;
    if (oiAbilRW != 1 || riga < 0 || modello.RigaDati(riga) < 0)
        return;
    const QVariantMap valori = modello.ValoriRiga(riga);
    const auto origine = m_ctx.domande.Chiedi(QStringLiteral("Nuovo valore di origine:"), QStringLiteral("Duplica"),
                                              valori.value(QStringLiteral("ValOrig")).toString());
    if (!origine)
        return;
    m_browser->Comando(QStringLiteral("Nuovo"));
    const int nuova = m_browser->Riga() - 1;
    for (const QString& colonna : {QStringLiteral("NomeCampo"), QStringLiteral("ValDest")})
        modello.setData(modello.index(nuova, modello.Colonna(colonna)), valori.value(colonna).toString());
    modello.setData(modello.index(nuova, modello.Colonna(QStringLiteral("ValOrig"))), *origine);
    m_browser->Comando(QStringLiteral("Salva"));
}

bool frmTrasform::ControllaRiga(QVariantMap& riga, QString& motivo)
{
    riga.insert(QStringLiteral("Codice"), osCodice);
    riga.insert(QStringLiteral("Tabella"), osTabella);
    const QString campo = riga.value(QStringLiteral("NomeCampo")).toString();
    if (campo.trimmed().isEmpty()) {
        motivo = QStringLiteral("Scegliere il campo dall'elenco");
        return false;
    }
    // The load keeps one translation per source value of a field: a second
    // one would stop every load of the definition.
    const QString origine = riga.value(QStringLiteral("ValOrig")).toString();
    const ModelloLista& modello = m_browser->Modello();
    const int corrente = m_browser->Riga() - 1;
    for (int r = 0; r < modello.rowCount(); ++r)
        if (r != corrente && modello.Valore(r, QStringLiteral("NomeCampo")).compare(campo, Qt::CaseInsensitive) == 0
            && modello.Valore(r, QStringLiteral("ValOrig")).compare(origine, Qt::CaseInsensitive) == 0) {
            motivo = QStringLiteral("Il valore '") + origine + QStringLiteral("' del campo ") + campo
                + QStringLiteral(" ha già una trasformazione");
            return false;
        }
    return true;
}

void frmTrasform::ApriLisCampo()
{
    const int colonna = ColonnaNomeCampo();
    if (colonna < 0 || m_browser->Conteggio() == 0)
        return;
    const QModelIndex indice = m_browser->Modello().index(std::max(m_browser->Riga() - 1, 0), colonna);
    const QRect cella = dbgRiga->visualRect(indice);
    LisCampo->setGeometry(
        QRect(dbgRiga->viewport()->mapToGlobal(cella.topLeft()),
              QSize(std::max(cella.width(), Twip(2500)),
                    std::max(std::min(Twip(3000), dbgRiga->viewport()->height() - cella.top()), Twip(1200)))));
    const QList<QListWidgetItem*> voce = LisCampo->findItems(indice.data().toString(), Qt::MatchFixedString);
    LisCampo->setCurrentRow(voce.isEmpty() ? 0 : LisCampo->row(voce.first()));
    LisCampo->show();
    LisCampo->raise();
    LisCampo->setFocus();
}

void frmTrasform::PrendiLisCampo()
{
    const int colonna = ColonnaNomeCampo();
    if (LisCampo->currentItem() && colonna >= 0 && m_browser->Riga() > 0)
        m_browser->Modello().setData(m_browser->Modello().index(m_browser->Riga() - 1, colonna),
                                     LisCampo->currentItem()->text());
    LisCampo->hide();
    dbgRiga->setFocus();
}

bool frmTrasform::eventFilter(QObject* oggetto, QEvent* evento)
{
    if (oggetto == LisCampo) {
        if (evento->type() == QEvent::KeyPress) {
            const int tasto = static_cast<QKeyEvent*>(evento)->key();
            if (tasto == Qt::Key_Return || tasto == Qt::Key_Enter) {
                PrendiLisCampo();
                return true;
            }
            if (tasto == Qt::Key_Escape) {
                LisCampo->hide();
                dbgRiga->setFocus();
                return true;
            }
        } else if (evento->type() == QEvent::Hide && !dbgRiga->hasFocus()) {
            dbgRiga->setFocus();
        }
    } else if (oggetto == dbgRiga && evento->type() == QEvent::KeyPress && !CellaInModifica()) {
        const auto* tasto = static_cast<QKeyEvent*>(evento);
        // The cell button from the keyboard.
        const bool bottone =
            tasto->key() == Qt::Key_F4 || (tasto->key() == Qt::Key_Down && tasto->modifiers() == Qt::AltModifier);
        if (bottone && dbgRiga->currentIndex().column() == ColonnaNomeCampo()) {
            ApriLisCampo();
            return true;
        }
        if (tasto->key() == Qt::Key_Delete && tasto->modifiers() == Qt::NoModifier && m_comando.isEmpty()) {
            ButtonComando(QStringLiteral("Cancella"));
            return true;
        }
    }
    return Maschera::eventFilter(oggetto, evento);
}

void frmTrasform::closeEvent(QCloseEvent* evento)
{
    // Opened from the header editor: nothing to tell the menu.
    QWidget::closeEvent(evento);
}
