#include "BarraComandi.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QStyle>

namespace {

// What a button without a tooltip of its own does.
QString Descrizione(const QString& chiave)
{
    if (chiave == QLatin1String("Posiz"))
        return QStringLiteral("Posiziona sulla riga segnata con il Puntatore");
    return chiave;
}

// A printer, drawn: the style has none, and its diskette is "Salva"'s.
QIcon IconaStampante()
{
    QIcon icona;
    for (const int lato : {16, 24, 32}) {
        QPixmap disegno(lato, lato);
        disegno.fill(Qt::transparent);
        QPainter p(&disegno);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal u = lato / 16.0;
        p.setPen(QPen(QColor(60, 60, 60), u));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4 * u, 1.5 * u, 8 * u, 5 * u));  // the sheet going in
        p.setBrush(QColor(120, 125, 135));
        p.drawRoundedRect(QRectF(1.5 * u, 6 * u, 13 * u, 6 * u), u, u);  // the body
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4 * u, 10 * u, 8 * u, 4.5 * u));  // the sheet coming out
        p.setPen(QPen(QColor(60, 60, 60), 0.7 * u));
        p.drawLine(QPointF(5.5 * u, 12 * u), QPointF(10.5 * u, 12 * u));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(90, 200, 90));
        p.drawEllipse(QPointF(12.5 * u, 8 * u), 0.8 * u, 0.8 * u);
        p.end();
        icona.addPixmap(disegno);
    }
    return icona;
}

// A disabled button must look disabled whatever its icon's colours: grey
// and faded.
QIcon ConAspettoDisabilitato(const QIcon& icona)
{
    QIcon risultato;
    for (const int lato : {16, 24, 32}) {
        const QPixmap normale = icona.pixmap(lato, lato);
        risultato.addPixmap(normale, QIcon::Normal);
        QImage grigia = normale.toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < grigia.height(); ++y) {
            auto* riga = reinterpret_cast<QRgb*>(grigia.scanLine(y));
            for (int x = 0; x < grigia.width(); ++x) {
                const int g = 128 + qGray(riga[x]) / 3;
                riga[x] = qRgba(g, g, g, qAlpha(riga[x]) * 2 / 5);
            }
        }
        risultato.addPixmap(QPixmap::fromImage(grigia), QIcon::Disabled);
    }
    return risultato;
}

QIcon Icona(const QString& chiave)
{
    struct Voce {
        const char* chiave;
        const char* tema;  // name in the desktop's icon theme
        QStyle::StandardPixmap standard;
    };
    static const Voce voci[] = {
        {"Ricerca", "edit-find", QStyle::SP_FileDialogContentsView},
        {"Nuovo", "document-new", QStyle::SP_FileIcon},
        {"Salva", "document-save", QStyle::SP_DialogSaveButton},
        {"Cancella", "edit-delete", QStyle::SP_TrashIcon},
        {"Annulla", "edit-undo", QStyle::SP_DialogCancelButton},
        {"Duplica", "edit-copy", QStyle::SP_FileDialogNewFolder},
        {"VarKey", "document-edit", QStyle::SP_DialogResetButton},
        {"Lista", "view-list-details", QStyle::SP_FileDialogListView},
        {"ListaInd", "go-up", QStyle::SP_ArrowUp},
        {"ListaAvanti", "go-down", QStyle::SP_ArrowDown},
        {"Inizio", "go-first", QStyle::SP_MediaSkipBackward},
        {"Precedente", "go-previous", QStyle::SP_ArrowLeft},
        {"Successivo", "go-next", QStyle::SP_ArrowRight},
        {"Fine", "go-last", QStyle::SP_MediaSkipForward},
        {"AzzSel", "edit-clear", QStyle::SP_LineEditClearButton},
        {"Seleziona", "dialog-ok", QStyle::SP_DialogApplyButton},
        {"Torna", "go-previous", QStyle::SP_ArrowBack},
        {"Punta", "bookmark-new", QStyle::SP_DirLinkIcon},
        {"VaiA", "go-jump", QStyle::SP_DialogYesButton},
        {"Posiz", "go-home", QStyle::SP_DirHomeIcon},
        {"Aggiorna", "view-refresh", QStyle::SP_BrowserReload},
        {"Trova", "edit-find", QStyle::SP_FileDialogDetailedView},
        {"Stampa", "document-print", QStyle::SP_CustomBase},
        {"Anteprima", "document-print-preview", QStyle::SP_FileDialogInfoView},
        {"Verifica", "dialog-warning", QStyle::SP_MessageBoxWarning},
        {"CreaDaFile", "document-import", QStyle::SP_FileDialogStart},
        {"Chiudi", "window-close", QStyle::SP_DialogCloseButton},
        {"Menu", "go-home", QStyle::SP_DesktopIcon},
    };
    for (const Voce& v : voci)
        if (chiave == QLatin1String(v.chiave)) {
            const QIcon riserva = v.standard == QStyle::SP_CustomBase ? IconaStampante()
                                                                      : QApplication::style()->standardIcon(v.standard);
            return ConAspettoDisabilitato(QIcon::fromTheme(QLatin1String(v.tema), riserva));
        }
    return ConAspettoDisabilitato(QApplication::style()->standardIcon(QStyle::SP_CommandLink));
}

}  // namespace

const QStringList& ComandiScrittura()
{
    static const QStringList chiavi {QStringLiteral("Nuovo"), QStringLiteral("Salva"), QStringLiteral("Cancella"),
                                     QStringLiteral("Duplica"), QStringLiteral("VarKey")};
    return chiavi;
}

BarraComandi::BarraComandi(const QList<VoceComando>& voci, QWidget* parent) : QToolBar(parent)
{
    setObjectName(QStringLiteral("tolComandi"));
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(24, 24));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const VoceComando& voce : voci) {
        const QString suggerimento = voce.suggerimento.isEmpty() ? Descrizione(voce.chiave) : voce.suggerimento;
        QAction* azione = addAction(Icona(voce.chiave), suggerimento);
        azione->setObjectName(voce.chiave);
        azione->setToolTip(suggerimento);
        m_azioni.insert(voce.chiave, azione);
        // "(R) Ricerca": R is the Alt letter of the command.
        if (voce.suggerimento.size() > 2 && voce.suggerimento.at(0) == QLatin1Char('(')
            && voce.suggerimento.at(2) == QLatin1Char(')'))
            m_lettere.insert(voce.suggerimento.at(1).toUpper(), voce.chiave);
        connect(azione, &QAction::triggered, this, [this, chiave = voce.chiave] { emit Comando(chiave); });
    }
}

QAction* BarraComandi::Azione(const QString& chiave) const { return m_azioni.value(chiave); }

bool BarraComandi::Disponibile(const QString& chiave) const
{
    const QAction* azione = Azione(chiave);
    return azione && azione->isEnabled() && azione->isVisible();
}

void BarraComandi::Abilita(const QString& chiave, bool abilitato)
{
    if (QAction* azione = Azione(chiave))
        azione->setEnabled(abilitato && !Bloccato(chiave));
}

void BarraComandi::Mostra(const QString& chiave, bool visibile)
{
    if (QAction* azione = Azione(chiave))
        azione->setVisible(visibile);
}

QString BarraComandi::ChiaveDaLettera(QChar lettera) const { return m_lettere.value(lettera.toUpper()); }

void BarraComandi::Blocca(const QStringList& chiavi, const QString& motivo)
{
    for (const QString& chiave : chiavi) {
        QAction* azione = Azione(chiave);
        if (!azione)
            continue;
        m_bloccati.insert(chiave);
        azione->setEnabled(false);
        azione->setToolTip(azione->toolTip() + QStringLiteral(" - ") + motivo);
    }
}
