#pragma once
// Shared services of the start-up: command-line switches, launch options,
// database paths, the configuration folder, error texts, number formats and
// the repair of a damaged database file.
#include <QString>

namespace CodiciErrore {
constexpr int MenuNonInEsecuzione = 9001;  // the menu cannot be reached
constexpr int MenuRifiutato = 9002;        // the menu's socket is not private to this user
constexpr int FileDatabaseInesistente = 3024;
}  // namespace CodiciErrore

namespace FormUtility {

// The text that follows "/" and the switch letter in testo, up to the next
// switch (a blank followed by "/"); empty when the switch is absent. The
// letter is compared without case; a switch counts only at the start of the
// text or after a blank.
QString LeggiSwitch(const QString& testo, QChar lettera);

// Launch-option lookup: "/" + opzione when the option is among the launch
// parameters (as a word of its own, with or without "/"), empty otherwise.
QString OpzioneLancio(const QString& parametri, const QString& opzione);

// A path written for the original platform made usable here: trimmed, "\"
// separators turned into "/".
QString PercorsoLocale(const QString& percorso);

// A folder of the configuration ("DirQuiva", "DirImmagini") with the drive
// ("DriveDB") in front, joined by one separator, unless the folder is
// already absolute: it begins with "/" or "\\", or has ":" as its second
// character. The result uses "/" separators.
QString CartellaConDrive(const QString& drive, const QString& cartella);

// Full path of a database file from its name, a drive and a folder. A name
// that is already absolute is kept; otherwise drive, folder and name are
// joined with single separators.
QString ComponiPercorso(const QString& nomeDb, const QString& drive, const QString& cartella);

// Folder where the suite's main INI may lie: $XDG_CONFIG_HOME/quiva, or
// ~/.config/quiva.
QString CartellaSistema();
// The installation file that names the main INI (classic place: the root of
// the system disk). QUIVA_INSTALLAZIONE overrides it.
QString FileInstallazione();

// A connection text fit to show: the values of its password keys ("pwd",
// "password", in any case, braced or not) replaced by asterisks.
QString NascondiPassword(const QString& testo);

// Italian text of an internal error code.
QString TestoCodiceErrore(int codice);

// Number format builder: base pattern ("#,###", "#,##0") followed, when
// decimali > 0, by "." and decimali times the decimal digit ('#' or '0').
QString FormatoNumero(const QString& base, QChar cifraDecimale, int decimali);
// A number written with such a pattern, Italian separators ("." thousands,
// "," decimals). '#' digits are optional, '0' digits always shown.
QString FormattaNumero(double valore, const QString& formato);

// Repair of a damaged database file: the readable content is recovered into
// a new file that replaces the damaged one; the damaged file is kept next to
// it with the suffix ".danneggiato". True when the result opens cleanly.
// incomplete receives the tables that the damaged file declares and that
// came back missing, with fewer rows, or from rows that could not be
// counted ("Righe (2150 righe di 3000)").
bool RiparaDatabase(const QString& percorso, QString* dettaglio = nullptr, QStringList* incomplete = nullptr);
// True when the file is an SQLite database that passes a quick check.
bool DatabaseIntegro(const QString& percorso, QString* dettaglio = nullptr);

}  // namespace FormUtility
