#include "TastiPagina.h"

#include "BarraComandi.h"
#include "Tastiera.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

QString PaginaComandi::TastoPremuto(int codice) const
{
    const BarraComandi* barra = Barra();
    if (!barra)
        return {};
    QChar lettera;
    if ((codice >= Qt::Key_A && codice <= Qt::Key_Z) || (codice >= Qt::Key_0 && codice <= Qt::Key_9))
        lettera = QChar(codice);
    else if (codice == Qt::Key_Plus)
        lettera = QLatin1Char('+');
    else if (codice == Qt::Key_Minus)
        lettera = QLatin1Char('-');
    return lettera.isNull() ? QString() : barra->ChiaveDaLettera(lettera);
}

namespace {

bool EseguiSeDisponibile(PaginaComandi& pagina, const QString& chiave)
{
    if (chiave.isEmpty() || !pagina.Barra() || !pagina.Barra()->Disponibile(chiave))
        return false;
    pagina.EseguiComando(chiave);
    return true;
}

void F10(PaginaComandi& pagina)
{
    const int prima = pagina.oiFlagOpe();
    if (prima == 0) {
        EseguiSeDisponibile(pagina, QStringLiteral("Ricerca"));
        return;
    }
    EseguiSeDisponibile(pagina, QStringLiteral("Salva"));
    const int dopo = pagina.oiFlagOpe();
    if ((prima == 1 || (prima == 2 && dopo == 1)) && pagina.VarDati().isEmpty() && pagina.ricercaDopoSalva)
        EseguiSeDisponibile(pagina, QStringLiteral("Ricerca"));
}

}  // namespace

bool GestTastiPagina(const QKeyEvent& tasto, QWidget* attivo, PaginaComandi& pagina)
{
    const int k = tasto.key();
    const auto modificatori = tasto.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    // "+" and the like need Shift on many keyboards: Alt+Shift+"+" is Alt+"+".
    const bool segno = k == Qt::Key_Plus || k == Qt::Key_Minus;
    if (modificatori == Qt::AltModifier || (segno && modificatori == (Qt::AltModifier | Qt::ShiftModifier))) {
        const char* comando = k == Qt::Key_PageUp ? "Precedente"
            : k == Qt::Key_PageDown               ? "Successivo"
            : k == Qt::Key_Home                   ? "Inizio"
            : k == Qt::Key_End                    ? "Fine"
                                                  : nullptr;
        if (comando) {
            EseguiSeDisponibile(pagina, QLatin1String(comando));
            return true;
        }
        if (pagina.Tipo() == TipoPagina::Lista && (k == Qt::Key_Up || k == Qt::Key_Down)) {
            pagina.EseguiComando(k == Qt::Key_Up ? QStringLiteral("Precedente") : QStringLiteral("Successiva"));
            return true;
        }
        const QString chiave = pagina.TastoPremuto(k);
        if (chiave.isEmpty())
            return TastoAltDaIgnorare(tasto);
        EseguiSeDisponibile(pagina, chiave);  // nothing when disabled or hidden
        return true;
    }
    if (modificatori == (Qt::AltModifier | Qt::ShiftModifier))
        return TastoAltDaIgnorare(tasto);
    if (modificatori == Qt::NoModifier && k == Qt::Key_F10) {
        F10(pagina);
        return true;
    }
    if (modificatori == Qt::NoModifier && pagina.Tipo() == TipoPagina::Righe && pagina.GrigliaAttiva(attivo)) {
        const char* comando = k == Qt::Key_PageUp ? "PageUp"
            : k == Qt::Key_PageDown               ? "PageDown"
            : k == Qt::Key_Up                     ? "Precedente"
            : k == Qt::Key_Down                   ? "Successiva"
                                                  : nullptr;
        if (comando) {
            pagina.EseguiComando(QLatin1String(comando));
            return true;
        }
    }
    return false;
}

namespace {

class FiltroTastiPagina : public QObject {
public:
    FiltroTastiPagina(QWidget& schermo, PaginaComandi& pagina) : QObject(&schermo), m_schermo(schermo), m_pagina(pagina)
    {
    }

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override
    {
        if (evento->type() == QEvent::ChildAdded) {
            auto* figlio = static_cast<QChildEvent*>(evento)->child();
            if (figlio->isWidgetType())
                Osserva(static_cast<QWidget*>(figlio));
            return false;
        }
        if (evento->type() != QEvent::KeyPress)
            return false;
        // Only the first receiver: the focused control, or the screen itself;
        // and only in this screen's window, not in a window opened over it
        // (its controls are children of this screen too).
        QWidget* fuoco = QApplication::focusWidget();
        if (fuoco ? oggetto != fuoco : oggetto != &m_schermo)
            return false;
        if (static_cast<QWidget*>(oggetto)->window() != m_schermo.window())
            return false;
        return GestTastiPagina(*static_cast<QKeyEvent*>(evento), fuoco, m_pagina);
    }

public:
    void Osserva(QWidget* w)
    {
        w->installEventFilter(this);
        for (QWidget* figlio : w->findChildren<QWidget*>())
            figlio->installEventFilter(this);
    }

private:
    QWidget& m_schermo;
    PaginaComandi& m_pagina;
};

}  // namespace

void InstallaTastiPagina(QWidget& schermo, PaginaComandi& pagina)
{
    MarcaTastiPagina(schermo);
    auto* filtro = new FiltroTastiPagina(schermo, pagina);
    filtro->Osserva(&schermo);
}
