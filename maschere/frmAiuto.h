#pragma once
// The help viewer: the program's help pages, opened at the topic of a help
// context, at the contents, or at the search.
#include <QWidget>

class QLineEdit;
class QListWidget;
class QTextBrowser;

class frmAiuto : public QWidget {
    Q_OBJECT
public:
    frmAiuto();
    // modo 0: topic of the context (contents when unknown), 1 contents,
    // 2 search. Reuses the one open viewer.
    static frmAiuto* Apri(int modo, int contesto);

    void MostraArgomento(const QString& argomento);
    void Cerca(const QString& testo);
    QString ArgomentoCorrente() const { return m_argomento; }

    QTextBrowser* txtPagina;
    QLineEdit* txtCerca;
    QListWidget* lstRisultati;

private:
    QString m_argomento;
};

// Help pages: topic name for a context number, the topic a link or an
// anchor leads to (empty when none), HTML of a topic.
namespace PagineAiuto {
QString ArgomentoDelContesto(int contesto);
QString Risolvi(const QString& collegamento);
QString Html(const QString& argomento);
QStringList Argomenti();
// The guide's folder, where its pictures are.
QString Cartella();
}  // namespace PagineAiuto
