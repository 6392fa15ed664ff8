#include "FileIni.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringList>

#include <ini.h>

#include <vector>

namespace {

// The parser only sees sections and key names: every value is moved aside
// and replaced by its index, so that long values, ";" inside values and
// indented lines keep the classic INI meaning.
struct Lettura {
    std::vector<QString> valori;
    QHash<QString, QString>* destinazione = nullptr;
};

QString Decodifica(const QByteArray& byte)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString testo = utf8(byte);
    if (!utf8.hasError())
        return testo;
    return QString::fromLatin1(byte);  // files written by older tools
}

QString TogliVirgolette(QString valore)
{
    if (valore.size() >= 2 && valore.startsWith(QLatin1Char('"')) && valore.endsWith(QLatin1Char('"')))
        return valore.mid(1, valore.size() - 2);
    return valore;
}

int Gestore(void* utente, const char* sezione, const char* chiave, const char* valore)
{
    auto* lettura = static_cast<Lettura*>(utente);
    bool ok = false;
    const qsizetype indice = QByteArray(valore).toLongLong(&ok);
    if (!ok || indice < 0 || indice >= static_cast<qsizetype>(lettura->valori.size()))
        return 1;
    const QString nome = QString::fromUtf8(sezione).toLower() + QChar(0x1F) + QString::fromUtf8(chiave).toLower();
    if (!lettura->destinazione->contains(nome))
        lettura->destinazione->insert(nome, lettura->valori[static_cast<size_t>(indice)]);
    return 1;
}

}  // namespace

QString FileIni::Chiave(const QString& sezione, const QString& chiave)
{
    return sezione.trimmed().toLower() + QChar(0x1F) + chiave.trimmed().toLower();
}

FileIni FileIni::Leggi(const QString& percorso)
{
    QFile file(percorso);
    if (percorso.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    return DaTesto(file.readAll());
}

FileIni FileIni::DaTesto(const QByteArray& contenuto)
{
    FileIni ini;
    ini.m_esiste = true;
    Lettura lettura;
    lettura.destinazione = &ini.m_valori;

    QString testo = Decodifica(contenuto);
    if (testo.startsWith(QChar(0xFEFF)))
        testo.remove(0, 1);
    QByteArray semplificato;
    const QStringList righe = testo.split(QLatin1Char('\n'));
    for (QString riga : righe) {
        riga = riga.trimmed();  // also drops the CR of CRLF files
        if (riga.isEmpty() || riga.startsWith(QLatin1Char(';')) || riga.startsWith(QLatin1Char('#')))
            continue;
        if (riga.startsWith(QLatin1Char('['))) {
            const qsizetype fine = riga.indexOf(QLatin1Char(']'));
            semplificato += (fine > 0 ? riga.left(fine + 1) : riga).toUtf8() + '\n';
            continue;
        }
        const qsizetype uguale = riga.indexOf(QLatin1Char('='));
        if (uguale <= 0)
            continue;  // a line without a key is ignored
        QString chiave = riga.left(uguale).trimmed();
        if (chiave.size() > 150)
            continue;
        lettura.valori.push_back(TogliVirgolette(riga.mid(uguale + 1).trimmed()));
        semplificato += chiave.toUtf8() + '=' + QByteArray::number(qsizetype(lettura.valori.size() - 1)) + '\n';
    }
    ini_parse_string(semplificato.constData(), Gestore, &lettura);
    return ini;
}

std::optional<QString> FileIni::Valore(const QString& sezione, const QString& chiave) const
{
    auto trovato = m_valori.constFind(Chiave(sezione, chiave));
    if (trovato == m_valori.cend())
        return std::nullopt;
    return *trovato;
}

namespace FormUtility {

QString LeggiIni(const QString& file, const QString& sezione, const QString& chiave, const QString& predefinito,
                 bool* trovato, int buffer)
{
    const auto valore = FileIni::Leggi(file).Valore(sezione, chiave);
    if (trovato)
        *trovato = valore.has_value();
    QString risultato = valore.value_or(predefinito);
    if (buffer > 0 && risultato.size() > buffer - 1)
        risultato.truncate(buffer - 1);
    return risultato;
}

}  // namespace FormUtility
