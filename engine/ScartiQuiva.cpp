#include "ScartiQuiva.h"

#include "DatabaseLink.h"
#include "ErroreRun.h"
#include "LettoreRighe.h"
#include "RecordsetManager.h"
#include "ScQuiva.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <algorithm>

namespace {

const QString SqlScarti = QStringLiteral("Select Riga from ErroriQuivamento Where Tabella = ?");

// The bytes of the wanted lines as the source file holds them, its first
// lines (those the definition skips), and whether the file has lines in
// Windows-1252.
struct ByteSorgente {
    QHash<QString, QByteArray> righe;
    QList<QByteArray> prime;
    bool windows1252 = false;
};

ByteSorgente LeggiSorgente(const QString& origine, const QStringList& cercate, int prime)
{
    ByteSorgente esito;
    QHash<QString, QByteArray> mancanti;
    for (const QString& riga : cercate)
        mancanti.insert(riga, {});
    try {
        LettoreRighe file(origine);
        QByteArrayView byte;
        while (file.LeggiByte(byte)) {
            const QString testo = LettoreRighe::Decodifica(byte.data(), byte.size());
            if (!esito.windows1252 && testo.toUtf8() != byte)
                esito.windows1252 = true;
            if (esito.prime.size() < prime)
                esito.prime << byte.toByteArray();
            if (mancanti.remove(testo))
                esito.righe.insert(testo, byte.toByteArray());
            if (mancanti.isEmpty() && esito.prime.size() >= prime)
                break;
        }
    } catch (const ErroreRun&) {
        // the source is gone: every line takes the default encoding
    }
    return esito;
}

// How many lines the definition skips at the start of its file.
int SaltaInizio(DatabaseLink& db, const QString& codice)
{
    RecordsetManager rs(db);
    const QString nome = rs.Apri(QStringLiteral("Select SaltaInizio from QuivaFile Where Codice = ?"), {codice});
    const int salta = rs.Vuoto(nome) ? 0 : rs.Leggi(nome, QStringLiteral("SaltaInizio")).trimmed().toInt();
    rs.Chiudi(nome);
    return std::clamp(salta, 0, 32767);
}

}  // namespace

namespace ScartiQuiva {

QString Origine(ContestoQuiva& ctx, const QString& codice)
{
    RecordsetManager rs(ctx.db);
    const QString nome = rs.Apri(QStringLiteral("Select Origine from QuivaFile Where Codice = ?"), {codice});
    const QString origine = rs.Vuoto(nome) ? QString() : rs.Leggi(nome, QStringLiteral("Origine")).trimmed();
    rs.Chiudi(nome);
    if (origine.isEmpty())
        return {};
    ScQuiva motore(ctx);
    return motore.QuivaPathCompleta(origine).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

QString PercorsoProposto(const QString& origine, const QString& codice)
{
    QString nome = codice.trimmed() + QStringLiteral("_scarti.txt");
    for (QChar& c : nome)
        if (c == u'/' || c == u'\\' || c == u':')
            c = u'_';
    if (origine.isEmpty())
        return nome;
    return QFileInfo(origine).absoluteDir().filePath(nome);
}

QStringList Righe(DatabaseLink& db, const QString& codice)
{
    RecordsetManager rs(db);
    const QString nome = rs.Apri(SqlScarti, {codice});
    QStringList righe;
    for (; !rs.Fine(nome); rs.Successivo(nome)) {
        const QString riga = rs.Leggi(nome, QStringLiteral("Riga"));
        if (righe.isEmpty() || righe.last() != riga)
            righe << riga;
    }
    rs.Chiudi(nome);
    return righe;
}

int Salva(ContestoQuiva& ctx, const QString& codice, const QString& percorso)
{
    const QStringList righe = Righe(ctx.db, codice);
    const int salta = SaltaInizio(ctx.db, codice);
    const ByteSorgente sorgente = LeggiSorgente(Origine(ctx, codice), righe, salta);

    QSaveFile file(percorso);
    if (!file.open(QIODevice::WriteOnly))
        throw ErroreRun(CodiciErrore::ErroreAccessoPercorso,
                        QStringLiteral("Impossibile scrivere il file %1: %2").arg(percorso, file.errorString()));
    // The file loads with the definition as it stands: the lines it skips
    // come first, the source's own while it has them, blank otherwise.
    for (int i = 0; i < salta; ++i) {
        if (i < sorgente.prime.size())
            file.write(sorgente.prime[i]);
        file.write("\r\n", 2);
    }
    for (const QString& riga : righe) {
        QByteArray byte = sorgente.righe.value(riga);
        if (byte.isEmpty() && !riga.isEmpty()) {
            const std::optional<QByteArray> windows =
                sorgente.windows1252 ? LettoreRighe::CodificaWindows1252(riga) : std::nullopt;
            byte = windows ? *windows : riga.toUtf8();
        }
        file.write(byte);
        file.write("\r\n", 2);
    }
    if (!file.commit())
        throw ErroreRun(CodiciErrore::ErroreAccessoPercorso,
                        QStringLiteral("Impossibile scrivere il file %1: %2").arg(percorso, file.errorString()));
    return static_cast<int>(righe.size());
}

}  // namespace ScartiQuiva
