#include "StampaLista.h"

#include "SceltaFile.h"

#include <QAction>
#include <QDate>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTableView>
#include <QTextDocument>
#include <QToolBar>

namespace StampaLista {

QString Html(const QTableView& griglia, const QString& titolo)
{
    const QAbstractItemModel* modello = griglia.model();
    QString html = QStringLiteral("<h3>") + titolo.toHtmlEscaped() + QStringLiteral("</h3><p>")
        + QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"))
        + QStringLiteral("</p><table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"><tr>");
    QList<int> colonne;
    for (int c = 0; c < modello->columnCount(); ++c)
        if (!griglia.isColumnHidden(c)) {
            colonne << c;
            html += QStringLiteral("<th align=\"left\">")
                + modello->headerData(c, Qt::Horizontal).toString().toHtmlEscaped() + QStringLiteral("</th>");
        }
    html += QStringLiteral("</tr>");
    for (int r = 0; r < modello->rowCount(); ++r) {
        html += QStringLiteral("<tr>");
        for (int c : colonne)
            html += QStringLiteral("<td>") + modello->index(r, c).data().toString().toHtmlEscaped()
                + QStringLiteral("</td>");
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

void Stampa(const QTableView& griglia, const QString& titolo, QPrinter& stampante)
{
    QTextDocument documento;
    documento.setHtml(Html(griglia, titolo));
    documento.print(&stampante);
}

bool SuPdf(const QTableView& griglia, const QString& titolo, const QString& percorso)
{
    QPrinter stampante(QPrinter::HighResolution);
    stampante.setOutputFormat(QPrinter::PdfFormat);
    stampante.setOutputFileName(percorso);
    Stampa(griglia, titolo, stampante);
    const QFileInfo file(percorso);
    return file.exists() && file.size() > 0;
}

void Anteprima(QTableView& griglia, const QString& titolo, FinestraMessaggi& messaggi)
{
    QPrinter stampante(QPrinter::HighResolution);
    QPrintPreviewDialog anteprima(&stampante, griglia.window());
    anteprima.setWindowTitle(QStringLiteral("Anteprima di stampa - ") + titolo);
    QObject::connect(&anteprima, &QPrintPreviewDialog::paintRequested, &anteprima,
                     [&](QPrinter* p) { Stampa(griglia, titolo, *p); });
    if (auto* barra = anteprima.findChild<QToolBar*>()) {
        QAction* pdf = barra->addAction(QStringLiteral("Salva PDF"));
        pdf->setObjectName(QStringLiteral("SalvaPdf"));
        QObject::connect(pdf, &QAction::triggered, &anteprima, [&] {
            const QString percorso =
                ScegliFile(&anteprima, ModoScelta::Salva, QStringLiteral("Salva come PDF"),
                           titolo + QStringLiteral(".pdf"), QStringLiteral("PDF (*.pdf)"), messaggi);
            if (!percorso.isEmpty())
                SuPdf(griglia, titolo, percorso);
        });
    }
    anteprima.resize(900, 700);
    anteprima.exec();
}

}  // namespace StampaLista
