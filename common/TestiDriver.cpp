#include "TestiDriver.h"

#include <QRegularExpression>

namespace {

struct Traduzione {
    QRegularExpression modello;  // the driver's text; group 1 names the object, when there is one
    QString italiano;
};

const std::vector<Traduzione>& Traduzioni()
{
    static const auto opzioni = QRegularExpression::CaseInsensitiveOption;
    static const std::vector<Traduzione> elenco {
        {QRegularExpression(QStringLiteral("no such table: ([^\\s]+)"), opzioni),
         QStringLiteral("Tabella inesistente: %1")},
        {QRegularExpression(QStringLiteral("relation \"([^\"]+)\" does not exist"), opzioni),
         QStringLiteral("Tabella inesistente: %1")},
        {QRegularExpression(QStringLiteral("no such column: ([^\\s]+)"), opzioni),
         QStringLiteral("Colonna inesistente: %1")},
        {QRegularExpression(QStringLiteral("has no column named ([^\\s]+)"), opzioni),
         QStringLiteral("Colonna inesistente: %1")},
        {QRegularExpression(QStringLiteral("column \"([^\"]+)\" (?:of relation \"[^\"]+\" )?does not exist"), opzioni),
         QStringLiteral("Colonna inesistente: %1")},
        {QRegularExpression(QStringLiteral("no such function: ([^\\s]+)"), opzioni),
         QStringLiteral("Funzione inesistente: %1")},
        {QRegularExpression(QStringLiteral("function ([^\\s(]+)\\(.*does not exist"), opzioni),
         QStringLiteral("Funzione inesistente: %1")},
        {QRegularExpression(QStringLiteral("near \"([^\"]*)\": syntax error"), opzioni),
         QStringLiteral("Errore di sintassi vicino a \"%1\"")},
        {QRegularExpression(QStringLiteral("syntax error at or near \"([^\"]*)\""), opzioni),
         QStringLiteral("Errore di sintassi vicino a \"%1\"")},
        {QRegularExpression(QStringLiteral("syntax error"), opzioni), QStringLiteral("Errore di sintassi")},
        {QRegularExpression(QStringLiteral("incomplete input"), opzioni),
         QStringLiteral("Errore di sintassi: istruzione incompleta")},
        {QRegularExpression(QStringLiteral("readonly database|read-only"), opzioni),
         QStringLiteral("Il database della ditta è in sola lettura: nessun dato può essere scritto")},
        {QRegularExpression(QStringLiteral("file is not a database|not a database|file is encrypted"), opzioni),
         QStringLiteral("Il file non è un database della ditta")},
        {QRegularExpression(QStringLiteral("unable to open database file"), opzioni),
         QStringLiteral("Impossibile aprire il file del database")},
        {QRegularExpression(QStringLiteral("parameter count mismatch"), opzioni),
         QStringLiteral("Istruzione non eseguibile su questo database")},
        {QRegularExpression(QStringLiteral("NOT NULL constraint failed: ([^\\s]+)"), opzioni),
         QStringLiteral("Valore obbligatorio mancante: %1")},
        {QRegularExpression(QStringLiteral("null value in column \"([^\"]+)\""), opzioni),
         QStringLiteral("Valore obbligatorio mancante: %1")},
        {QRegularExpression(QStringLiteral("FOREIGN KEY constraint failed|violates foreign key"), opzioni),
         QStringLiteral("Riferimento a un dato inesistente in un'altra tabella")},
        {QRegularExpression(QStringLiteral("CHECK constraint failed|violates check constraint"), opzioni),
         QStringLiteral("Valore non ammesso da un controllo della tabella")},
        {QRegularExpression(QStringLiteral("datatype mismatch|invalid input syntax"), opzioni),
         QStringLiteral("Tipo di dato non corrispondente")},
        {QRegularExpression(QStringLiteral("permission denied"), opzioni),
         QStringLiteral("Permesso negato dal database")},
        {QRegularExpression(
             QStringLiteral("connection lost|server closed the connection|no connection to the server|"
                            "could not connect|connection refused|terminating connection|communication link failure"),
             opzioni),
         QStringLiteral("Connessione al server perduta")},
        {QRegularExpression(QStringLiteral("data source name not found"), opzioni),
         QStringLiteral("Origine dati inesistente")},
        {QRegularExpression(QStringLiteral("password authentication failed"), opzioni),
         QStringLiteral("Utente o password del server non validi")},
    };
    return elenco;
}

}  // namespace

QString TestoDriverItaliano(const QString& testo)
{
    for (const Traduzione& t : Traduzioni()) {
        const QRegularExpressionMatch m = t.modello.match(testo);
        if (!m.hasMatch())
            continue;
        const QString italiano = t.modello.captureCount() > 0 ? t.italiano.arg(m.captured(1)) : t.italiano;
        return italiano + QStringLiteral(" (") + testo + QLatin1Char(')');
    }
    return testo;
}

QString NomiComeScritti(const QString& testo, const QString& istruzione)
{
    static const QRegularExpression inesistente(QStringLiteral("inesistente: ([^\\s()]+)"));
    QString risultato = testo;
    for (const QRegularExpressionMatch& m : inesistente.globalMatch(testo)) {
        const QRegularExpression parola(QStringLiteral("\\b") + QRegularExpression::escape(m.captured(1))
                                            + QStringLiteral("\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch scritto = parola.match(istruzione);
        if (scritto.hasMatch())
            risultato.replace(m.capturedStart(1), m.capturedLength(1), scritto.captured(0));
    }
    return risultato;
}
