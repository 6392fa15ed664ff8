// The help pages are the sections of the user guide (GUIDA.md): each
// second-level heading starts a page, and a comment "<!-- aiuto 3610 -->"
// under it names the help contexts of the screens the page explains. The
// guide is read once, from the program's data folder when installed, else
// from the source tree it was built from.
#include "frmAiuto.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <QTextDocument>

namespace PagineAiuto {
namespace {

const QString Indice = QStringLiteral("indice");

struct Pagina {
    QString argomento;  // the heading's anchor
    QString titolo;
    QList<int> contesti;
    QString testo;      // Markdown
};

struct Guida {
    QList<Pagina> pagine;           // the contents first
    QHash<QString, QString> ancore;  // anchor of any heading -> its page
};

// The anchor a heading gets in rendered Markdown: lower case, letters,
// digits, "-" and "_" kept, blanks turned into "-".
QString Ancora(const QString& titolo)
{
    QString ancora;
    for (const QChar c : titolo.trimmed().toLower()) {
        if (c.isLetterOrNumber() || c == u'-' || c == u'_')
            ancora += c;
        else if (c == u' ')
            ancora += u'-';
    }
    return ancora;
}

QString PercorsoGuida()
{
    const QString installata =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/quiva/aiuto/GUIDA.md"));
    if (QFile::exists(installata))
        return installata;
#ifdef QUIVA_GUIDA_SORGENTE
    return QStringLiteral(QUIVA_GUIDA_SORGENTE);
#else
    return installata;
#endif
}

Guida Carica()
{
    Guida guida;
    QFile file(PercorsoGuida());
    if (!file.open(QIODevice::ReadOnly)) {
        guida.pagine.append({Indice, QStringLiteral("Guida di Quiva"), {},
                             QStringLiteral("# Guida di Quiva\n\nLa guida non è installata: manca il file ")
                                 + file.fileName() + QStringLiteral(".")});
        return guida;
    }
    static const QRegularExpression contesti(QStringLiteral("<!--\\s*aiuto\\s+([0-9 ]+)-->"));
    guida.pagine.append({Indice, {}, {}, {}});
    bool codice = false;  // inside a ``` block
    for (const QString& riga : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (riga.startsWith(QLatin1String("```")))
            codice = !codice;
        Pagina& corrente = guida.pagine.last();
        if (!codice && riga.startsWith(QLatin1String("## "))) {
            const QString titolo = riga.mid(3).trimmed();
            guida.pagine.append({Ancora(titolo), titolo, {}, riga + QLatin1Char('\n')});
            guida.ancore.insert(Ancora(titolo), Ancora(titolo));
            continue;
        }
        if (!codice && riga.startsWith(QLatin1String("#")) && guida.pagine.size() > 1)
            guida.ancore.insert(Ancora(riga.section(QLatin1Char(' '), 1)), corrente.argomento);
        if (!codice && guida.pagine.size() == 1 && riga.startsWith(QLatin1String("# ")))
            corrente.titolo = riga.mid(2).trimmed();
        if (const auto m = contesti.match(riga); m.hasMatch() && !codice) {
            for (const QString& n : m.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts))
                corrente.contesti << n.toInt();
            continue;
        }
        corrente.testo += riga + QLatin1Char('\n');
    }
    // The contents page: the guide's opening, then every page.
    QString elenco = QStringLiteral("\n");
    for (const Pagina& p : guida.pagine.mid(1))
        elenco += QStringLiteral("- [%1](#%2)\n").arg(p.titolo, p.argomento);
    guida.pagine.first().testo += elenco;
    return guida;
}

const Guida& LaGuida()
{
    static const Guida guida = Carica();
    return guida;
}

const Pagina* Trova(const QString& argomento)
{
    const QString chiave = argomento.startsWith(QLatin1Char('#')) ? argomento.mid(1) : argomento;
    if (chiave.compare(Indice, Qt::CaseInsensitive) == 0)
        return &LaGuida().pagine.first();
    const QString pagina = LaGuida().ancore.value(chiave.toLower());
    for (const Pagina& p : LaGuida().pagine)
        if (p.argomento == pagina)
            return &p;
    return nullptr;
}

}  // namespace

QString ArgomentoDelContesto(int contesto)
{
    for (const Pagina& p : LaGuida().pagine)
        if (contesto != 0 && p.contesti.contains(contesto))
            return p.argomento;
    return Indice;
}

QString Risolvi(const QString& collegamento)
{
    const Pagina* p = Trova(collegamento);
    return p ? p->argomento : QString();
}

QString Html(const QString& argomento)
{
    const Pagina* p = Trova(argomento);
    if (!p)
        return {};
    QTextDocument documento;
    documento.setMarkdown(p->testo);
    return documento.toHtml();
}

QStringList Argomenti()
{
    QStringList argomenti;
    for (const Pagina& p : LaGuida().pagine)
        argomenti << p.argomento;
    return argomenti;
}

QString Cartella() { return QFileInfo(PercorsoGuida()).absolutePath(); }

}  // namespace PagineAiuto
