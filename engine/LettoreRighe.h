#pragma once
// Reads a source file line by line. The first line end of the file decides:
// after a CR or CRLF lines end only at CR and CRLF (a bare LF stays in the
// line, as in a quoted cell of a Windows file); after a bare LF they end at
// LF, CR and CRLF. A line
// that is valid UTF-8 is read as UTF-8, any other as Windows-1252, so files
// from older systems keep their accented letters. NUL bytes stay in the line.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <optional>

class LettoreRighe {
public:
    // Lines longer than this are handed on in pieces of this size.
    static constexpr qsizetype LunghezzaMassima = 16 * 1024 * 1024;

    // Raises ErroreRun 53 (missing file), 76 (missing folder) or 75.
    explicit LettoreRighe(const QString& percorso);
    // False at the end of the file; a failed read raises ErroreRun 57.
    bool Leggi(QString& riga);
    // The next line's bytes as they stand in the file, without its line end;
    // valid until the next read.
    bool LeggiByte(QByteArrayView& riga);

    static QString Decodifica(const char* dati, qsizetype lunghezza);
    // The text in Windows-1252, nothing when a character has no code there.
    static std::optional<QByteArray> CodificaWindows1252(QStringView testo);

private:
    bool Riempi();

    QFile m_file;
    qint64 m_dimensione = 0;  // size when opened: a file cut short is an error, not an end
    QByteArray m_buffer;
    qsizetype m_inizio = 0;
    bool m_fineFile = false;
    bool m_dopoCr = false;  // the last line ended at a CR: skip a following LF
    enum class FineRiga { DaDecidere, SoloCr, AncheLf } m_fine = FineRiga::DaDecidere;
};
