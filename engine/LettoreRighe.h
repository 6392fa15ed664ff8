#pragma once
// Reads a source file line by line.
//
// Line ends: CR and CR LF always end a line. A file with a CR in its first
// 64 KiB is a CR file, any other an LF file. In an LF file every LF ends a
// line; in a CR file a bare LF ends one too, except inside a double-quoted
// field of a delimited line (a field that begins with '"' at the line start
// or right after the separator, up to the '"' followed by the separator or
// the line end): there it is a line break inside a cell. A line is handed on
// exactly as read, without its line end.
//
// Encoding: a file with a UTF-16 byte-order mark is read as UTF-16; a UTF-8
// mark is dropped. Otherwise a line that is valid UTF-8 is read as UTF-8, any
// other as Windows-1252, so files from older systems keep their accented
// letters.
//
// A line that cannot be loaded is still read and counted, with the reason in
// Scarto(): one longer than LunghezzaMassima bytes (only its beginning is
// kept, so memory stays bounded), one holding a NUL character.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <optional>
#include <vector>

class LettoreRighe {
public:
    static constexpr qsizetype LunghezzaMassima = 16 * 1024 * 1024;
    // Bytes kept of a line longer than LunghezzaMassima.
    static constexpr qsizetype InizioConservato = 1000;
    // How much of the file decides whether it is a CR file.
    static constexpr qsizetype InizioEsaminato = 64 * 1024;

    // Raises ErroreRun 53 (missing file), 76 (missing folder) or 75.
    // separatore: of a delimited definition, whose quoted fields keep their
    // bare LFs in a CR file; empty for fixed-width lines.
    explicit LettoreRighe(const QString& percorso, const QString& separatore = {});
    // False at the end of the file; a failed read raises ErroreRun 57.
    bool Leggi(QString& riga);
    // The next line's bytes (UTF-8 for a UTF-16 file), without its line end;
    // valid until the next read. A line too long is given by its beginning.
    bool LeggiByte(QByteArrayView& riga);
    // Why the line last read cannot be loaded ("Riga troppo lunga: N
    // caratteri", a NUL), empty when it can.
    const QString& Scarto() const { return m_scarto; }

    // A line's bytes as text: UTF-8 when they are valid UTF-8, Windows-1252
    // otherwise. The second form writes into testo, reusing its room.
    static QString Decodifica(const char* dati, qsizetype lunghezza);
    static void Decodifica(const char* dati, qsizetype lunghezza, QString& testo);
    // The text in Windows-1252, nothing when a character has no code there.
    static std::optional<QByteArray> CodificaWindows1252(QStringView testo);

private:
    // How far the line being read was looked at for quoted fields.
    struct Virgolette {
        qsizetype pos = 0;  // bytes of the line already looked at
        bool inizioCampo = true;
        bool dentro = false;
    };

    bool Riempi();
    void Inizia();
    // Offset of the end of the line at dati (n bytes there), -1 when not there.
    qsizetype CercaFine(const char* dati, qsizetype n);
    // Looks at the line up to fino; fineRiga: fino is a bare LF. Answers
    // whether fino stands inside a quoted field.
    bool AvanzaVirgolette(const char* dati, qsizetype fino, bool fineRiga);
    qsizetype SeparatoreIn(const char* dati, qsizetype i, qsizetype fino) const;
    void NuovaRiga();
    // Reads past the rest of a line too long, counting its characters.
    void SaltaRigaLunga(QByteArrayView& riga);

    QFile m_file;
    qint64 m_dimensione = 0;  // size when opened: a file cut short is an error, not an end
    QByteArray m_buffer;
    qsizetype m_inizio = 0;
    bool m_fineFile = false;
    bool m_iniziato = false;
    bool m_fileCr = false;
    bool m_dopoCr = false;                  // the last line ended at a CR: skip a following LF
    std::optional<QStringDecoder> m_utf16;  // a UTF-16 file, turned into UTF-8 as it is read
    std::vector<QByteArray> m_separatori;   // the separator as UTF-8 and as Windows-1252
    qsizetype m_separatoreMassimo = 0;
    qsizetype m_cercato = 0;  // bytes of the line known to hold no end
    Virgolette m_virgolette;
    QByteArray m_rigaLunga;  // the beginning of a line too long
    QString m_scarto;
};
