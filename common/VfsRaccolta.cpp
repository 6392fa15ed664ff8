#include "VfsRaccolta.h"

#include <algorithm>
#include <cstring>
#include <sqlite3.h>

namespace {

// Room for thirty frames of the usual pages. SQLite's own layer writes at
// most 128 KB less one byte in a call (the rest of a larger write is lost).
constexpr int Capienza = 127 * 1024;
// A log frame's header; its bytes 4 to 7 are non-zero only in the frame
// that ends a commit (the file's size in pages after it).
constexpr int TestaFrame = 24;

// One open file: ours in front, SQLite's own right after it.
struct FileRaccolto {
    sqlite3_file base;
    sqlite3_file* reale;
    bool log;              // a write-ahead log: its writes are gathered
    bool fineCommit;       // the header last gathered ends a commit
    char* raccolta;        // made at the first write
    sqlite3_int64 inizio;  // where in the file raccolta begins
    int usati;
};

// They live for the whole process, as SQLite asks of a registered layer.
// The methods come in the three versions SQLite knows: a file shows the
// version of SQLite's own file under it, which says what calls it has.
sqlite3_vfs vfsRaccolta;
sqlite3_io_methods metodiRaccolta[3];

sqlite3_vfs* Reale() { return static_cast<sqlite3_vfs*>(vfsRaccolta.pAppData); }
FileRaccolto* Di(sqlite3_file* file) { return reinterpret_cast<FileRaccolto*>(file); }
sqlite3_file* RealeDi(sqlite3_file* file) { return Di(file)->reale; }

// Writes what was gathered; on a failure it is dropped and the caller's
// operation fails with the write's error, as the write itself would have.
int Svuota(FileRaccolto* file)
{
    if (file->usati == 0)
        return SQLITE_OK;
    const int n = file->usati;
    file->usati = 0;
    return file->reale->pMethods->xWrite(file->reale, file->raccolta, n, file->inizio);
}

int Scrivi(sqlite3_file* f, const void* dati, int n, sqlite3_int64 posizione)
{
    FileRaccolto* file = Di(f);
    if (!file->log)
        return file->reale->pMethods->xWrite(file->reale, dati, n, posizione);
    // Only what follows what is gathered joins it.
    if (file->usati > 0 && (posizione != file->inizio + file->usati || file->usati + n > Capienza)) {
        if (const int esito = Svuota(file); esito != SQLITE_OK)
            return esito;
    }
    if (!file->raccolta && n <= Capienza)
        file->raccolta = static_cast<char*>(sqlite3_malloc(Capienza));
    if (!file->raccolta || n > Capienza)
        return file->reale->pMethods->xWrite(file->reale, dati, n, posizione);
    if (file->usati == 0)
        file->inizio = posizione;
    std::memcpy(file->raccolta + file->usati, dati, static_cast<size_t>(n));
    file->usati += n;
    if (n == TestaFrame) {
        const unsigned char* testa = static_cast<const unsigned char*>(dati);
        file->fineCommit = (testa[4] | testa[5] | testa[6] | testa[7]) != 0;
        return SQLITE_OK;
    }
    // The page of a commit's last frame: the commit goes to the file now.
    if (file->fineCommit) {
        file->fineCommit = false;
        return Svuota(file);
    }
    return SQLITE_OK;
}

// Every other use of a log first writes what was gathered.
int Prima(sqlite3_file* f) { return Di(f)->log ? Svuota(Di(f)) : SQLITE_OK; }

int Chiudi(sqlite3_file* f)
{
    FileRaccolto* file = Di(f);
    const int scritto = Prima(f);
    const int chiuso = file->reale->pMethods->xClose(file->reale);
    sqlite3_free(file->raccolta);
    file->raccolta = nullptr;
    return scritto != SQLITE_OK ? scritto : chiuso;
}

// A method of SQLite's own file, called on the file under ours: as it is
// (Diretto), or once what was gathered is written (DopoRaccolta).
template <auto Metodo> struct Inoltro;
template <typename R, typename... A, R (*sqlite3_io_methods::*Metodo)(sqlite3_file*, A...)> struct Inoltro<Metodo> {
    static R Diretto(sqlite3_file* f, A... argomenti)
    {
        return (RealeDi(f)->pMethods->*Metodo)(RealeDi(f), argomenti...);
    }
    static R DopoRaccolta(sqlite3_file* f, A... argomenti)
    {
        if (const int esito = Prima(f); esito != SQLITE_OK)
            return esito;
        return Diretto(f, argomenti...);
    }
};

// A call of the layer itself, made by SQLite's own layer.
template <auto Metodo> struct InoltroVfs;
template <typename R, typename... A, R (*sqlite3_vfs::*Metodo)(sqlite3_vfs*, A...)> struct InoltroVfs<Metodo> {
    static R Diretto(sqlite3_vfs*, A... argomenti) { return (Reale()->*Metodo)(Reale(), argomenti...); }
};

int Apri(sqlite3_vfs*, sqlite3_filename nome, sqlite3_file* f, int modi, int* modiUsati)
{
    FileRaccolto* file = Di(f);
    file->base.pMethods = nullptr;
    file->reale = reinterpret_cast<sqlite3_file*>(file + 1);
    file->log = (modi & SQLITE_OPEN_WAL) != 0;
    file->fineCommit = false;
    file->raccolta = nullptr;
    file->inizio = 0;
    file->usati = 0;
    const int esito = Reale()->xOpen(Reale(), nome, file->reale, modi, modiUsati);
    // A file SQLite's layer did not open has no methods: SQLite then never
    // closes it.
    if (const sqlite3_io_methods* suoi = file->reale->pMethods)
        file->base.pMethods = &metodiRaccolta[std::clamp(suoi->iVersion, 1, 3) - 1];
    return esito;
}

}  // namespace

void InstallaVfsRaccolta()
{
    static const bool installata = [] {
        sqlite3_vfs* reale = sqlite3_vfs_find(nullptr);
        if (!reale || reale->iVersion < 3)
            return false;
        for (int versione = 1; versione <= 3; ++versione)
            metodiRaccolta[versione - 1] = {
                versione,
                Chiudi,
                Inoltro<&sqlite3_io_methods::xRead>::DopoRaccolta,
                Scrivi,
                Inoltro<&sqlite3_io_methods::xTruncate>::DopoRaccolta,
                Inoltro<&sqlite3_io_methods::xSync>::DopoRaccolta,
                Inoltro<&sqlite3_io_methods::xFileSize>::DopoRaccolta,
                Inoltro<&sqlite3_io_methods::xLock>::Diretto,
                Inoltro<&sqlite3_io_methods::xUnlock>::Diretto,
                Inoltro<&sqlite3_io_methods::xCheckReservedLock>::Diretto,
                Inoltro<&sqlite3_io_methods::xFileControl>::DopoRaccolta,
                Inoltro<&sqlite3_io_methods::xSectorSize>::Diretto,
                Inoltro<&sqlite3_io_methods::xDeviceCharacteristics>::Diretto,
                Inoltro<&sqlite3_io_methods::xShmMap>::Diretto,
                Inoltro<&sqlite3_io_methods::xShmLock>::Diretto,
                Inoltro<&sqlite3_io_methods::xShmBarrier>::Diretto,
                Inoltro<&sqlite3_io_methods::xShmUnmap>::Diretto,
                Inoltro<&sqlite3_io_methods::xFetch>::DopoRaccolta,
                Inoltro<&sqlite3_io_methods::xUnfetch>::Diretto,
            };
        vfsRaccolta = *reale;
        vfsRaccolta.zName = "quiva-raccolta";
        vfsRaccolta.szOsFile = static_cast<int>(sizeof(FileRaccolto)) + reale->szOsFile;
        vfsRaccolta.pNext = nullptr;
        vfsRaccolta.pAppData = reale;
        vfsRaccolta.xOpen = Apri;
        // The layer's other calls are SQLite's own, with its own layer.
        vfsRaccolta.xDelete = InoltroVfs<&sqlite3_vfs::xDelete>::Diretto;
        vfsRaccolta.xAccess = InoltroVfs<&sqlite3_vfs::xAccess>::Diretto;
        vfsRaccolta.xFullPathname = InoltroVfs<&sqlite3_vfs::xFullPathname>::Diretto;
        vfsRaccolta.xDlOpen = InoltroVfs<&sqlite3_vfs::xDlOpen>::Diretto;
        vfsRaccolta.xDlError = InoltroVfs<&sqlite3_vfs::xDlError>::Diretto;
        vfsRaccolta.xDlSym = InoltroVfs<&sqlite3_vfs::xDlSym>::Diretto;
        vfsRaccolta.xDlClose = InoltroVfs<&sqlite3_vfs::xDlClose>::Diretto;
        vfsRaccolta.xRandomness = InoltroVfs<&sqlite3_vfs::xRandomness>::Diretto;
        vfsRaccolta.xSleep = InoltroVfs<&sqlite3_vfs::xSleep>::Diretto;
        vfsRaccolta.xCurrentTime = InoltroVfs<&sqlite3_vfs::xCurrentTime>::Diretto;
        vfsRaccolta.xGetLastError = InoltroVfs<&sqlite3_vfs::xGetLastError>::Diretto;
        vfsRaccolta.xCurrentTimeInt64 = InoltroVfs<&sqlite3_vfs::xCurrentTimeInt64>::Diretto;
        vfsRaccolta.xSetSystemCall = InoltroVfs<&sqlite3_vfs::xSetSystemCall>::Diretto;
        vfsRaccolta.xGetSystemCall = InoltroVfs<&sqlite3_vfs::xGetSystemCall>::Diretto;
        vfsRaccolta.xNextSystemCall = InoltroVfs<&sqlite3_vfs::xNextSystemCall>::Diretto;
        return sqlite3_vfs_register(&vfsRaccolta, 1) == SQLITE_OK;
    }();
    (void)installata;
}
