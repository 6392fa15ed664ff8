#include "frmAiuto.h"

#include "Tastiera.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QShortcut>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

frmAiuto::frmAiuto()
{
    setObjectName(QStringLiteral("frmAiuto"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Guida di Quiva"));
    UsaTastieraComune(*this);
    auto* layout = new QHBoxLayout(this);
    auto* sinistra = new QVBoxLayout;
    txtCerca = new QLineEdit(this);
    txtCerca->setPlaceholderText(QStringLiteral("Cerca..."));
    lstRisultati = new QListWidget(this);
    sinistra->addWidget(new QLabel(QStringLiteral("Ricerca"), this));
    sinistra->addWidget(txtCerca);
    sinistra->addWidget(lstRisultati);
    txtPagina = new QTextBrowser(this);
    txtPagina->setOpenLinks(false);
    txtPagina->setSearchPaths({PagineAiuto::Cartella()});
    layout->addLayout(sinistra, 1);
    layout->addWidget(txtPagina, 3);
    connect(txtCerca, &QLineEdit::textChanged, this, &frmAiuto::Cerca);
    connect(lstRisultati, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* voce) { MostraArgomento(voce->data(Qt::UserRole).toString()); });
    connect(lstRisultati, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* voce) { MostraArgomento(voce->data(Qt::UserRole).toString()); });
    // Links between pages; a link to anything else leaves the page as it is.
    connect(txtPagina, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        const QString argomento = PagineAiuto::Risolvi(url.hasFragment() ? url.fragment() : url.toString());
        if (!argomento.isEmpty())
            MostraArgomento(argomento);
    });
    Cerca(QString());
    // The list shows every page title whole.
    lstRisultati->setMinimumWidth(lstRisultati->sizeHintForColumn(0) + 2 * lstRisultati->frameWidth() + 8);
    // The shared keyboard swallows Escape; a window that only shows closes with it.
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
    resize(1000, 680);
}

frmAiuto* frmAiuto::Apri(int modo, int contesto)
{
    static QPointer<frmAiuto> aperto;
    if (!aperto)
        aperto = new frmAiuto;
    if (modo == 1)
        aperto->MostraArgomento(QStringLiteral("indice"));
    else if (modo == 2) {
        aperto->MostraArgomento(QStringLiteral("indice"));
        aperto->txtCerca->setFocus();
    } else
        aperto->MostraArgomento(PagineAiuto::ArgomentoDelContesto(contesto));
    aperto->show();
    aperto->raise();
    aperto->activateWindow();
    return aperto;
}

void frmAiuto::MostraArgomento(const QString& argomento)
{
    const QString trovato = PagineAiuto::Risolvi(argomento);
    m_argomento = trovato.isEmpty() ? QStringLiteral("indice") : trovato;
    txtPagina->setHtml(PagineAiuto::Html(m_argomento));
}

void frmAiuto::Cerca(const QString& testo)
{
    lstRisultati->clear();
    for (const QString& argomento : PagineAiuto::Argomenti()) {
        QTextDocument documento;
        documento.setHtml(PagineAiuto::Html(argomento));
        const QString semplice = documento.toPlainText();
        if (!testo.trimmed().isEmpty() && !semplice.contains(testo.trimmed(), Qt::CaseInsensitive))
            continue;
        auto* voce = new QListWidgetItem(semplice.section(QLatin1Char('\n'), 0, 0), lstRisultati);
        voce->setData(Qt::UserRole, argomento);
    }
}
