#include "frmAiuto.h"

#include <QStringList>

#include <algorithm>
#include <iterator>

namespace PagineAiuto {
namespace {

// A page and the help contexts of the screens it explains.
struct Pagina {
    const char* argomento;
    int contesti[3];  // 0 where unused
    const char* html;
};

const Pagina Pagine[] = {
    {"indice", {}, R"(<h2>Quiva - Guida</h2>
<p>Quiva carica file di testo nelle tabelle del database della ditta secondo i tracciati
memorizzati.</p>
<ul>
<li><a href="quivamento">Quivamento dati</a></li>
<li><a href="tracciati">Gestione dei tracciati</a></li>
<li><a href="errori">Verifica degli errori</a></li>
<li><a href="batch">Selezione per il quivamento batch</a></li>
<li><a href="tastiera">Uso della tastiera</a></li>
</ul>)"},
    {"quivamento", {3700}, R"(<h2>Quivamento dati</h2>
<p>Scegliere uno o piu' tracciati e premere il pulsante di quivamento. Prima del caricamento
vengono chiesti i valori base previsti dal tracciato. Al termine viene indicato il numero di
righe scartate, che si possono esaminare nella <a href="errori">verifica degli errori</a>.</p>)"},
    {"tracciati", {3600, 3610, 3620}, R"(<h2>Gestione dei tracciati</h2>
<p>Un tracciato indica il file sorgente, fino a cinque tabelle di destinazione, la posizione
di ogni campo nella riga, le decodifiche, i controlli e le query finali.</p>)"},
    {"errori", {3750}, R"(<h2>Verifica degli errori</h2>
<p>Elenca le righe non caricate con il motivo dello scarto; si possono filtrare per tracciato
e cancellare.</p>)"},
    {"batch", {3701}, R"(<h2>Selezione per il quivamento batch</h2>
<p>Indica quali tracciati partecipano al quivamento non presidiato e quali risposte costanti
sostituiscono le domande dei valori base.</p>)"},
    {"tastiera", {}, R"(<h2>Uso della tastiera</h2>
<ul>
<li><b>F1</b>: guida dell'argomento; <b>Ctrl+F1</b>: indice; <b>Alt+F1</b>: ricerca.</li>
<li><b>Invio</b>: passa al campo successivo; <b>Maiusc+Invio</b>: al precedente. Nei campi su
piu' righe Invio va a capo finche' il testo non e' tutto selezionato.</li>
<li><b>Ctrl+Alt+F</b>: cerca nel campo; <b>Ctrl+Alt+S</b>: cerca e sostituisci;
<b>Ctrl+Alt+PagGiu/PagSu</b>: cerca ancora avanti/indietro; <b>Ctrl+Alt+\</b>: ricerca
senza distinzione fra maiuscole e minuscole, <b>Ctrl+Alt+Maiusc+\</b>: con distinzione.</li>
<li>I tasti <b>Ctrl</b> possono inserire testi predefiniti (impostazione TastiCtrl del menu).</li>
</ul>)"},
};

}  // namespace

QString ArgomentoDelContesto(int contesto)
{
    for (const Pagina& p : Pagine)
        if (contesto != 0 && std::find(std::begin(p.contesti), std::end(p.contesti), contesto) != std::end(p.contesti))
            return QString::fromLatin1(p.argomento);
    return QStringLiteral("indice");
}

QString Html(const QString& argomento)
{
    for (const Pagina& p : Pagine)
        if (argomento.compare(QLatin1String(p.argomento), Qt::CaseInsensitive) == 0)
            return QString::fromUtf8(p.html);
    return {};
}

QStringList Argomenti()
{
    QStringList argomenti;
    for (const Pagina& p : Pagine)
        argomenti << QString::fromLatin1(p.argomento);
    return argomenti;
}

}  // namespace PagineAiuto
