#include "FormatoDefinizione.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace FormatoDefinizione {
namespace {

const QStringList SiNo {QStringLiteral("S"), QStringLiteral("N")};

Colonna DiTesto(const char* nome, QStringList ammessi = {}, int massimo = 0)
{
    return {nome, Genere::Testo, std::move(ammessi), massimo};
}

Colonna DiNumero(const char* nome)
{
    return {nome, Genere::Intero, {}, 0};
}

// Header: what the file is, then where it goes, then what runs at the end.
const std::vector<Colonna> File = [] {
    std::vector<Colonna> c {DiTesto("Descrizione"),
                            DiTesto("Tipo", {}, 1),
                            DiTesto("Origine"),
                            DiTesto("Separatore"),
                            DiNumero("SaltaInizio"),
                            DiTesto("Modalita", {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")}),
                            DiTesto("InsVaria", {QStringLiteral("I"), QStringLiteral("V")}),
                            DiTesto("Tabella"),
                            DiTesto("Azzera", SiNo),
                            DiTesto("WhereAzz"),
                            DiTesto("Campi")};
    static const char* const Slot[][5] = {{"Tabella2", "CodTab2", "Azzera2", "WhereAzz2", "Campi2"},
                                          {"Tabella3", "CodTab3", "Azzera3", "WhereAzz3", "Campi3"},
                                          {"Tabella4", "CodTab4", "Azzera4", "WhereAzz4", "Campi4"},
                                          {"Tabella5", "CodTab5", "Azzera5", "WhereAzz5", "Campi5"}};
    for (const auto& s : Slot) {
        c.push_back(DiTesto(s[0]));
        c.push_back(DiTesto(s[1], {}, 1));
        c.push_back(DiTesto(s[2], SiNo));
        c.push_back(DiTesto(s[3]));
        c.push_back(DiTesto(s[4]));
    }
    for (const char* nome : {"QueryFin1", "QueryFin2", "QueryFin3"})
        c.push_back(DiTesto(nome));
    c.push_back(DiTesto("Batch", SiNo));
    return c;
}();

// A field: where it goes, where it is read, how the value is made, checked,
// converted and written.
const std::vector<Colonna> Dettaglio {
    DiTesto("NomeCampo"),
    DiNumero("OrdCampo"),
    DiTesto("TipoOrig", {QStringLiteral("String"), QStringLiteral("Integer"), QStringLiteral("Long"),
                       QStringLiteral("Single"), QStringLiteral("Double"), QStringLiteral("Currency"),
                       QStringLiteral("Date")}),
    DiTesto("TipoDest", {QStringLiteral("String"), QStringLiteral("Integer"), QStringLiteral("Long"),
                       QStringLiteral("Single"), QStringLiteral("Double"), QStringLiteral("Currency"),
                       QStringLiteral("Date")}),
    DiTesto("NumCampo"),
    DiNumero("Inizio"),
    DiNumero("Lunghezza"),
    DiNumero("Dimensione"),
    DiNumero("LimiteDim"),
    DiTesto("Default"),
    DiTesto("CostBatch"),
    DiTesto("Riempie"),
    DiNumero("Quanto"),
    DiTesto("Obbligatorio", SiNo),
    DiTesto("Conv0ToNull", SiNo),
    DiTesto("NonVal"),
    DiTesto("ValValido"),
    DiTesto("TipoOper", {QStringLiteral("*"), QStringLiteral("/"), QStringLiteral("%")}),
    DiTesto("ValoreOper"),
    DiTesto("LireOValuta", {QStringLiteral("L"), QStringLiteral("V")}),
    DiTesto("Aggiorna", {QStringLiteral("A"), QStringLiteral("N")}),
};

const std::vector<Colonna> Decod {DiTesto("Tabella"), DiTesto("NomeCampo"), DiTesto("ValOrig"), DiTesto("ValDest")};

// Whole numbers the program reads into 16 bits; the order of a field may be
// larger; neither an order nor the lines to skip are negative.
bool InIntervallo(const Colonna& colonna, qlonglong n)
{
    const QLatin1String nome(colonna.nome);
    if (nome == QLatin1String("OrdCampo"))
        return n >= 0 && n <= std::numeric_limits<qint32>::max();
    const qlonglong minimo = nome == QLatin1String("SaltaInizio") ? 0 : std::numeric_limits<qint16>::min();
    return n >= minimo && n <= std::numeric_limits<qint16>::max();
}

std::optional<qlonglong> InteroEsatto(double numero)
{
    constexpr double Limite = 9007199254740992.0;  // 2^53
    if (std::trunc(numero) != numero || std::fabs(numero) >= Limite)
        return std::nullopt;
    return static_cast<qlonglong>(numero);
}

QByteArray Scalare(const QJsonValue& valore)
{
    QByteArray testo = QJsonDocument(QJsonArray {valore}).toJson(QJsonDocument::Compact);
    return testo.mid(1, testo.size() - 2);
}

QString Mostra(const QJsonValue& valore)
{
    if (valore.isArray() || valore.isObject())
        return valore.isArray() ? QStringLiteral("un elenco") : QStringLiteral("un oggetto");
    return QString::fromUtf8(Scalare(valore));
}

void ScriviOggetto(QByteArray& out, const QJsonObject& oggetto, std::span<const Colonna> colonne, int rientro)
{
    const QByteArray margine(rientro + 4, ' ');
    QStringList chiavi;
    for (const Colonna& c : colonne)
        if (oggetto.contains(QLatin1String(c.nome)))
            chiavi << QLatin1String(c.nome);
    for (const QString& chiave : oggetto.keys())  // alphabetical
        if (!Trova(colonne, chiave))
            chiavi << chiave;
    out += "{";
    for (qsizetype i = 0; i < chiavi.size(); ++i) {
        out += (i == 0 ? "\n" : ",\n") + margine + Scalare(chiavi[i]) + ": " + Scalare(oggetto.value(chiavi[i]));
    }
    out += chiavi.isEmpty() ? QByteArray("}") : "\n" + QByteArray(rientro, ' ') + "}";
}

void ScriviElenco(QByteArray& out, const QJsonArray& elenco, std::span<const Colonna> colonne)
{
    if (elenco.isEmpty()) {
        out += "[]";
        return;
    }
    out += "[";
    for (qsizetype i = 0; i < elenco.size(); ++i) {
        out += i == 0 ? "\n        " : ",\n        ";
        ScriviOggetto(out, elenco[i].toObject(), colonne, 8);
    }
    out += "\n    ]";
}

// The checks of one row, reported as "luogo, colonna: problema".
class Verifica {
public:
    Verifica(int versione, QStringList& problemi) : m_versione(versione), m_problemi(problemi) {}

    void Riga(const QJsonObject& riga, std::span<const Colonna> colonne, const QString& luogo)
    {
        for (auto it = riga.begin(); it != riga.end(); ++it) {
            const QString dove = luogo + QStringLiteral(", ") + it.key() + QStringLiteral(": ");
            if (it->isArray() || it->isObject()) {
                m_problemi << dove + QStringLiteral("deve essere un valore semplice, non ") + Mostra(*it);
                continue;
            }
            if (const Colonna* colonna = Trova(colonne, it.key()))
                Valore(*colonna, *it, dove);
        }
    }

private:
    void Valore(const Colonna& colonna, const QJsonValue& valore, const QString& dove)
    {
        if (valore.isNull())
            return;
        if (colonna.genere == Genere::Intero) {
            std::optional<qlonglong> numero;
            if (valore.isDouble())
                numero = InteroEsatto(valore.toDouble());
            else if (m_versione == 1 && valore.isString()) {
                if (valore.toString().trimmed().isEmpty())
                    return;
                bool ok = false;
                const qlonglong n = valore.toString().trimmed().toLongLong(&ok);
                if (ok)
                    numero = n;
            }
            if (!numero)
                m_problemi << dove + QStringLiteral("deve essere un numero intero, non ") + Mostra(valore);
            else if (!InIntervallo(colonna, *numero))
                m_problemi << dove + QStringLiteral("numero fuori dall'intervallo ammesso (") + Mostra(valore)
                        + QLatin1Char(')');
            return;
        }
        if (!valore.isString() && m_versione > 1) {
            m_problemi << dove + QStringLiteral("deve essere un testo, non ") + Mostra(valore);
            return;
        }
        const QString testo = valore.isString() ? valore.toString() : QString::fromUtf8(Scalare(valore));
        if (testo.isEmpty())
            return;
        if (!colonna.ammessi.isEmpty() && !colonna.ammessi.contains(testo, Qt::CaseInsensitive))
            m_problemi << dove + QStringLiteral("valore non ammesso ") + Mostra(valore) + QStringLiteral(" (ammessi: ")
                    + colonna.ammessi.join(QStringLiteral(", ")) + QLatin1Char(')');
        else if (colonna.massimo > 0 && testo.size() > colonna.massimo)
            m_problemi << dove + QStringLiteral("al massimo %1 caratteri, non ").arg(colonna.massimo)
                    + Mostra(valore);
    }

    int m_versione;
    QStringList& m_problemi;
};

// A list of rows: an array of objects.
bool Elenco(const QJsonObject& documento, const char* nome, QStringList& problemi)
{
    const QJsonValue valore = documento.value(QLatin1String(nome));
    if (!valore.isArray()) {
        problemi << QLatin1String(nome) + QStringLiteral(": manca l'elenco delle righe");
        return false;
    }
    bool ok = true;
    const QJsonArray righe = valore.toArray();
    for (qsizetype i = 0; i < righe.size(); ++i)
        if (!righe[i].isObject()) {
            problemi << QStringLiteral("%1, riga %2: deve essere un oggetto").arg(QLatin1String(nome)).arg(i + 1);
            ok = false;
        }
    return ok;
}

}  // namespace

std::span<const Colonna> ColonneFile()
{
    return File;
}

std::span<const Colonna> ColonneDettaglio()
{
    return Dettaglio;
}

std::span<const Colonna> ColonneDecod()
{
    return Decod;
}

const Colonna* Trova(std::span<const Colonna> colonne, const QString& nome)
{
    for (const Colonna& c : colonne)
        if (nome.compare(QLatin1String(c.nome), Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

QJsonValue ValoreFile(const Colonna* colonna, const QVariant& valore)
{
    if (valore.isNull() || !valore.isValid())
        return QJsonValue::Undefined;
    const int tipo = valore.typeId();
    const bool numero = tipo == QMetaType::Short || tipo == QMetaType::Int || tipo == QMetaType::LongLong
        || tipo == QMetaType::UInt || tipo == QMetaType::ULongLong || tipo == QMetaType::Float
        || tipo == QMetaType::Double;
    if (!colonna) {
        if (tipo == QMetaType::Bool)
            return valore.toBool();
        if (numero) {
            const auto intero = InteroEsatto(valore.toDouble());
            return intero ? QJsonValue(*intero) : QJsonValue(valore.toDouble());
        }
        const QString testo = valore.toString();
        return testo.isEmpty() ? QJsonValue(QJsonValue::Undefined) : QJsonValue(testo);
    }
    if (colonna->genere == Genere::Intero) {
        if (numero)
            if (const auto intero = InteroEsatto(valore.toDouble()))
                return *intero;
        const QString testo = valore.toString().trimmed();
        if (testo.isEmpty())
            return QJsonValue::Undefined;
        bool ok = false;
        const qlonglong n = testo.toLongLong(&ok);
        // Kept as it is when it is no whole number: an import then says so.
        return ok ? QJsonValue(n) : QJsonValue(valore.toString());
    }
    const QString testo = numero && InteroEsatto(valore.toDouble())
        ? QString::number(*InteroEsatto(valore.toDouble()))
        : valore.toString();
    return testo.isEmpty() ? QJsonValue(QJsonValue::Undefined) : QJsonValue(testo);
}

QByteArray Testo(const QJsonObject& definizione)
{
    QByteArray out = "{\n";
    out += "    \"formato\": " + Scalare(QLatin1String(Formato)) + ",\n";
    out += "    \"versione\": " + QByteArray::number(Versione) + ",\n";
    out += "    \"codice\": " + Scalare(definizione.value(QStringLiteral("codice"))) + ",\n";
    out += "    \"QuivaFile\": ";
    ScriviOggetto(out, definizione.value(QStringLiteral("QuivaFile")).toObject(), ColonneFile(), 4);
    out += ",\n    \"QuivaDettaglio\": ";
    ScriviElenco(out, definizione.value(QStringLiteral("QuivaDettaglio")).toArray(), ColonneDettaglio());
    out += ",\n    \"QuivaDecod\": ";
    ScriviElenco(out, definizione.value(QStringLiteral("QuivaDecod")).toArray(), ColonneDecod());
    out += "\n}\n";
    return out;
}

QStringList Problemi(const QJsonObject& documento)
{
    QStringList problemi;
    if (documento.value(QStringLiteral("formato")).toString() != QLatin1String(Formato))
        return {QStringLiteral("manca \"formato\": \"%1\"").arg(QLatin1String(Formato))};
    const QJsonValue numeroVersione = documento.value(QStringLiteral("versione"));
    const int versione = numeroVersione.isDouble() ? numeroVersione.toInt(0) : 0;
    if (versione < 1 || versione > Versione)
        return {QStringLiteral("versione %1 del formato: questo programma legge fino alla %2")
                    .arg(Mostra(numeroVersione))
                    .arg(Versione)};

    const QJsonValue codice = documento.value(QStringLiteral("codice"));
    if (!codice.isString() || codice.toString().trimmed().isEmpty())
        problemi << QStringLiteral("codice: manca il codice della definizione");
    else if (codice.toString().trimmed().size() > 20)
        problemi << QStringLiteral("codice: al massimo 20 caratteri, non ") + Mostra(codice);

    Verifica verifica(versione, problemi);
    const QJsonValue testata = documento.value(QStringLiteral("QuivaFile"));
    if (!testata.isObject())
        problemi << QStringLiteral("QuivaFile: manca la testata");
    else
        verifica.Riga(testata.toObject(), ColonneFile(), QStringLiteral("QuivaFile"));

    if (Elenco(documento, "QuivaDettaglio", problemi)) {
        const QJsonArray campi = documento.value(QStringLiteral("QuivaDettaglio")).toArray();
        QSet<QString> visti;
        for (qsizetype i = 0; i < campi.size(); ++i) {
            const QJsonObject campo = campi[i].toObject();
            const QJsonValue nome = campo.value(QStringLiteral("NomeCampo"));
            QString luogo = QStringLiteral("QuivaDettaglio, riga %1").arg(i + 1);
            if (!nome.isString() || nome.toString().trimmed().isEmpty())
                problemi << luogo + QStringLiteral(": manca NomeCampo");
            else {
                luogo = QStringLiteral("QuivaDettaglio, campo ") + nome.toString();
                if (visti.contains(nome.toString().toLower()))
                    problemi << luogo + QStringLiteral(": campo ripetuto");
                visti.insert(nome.toString().toLower());
            }
            verifica.Riga(campo, ColonneDettaglio(), luogo);
        }
    }
    if (Elenco(documento, "QuivaDecod", problemi)) {
        const QJsonArray righe = documento.value(QStringLiteral("QuivaDecod")).toArray();
        for (qsizetype i = 0; i < righe.size(); ++i)
            verifica.Riga(righe[i].toObject(), ColonneDecod(), QStringLiteral("QuivaDecod, riga %1").arg(i + 1));
    }
    return problemi;
}

}  // namespace FormatoDefinizione
