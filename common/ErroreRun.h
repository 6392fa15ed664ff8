#pragma once
// A run-time error as the program's procedures raise and trap it: a number
// (the codes callers test are listed below) and an Italian description.
#include <QString>
#include <exception>

namespace CodiciErrore {
constexpr int Overflow = 6;
constexpr int MemoriaEsaurita = 7;
constexpr int DivisionePerZero = 11;
constexpr int TipoNonCorrispondente = 13;
constexpr int FileNonTrovato = 53;
constexpr int DiscoPieno = 61;
constexpr int ErroreLetturaFile = 57;  // a read of an open file failed
constexpr int ErroreAccessoPercorso = 75;
constexpr int PercorsoNonTrovato = 76;
constexpr int ChiaveDoppia = 3022;
constexpr int ErroreOdbc = 3146;
constexpr int ValoreTroppoGrande = 3163;
constexpr int CampoInesistente = 3265;
constexpr int DatoVariato = 3197;  // the row changed or went since it was read
constexpr int DatabaseDanneggiato = 3343;
constexpr int DatabaseInUso = 3260;        // locked by another program
constexpr int FileDittaScollegato = 3050;  // the company file is no longer shared safely
constexpr int ErroreDatabase = 3000;       // any other failure of the database
constexpr int ErroreGenerico = 5;          // anything that has no number of its own
constexpr int DefinizioneNonValida = 3001;     // a definition that fails its check before loading

// Errors after which no line can be written any more: a load ends on them
// instead of recording them line after line.
inline bool FermaCaricamento(int numero)
{
    return numero == DiscoPieno || numero == DatabaseDanneggiato || numero == DatabaseInUso
        || numero == FileDittaScollegato;
}
}  // namespace CodiciErrore

class ErroreRun : public std::exception {
public:
    ErroreRun(int numero, QString descrizione)
        : m_numero(numero), m_descrizione(std::move(descrizione)), m_utf8(m_descrizione.toUtf8())
    {
    }
    int numero() const { return m_numero; }
    const QString& descrizione() const { return m_descrizione; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    int m_numero;
    QString m_descrizione;
    QByteArray m_utf8;
};
