#include "Tastiera.h"

#include "FinestraMessaggi.h"
#include "FormUtility.h"
#include "ImpostazioniGenerali.h"
#include "Maschera.h"
#include "MenuServer.h"
#include "OspiteMaschere.h"
#include "RichiestaTesto.h"
#include "frmAiuto.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

StatoTastiera& StatoTastiera::Programma()
{
    static StatoTastiera stato;
    return stato;
}

ServiziTastiera ServiziTastiera::DelProgramma()
{
    const OspiteMaschere* ospite = OspiteMaschere::Corrente();
    ServiziTastiera s = ospite ? ospite->Tastiera() : ServiziTastiera {};
    s.apriAiuto = [](int modo, int contesto) { frmAiuto::Apri(modo, contesto); };
    return s;
}

namespace {

// Keys of the numeric keypad: digits 96-105, then * + (separator) - . /
int CodiceTastierino(int k)
{
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return CodiciTasto::ZeroTastierino + (k - Qt::Key_0);
    switch (k) {
    case Qt::Key_Asterisk: return 106;
    case Qt::Key_Plus: return 107;
    case Qt::Key_Minus: return 109;
    case Qt::Key_Period:
    case Qt::Key_Comma: return CodiciTasto::DecimaleTastierino;
    case Qt::Key_Slash: return 111;
    default: return 0;
    }
}

}  // namespace

int CodiceTasto(const QKeyEvent& evento)
{
    const int k = evento.key();
    if (evento.modifiers() & Qt::KeypadModifier)
        if (const int codice = CodiceTastierino(k))
            return codice;
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24)
        return CodiciTasto::F1 + (k - Qt::Key_F1);
    switch (k) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return CodiciTasto::Invio;
    case Qt::Key_Shift: return CodiciTasto::Maiuscole;
    case Qt::Key_Control: return CodiciTasto::Ctrl;
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return CodiciTasto::Alt;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return CodiciTasto::Esc;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return CodiciTasto::PagSu;
    case Qt::Key_PageDown: return CodiciTasto::PagGiu;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Print: return 44;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Meta: return 91;
    case Qt::Key_Menu: return 93;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    // The backslash key gives "|" with Shift: it is still the same key.
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return CodiciTasto::BarraRovescia;
    default: break;
    }
    // Printable keys keep their character's code (letters as capitals).
    return k > 0 && k < 0x100 ? k : 0;
}

bool SoloModificatore(const QKeyEvent& evento)
{
    switch (evento.key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R: return true;
    default: return false;
    }
}

int StatoShift(const QKeyEvent& evento)
{
    const auto m = evento.modifiers();
    return (m & Qt::ShiftModifier ? 1 : 0) + (m & Qt::ControlModifier ? 2 : 0) + (m & Qt::AltModifier ? 4 : 0);
}

int FiltraTasto(int carattere, const StatoTastiera& stato, const QString& tastierinoVirgola)
{
    if (carattere == '.' && tastierinoVirgola.trimmed().compare(QLatin1String("S"), Qt::CaseInsensitive) == 0
        && stato.ultimoTasto == CodiciTasto::DecimaleTastierino && stato.ultimoShift == 0)
        return ',';
    if ((carattere == CodiciTasto::Invio && !stato.invioNelCampo) || carattere == CodiciTasto::Esc)
        return 0;
    return carattere;
}

namespace {

// A text field seen the same way whatever its kind.
struct CampoTesto {
    QLineEdit* riga = nullptr;
    QPlainTextEdit* semplice = nullptr;
    QTextEdit* ricco = nullptr;

    explicit CampoTesto(QWidget* w)
    {
        if (auto* combo = qobject_cast<QComboBox*>(w))
            riga = combo->lineEdit();
        else
            riga = qobject_cast<QLineEdit*>(w);
        semplice = qobject_cast<QPlainTextEdit*>(w);
        ricco = qobject_cast<QTextEdit*>(w);
    }
    bool Valido() const { return riga || semplice || ricco; }
    bool Multiriga() const { return semplice || ricco; }
    QString Testo() const
    {
        return riga ? riga->text() : semplice ? semplice->toPlainText() : ricco ? ricco->toPlainText() : QString();
    }
    QTextCursor Cursore() const { return semplice ? semplice->textCursor() : ricco->textCursor(); }
    int Inizio() const
    {
        if (riga)
            return riga->hasSelectedText() ? riga->selectionStart() : riga->cursorPosition();
        return Cursore().selectionStart();
    }
    int Lunghezza() const
    {
        if (riga)
            return riga->hasSelectedText() ? static_cast<int>(riga->selectedText().size()) : 0;
        const QTextCursor c = Cursore();
        return c.selectionEnd() - c.selectionStart();
    }
    QString Selezione() const { return Testo().mid(Inizio(), Lunghezza()); }
    void Seleziona(int inizio, int lunghezza)
    {
        if (riga) {
            riga->setSelection(inizio, lunghezza);
            return;
        }
        QTextCursor c = Cursore();
        c.setPosition(inizio);
        c.setPosition(inizio + lunghezza, QTextCursor::KeepAnchor);
        semplice ? semplice->setTextCursor(c) : ricco->setTextCursor(c);
    }
    void SostituisciSelezione(const QString& testo)
    {
        if (riga) {
            riga->insert(testo);
            return;
        }
        QTextCursor c = Cursore();
        c.insertText(testo);
        semplice ? semplice->setTextCursor(c) : ricco->setTextCursor(c);
    }
    void ImpostaTesto(const QString& testo)
    {
        if (riga)
            riga->setText(testo);
        else if (semplice)
            semplice->setPlainText(testo);
        else
            ricco->setPlainText(testo);
    }
};

Qt::CaseSensitivity Confronto(const StatoTastiera& stato)
{
    return stato.modoConfronto == 0 ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

// Searches from the selection: backwards the last occurrence starting before
// it; forwards the first one after its start (from the caret itself when
// nothing is selected, so that a match at the caret is found).
void PassoRicerca(CampoTesto& campo, bool indietro, StatoTastiera& stato, const ServiziTastiera& servizi)
{
    const QString testo = campo.Testo();
    const int inizio = campo.Inizio();
    qsizetype trovato = -1;
    if (indietro) {
        if (inizio > 0)
            trovato = testo.lastIndexOf(stato.ultimaRicerca, inizio - 1, Confronto(stato));
    } else {
        const int da = campo.Lunghezza() > 0 ? inizio + 1 : inizio;
        trovato = testo.indexOf(stato.ultimaRicerca, da, Confronto(stato));
    }
    if (trovato >= 0)
        campo.Seleziona(static_cast<int>(trovato), static_cast<int>(stato.ultimaRicerca.size()));
    else if (servizi.messaggi)
        servizi.messaggi->msgCom(QStringLiteral("Testo non trovato"), {QStringLiteral("&Ok")});
}

void PassoSostituzione(CampoTesto& campo, const StatoTastiera& stato)
{
    if (stato.ultimaRicerca.isEmpty() || campo.Selezione().compare(stato.ultimaRicerca, Confronto(stato)) != 0)
        return;
    const int inizio = campo.Inizio();
    campo.SostituisciSelezione(stato.ultimaSostituzione);
    campo.Seleziona(inizio, static_cast<int>(stato.ultimaSostituzione.size()));
}

bool TrovaSostituisci(int k, int s, CampoTesto& campo, StatoTastiera& stato, const ServiziTastiera& servizi)
{
    if (k == CodiciTasto::BarraRovescia) {
        stato.modoConfronto = s == 7 ? 0 : 1;
        return true;
    }
    const bool indietro = k == CodiciTasto::PagSu || (k != CodiciTasto::PagGiu && s == 7);
    if (k == 'F' || k == 'S') {
        if (!servizi.domande)
            return true;
        const QString cerca =
            servizi.domande->Chiedi(QStringLiteral("Stringa da cercare"), QString(), stato.ultimaRicerca)
                .value_or(QString());
        if (cerca.isEmpty())
            return true;
        stato.ultimaRicerca = cerca;
        if (k == 'S') {
            const QString sostituisci =
                servizi.domande->Chiedi(QStringLiteral("Sostituire con"), QString(), stato.ultimaSostituzione)
                    .value_or(QString());
            if (sostituisci.isEmpty())
                return true;
            stato.ultimaSostituzione = sostituisci;
        }
    } else if (s != 7 && k != CodiciTasto::PagSu && k != CodiciTasto::PagGiu) {
        return false;  // other Ctrl+Alt keys are left to the field
    }
    if (stato.ultimaRicerca.isEmpty())
        return true;
    if (k == 'S' || (s == 7 && k != 'F'))
        PassoSostituzione(campo, stato);
    PassoRicerca(campo, indietro, stato, servizi);
    return true;
}

}  // namespace

bool GestTastiMaschera(int& codice, int shift, QWidget* attivo, int contestoHelp, StatoTastiera& stato,
                       const ServiziTastiera& servizi)
{
    const int k = codice;
    const int s = shift;
    if (k == CodiciTasto::F1) {
        if (!servizi.fileHelp.isEmpty() && servizi.apriAiuto) {
            int contesto = contestoHelp;
            if (attivo && attivo->property("helpContext").isValid())
                contesto = attivo->property("helpContext").toInt();
            servizi.apriAiuto(s == 2 ? 1 : s == 4 ? 2 : 0, contesto);
        }
        codice = 0;
        return true;
    }
    stato.ultimoTasto = k;
    stato.ultimoShift = s;

    if ((s == 2 || s == 3) && servizi.menu && k > 0) {
        const int macro = s == 2 ? k : -k;
        QString testo;
        try {
            testo = servizi.menu->ImpostazioneUtente(QStringLiteral("TastiCtrl"), QStringLiteral("Tutti"),
                                                     {QString::number(macro)});
        } catch (const std::exception&) {
            testo.clear();  // no menu, no macros
        }
        if (testo.trimmed() == QLatin1String("1")) {
            codice = 0;
            return true;
        }
        if (testo.startsWith(QLatin1Char('D'), Qt::CaseInsensitive)
            || testo.startsWith(QLatin1Char('N'), Qt::CaseInsensitive)) {
            CampoTesto campo(attivo);
            if (campo.Valido()) {
                const QString inserito = testo.mid(1).trimmed();
                if (campo.Multiriga())
                    campo.SostituisciSelezione(inserito);
                else
                    campo.ImpostaTesto(inserito);
                attivo->setFocus();
            }
            codice = 0;
            return true;
        }
    }

    if (s == 6 || s == 7) {
        CampoTesto campo(attivo);
        if (campo.Valido() && TrovaSostituisci(k, s, campo, stato, servizi)) {
            codice = 0;
            return true;
        }
    }

    if (k == CodiciTasto::Invio && s < 2) {
        CampoTesto campo(attivo);
        if (campo.Multiriga() && campo.Lunghezza() != static_cast<int>(campo.Testo().size())) {
            stato.invioNelCampo = true;
            return false;
        }
        SpostaFuoco(1, s, attivo);
        stato.invioNelCampo = false;
        codice = 0;
        return true;
    }
    return false;
}

void SpostaFuoco(int passo, int shift, QWidget* attivo)
{
    if (shift == 1)
        passo = -passo;
    QWidget* corrente = attivo ? attivo : QApplication::focusWidget();
    if (!corrente)
        return;
    QWidget* finestra = corrente->window();
    QWidget* w = corrente;
    for (int giri = 0; giri < 1000; ++giri) {
        w = passo > 0 ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == corrente)
            return;
        if (w->window() == finestra && w->isVisibleTo(finestra) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)
            && !w->focusProxy()) {
            w->setFocus(passo > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            // A move by the keyboard: the control shows its focus mark, as after Tab.
            finestra->setAttribute(Qt::WA_KeyboardFocusChange);
            w->update();
            return;
        }
    }
}

void SelezionaTesto(QWidget* campo)
{
    CampoTesto c(campo);
    if (c.Valido())
        c.Seleziona(0, static_cast<int>(c.Testo().size()));
}

namespace {

const char* const ProprietaTastiera = "tastieraComune";

// A text field takes "ColBackGotFocus" as its background while it has the
// focus and "ColBacklostFocus" without it (a system colour: its own).
void ColoreFuoco(QWidget* campo, bool fuoco)
{
    const OspiteMaschere* ospite = OspiteMaschere::Corrente();
    if (!ospite || !campo || !TastieraComune(campo->window()) || !CampoTesto(campo).Valido())
        return;
    const std::uint32_t colore = fuoco ? ospite->Generali().colBackGotFocus : ospite->Generali().colBackLostFocus;
    QPalette tavolozza = campo->palette();
    if (colore & 0x80000000u)
        tavolozza.setColor(QPalette::Base, QApplication::palette(campo).color(QPalette::Base));
    else
        tavolozza.setColor(QPalette::Base,
                           QColor(static_cast<int>(colore & 0xFF), static_cast<int>((colore >> 8) & 0xFF),
                                  static_cast<int>((colore >> 16) & 0xFF)));
    campo->setPalette(tavolozza);
}

// The focus is in a grid whose cells take typing (the grid or a cell's editor).
bool GrigliaModificabile(QWidget* fuoco, const QWidget* finestra)
{
    for (QWidget* w = fuoco; w && w != finestra; w = w->parentWidget())
        if (auto* griglia = qobject_cast<QAbstractItemView*>(w))
            return griglia->editTriggers() != QAbstractItemView::NoEditTriggers;
    return false;
}

class FiltroTastiera : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override
    {
        if (evento->type() == QEvent::FocusIn || evento->type() == QEvent::FocusOut) {
            ColoreFuoco(qobject_cast<QWidget*>(oggetto), evento->type() == QEvent::FocusIn);
            return false;
        }
        if (evento->type() != QEvent::KeyPress)
            return false;
        auto* w = qobject_cast<QWidget*>(oggetto);
        // Only the first receiver: the focused control, or the window itself.
        QWidget* fuoco = QApplication::focusWidget();
        if (!w || (fuoco ? w != fuoco : !w->isWindow()))
            return false;
        QWidget* finestra = w->window();
        if (!TastieraComune(finestra))
            return false;
        auto* tasto = static_cast<QKeyEvent*>(evento);
        if (SoloModificatore(*tasto))
            return false;
        // Enter on a button presses it, as a user expects.
        const bool invio = (tasto->key() == Qt::Key_Return || tasto->key() == Qt::Key_Enter) && StatoShift(*tasto) < 2;
        if (invio)
            if (auto* pulsante = qobject_cast<QAbstractButton*>(fuoco)) {
                pulsante->click();
                return true;
            }
        // Enter in an editable grid stores the cell being typed and stays on
        // it: moving the focus on would leave the grid's current cell behind.
        if (invio && GrigliaModificabile(fuoco, finestra)) {
            if (qobject_cast<QAbstractItemView*>(fuoco))
                return true;  // no cell being typed: nothing to do
            return false;     // the cell's editor stores it and closes
        }
        StatoTastiera& stato = StatoTastiera::Programma();
        const ServiziTastiera servizi = ServiziTastiera::DelProgramma();
        const auto* maschera = qobject_cast<const Maschera*>(finestra);
        const int contesto = maschera ? maschera->helpContext : finestra->property("helpContext").toInt();
        int codice = CodiceTasto(*tasto);
        if (GestTastiMaschera(codice, StatoShift(*tasto), fuoco, contesto, stato, servizi))
            return true;
        if (TastoAltDaIgnorare(*tasto) && !finestra->property("tastiPagina").toBool())
            return true;
        const QString testo = tasto->text();
        if (testo.size() != 1)
            return false;
        int carattere = testo.at(0).unicode();
        if (tasto->key() == Qt::Key_Return || tasto->key() == Qt::Key_Enter)
            carattere = CodiciTasto::Invio;
        const int filtrato = FiltraTasto(carattere, stato, servizi.tastierinoVirgola);
        if (filtrato == 0)
            return true;
        if (filtrato != carattere) {
            QKeyEvent nuovo(QEvent::KeyPress, Qt::Key_Comma, Qt::NoModifier, QString(QChar(filtrato)));
            QApplication::sendEvent(oggetto, &nuovo);
            return true;
        }
        return false;
    }
};

}  // namespace

void UsaTastieraComune(QWidget& finestra, int contestoHelp)
{
    static FiltroTastiera* filtro = nullptr;
    finestra.setProperty(ProprietaTastiera, true);
    if (contestoHelp != 0)
        finestra.setProperty("helpContext", contestoHelp);
    if (filtro || !qApp)
        return;
    filtro = new FiltroTastiera(qApp);
    qApp->installEventFilter(filtro);
}

bool TastoAltDaIgnorare(const QKeyEvent& tasto)
{
    const auto modificatori = tasto.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (!(modificatori & Qt::AltModifier) || (modificatori & Qt::ControlModifier))
        return false;
    const QString testo = tasto.text();
    return !testo.isEmpty() && testo.at(0).isPrint();
}

void MarcaTastiPagina(QWidget& finestra) { finestra.setProperty("tastiPagina", true); }

bool TastieraComune(const QWidget* finestra) { return finestra && finestra->property(ProprietaTastiera).toBool(); }
