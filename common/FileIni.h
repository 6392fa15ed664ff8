#pragma once
// INI files read the way the suite's installation writes them: sections and
// keys compared without case, CRLF or LF line ends, ";" comment lines, the
// first occurrence of a key wins, values kept whole (a ";" inside a value is
// part of it) and surrounding double quotes dropped.
#include <QHash>
#include <QString>
#include <optional>

class FileIni {
public:
    // Reads and parses the file; a missing or unreadable file gives an empty
    // object (Esiste() false).
    static FileIni Leggi(const QString& percorso);
    static FileIni DaTesto(const QByteArray& contenuto);

    bool Esiste() const { return m_esiste; }
    // The value, or nothing when the section or key is absent.
    std::optional<QString> Valore(const QString& sezione, const QString& chiave) const;

private:
    static QString Chiave(const QString& sezione, const QString& chiave);
    bool m_esiste = false;
    QHash<QString, QString> m_valori;
};

namespace FormUtility {

// Size of the value buffer of the classic INI read: a value is cut to
// LunghezzaBufferIni - 1 characters when a caller asks for the buffer.
constexpr int LunghezzaBufferIni = 255;

// INI read: the value of the key in the file, or the default. trovato (when
// given) tells whether the key was there. buffer > 0 cuts the value to
// buffer - 1 characters.
QString LeggiIni(const QString& file, const QString& sezione, const QString& chiave, const QString& predefinito = {},
                 bool* trovato = nullptr, int buffer = 0);

}  // namespace FormUtility
