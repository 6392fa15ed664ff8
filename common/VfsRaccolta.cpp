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

int Leggi(sqlite3_file* f, void* dati, int n, sqlite3_int64 posizione)
{
    if (const int esito = Prima(f); esito != SQLITE_OK)
        return esito;
    return RealeDi(f)->pMethods->xRead(RealeDi(f), dati, n, posizione);
}

int Tronca(sqlite3_file* f, sqlite3_int64 dimensione)
{
    if (const int esito = Prima(f); esito != SQLITE_OK)
        return esito;
    return RealeDi(f)->pMethods->xTruncate(RealeDi(f), dimensione);
}

int Sincronizza(sqlite3_file* f, int modo)
{
    if (const int esito = Prima(f); esito != SQLITE_OK)
        return esito;
    return RealeDi(f)->pMethods->xSync(RealeDi(f), modo);
}

int Dimensione(sqlite3_file* f, sqlite3_int64* dimensione)
{
    if (const int esito = Prima(f); esito != SQLITE_OK)
        return esito;
    return RealeDi(f)->pMethods->xFileSize(RealeDi(f), dimensione);
}

int Controllo(sqlite3_file* f, int operazione, void* argomento)
{
    if (const int esito = Prima(f); esito != SQLITE_OK)
        return esito;
    return RealeDi(f)->pMethods->xFileControl(RealeDi(f), operazione, argomento);
}

int Preleva(sqlite3_file* f, sqlite3_int64 posizione, int n, void** pagina)
{
    if (const int esito = Prima(f); esito != SQLITE_OK)
        return esito;
    return RealeDi(f)->pMethods->xFetch(RealeDi(f), posizione, n, pagina);
}

// The rest as SQLite's own.
int Blocca(sqlite3_file* f, int livello) { return RealeDi(f)->pMethods->xLock(RealeDi(f), livello); }
int Sblocca(sqlite3_file* f, int livello) { return RealeDi(f)->pMethods->xUnlock(RealeDi(f), livello); }
int Riservato(sqlite3_file* f, int* riservato)
{
    return RealeDi(f)->pMethods->xCheckReservedLock(RealeDi(f), riservato);
}
int Settore(sqlite3_file* f) { return RealeDi(f)->pMethods->xSectorSize(RealeDi(f)); }
int Caratteristiche(sqlite3_file* f) { return RealeDi(f)->pMethods->xDeviceCharacteristics(RealeDi(f)); }
int MappaIndice(sqlite3_file* f, int pagina, int dimensione, int estendi, void volatile** indirizzo)
{
    return RealeDi(f)->pMethods->xShmMap(RealeDi(f), pagina, dimensione, estendi, indirizzo);
}
int BloccaIndice(sqlite3_file* f, int da, int quanti, int modo)
{
    return RealeDi(f)->pMethods->xShmLock(RealeDi(f), da, quanti, modo);
}
void BarrieraIndice(sqlite3_file* f) { RealeDi(f)->pMethods->xShmBarrier(RealeDi(f)); }
int LasciaIndice(sqlite3_file* f, int elimina) { return RealeDi(f)->pMethods->xShmUnmap(RealeDi(f), elimina); }
int Restituisci(sqlite3_file* f, sqlite3_int64 posizione, void* pagina)
{
    return RealeDi(f)->pMethods->xUnfetch(RealeDi(f), posizione, pagina);
}

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
            metodiRaccolta[versione - 1] = {versione,       Chiudi,       Leggi,           Scrivi,      Tronca,
                                            Sincronizza,    Dimensione,   Blocca,          Sblocca,     Riservato,
                                            Controllo,      Settore,      Caratteristiche, MappaIndice, BloccaIndice,
                                            BarrieraIndice, LasciaIndice, Preleva,         Restituisci};
        vfsRaccolta = *reale;
        vfsRaccolta.zName = "quiva-raccolta";
        vfsRaccolta.szOsFile = static_cast<int>(sizeof(FileRaccolto)) + reale->szOsFile;
        vfsRaccolta.pNext = nullptr;
        vfsRaccolta.pAppData = reale;
        vfsRaccolta.xOpen = Apri;
        // The layer's other calls are SQLite's own, with its own layer.
        vfsRaccolta.xDelete = [](sqlite3_vfs*, const char* nome, int sincronizza) {
            return Reale()->xDelete(Reale(), nome, sincronizza);
        };
        vfsRaccolta.xAccess = [](sqlite3_vfs*, const char* nome, int domanda, int* risposta) {
            return Reale()->xAccess(Reale(), nome, domanda, risposta);
        };
        vfsRaccolta.xFullPathname = [](sqlite3_vfs*, const char* nome, int n, char* uscita) {
            return Reale()->xFullPathname(Reale(), nome, n, uscita);
        };
        vfsRaccolta.xDlOpen = [](sqlite3_vfs*, const char* nome) { return Reale()->xDlOpen(Reale(), nome); };
        vfsRaccolta.xDlError = [](sqlite3_vfs*, int n, char* uscita) { Reale()->xDlError(Reale(), n, uscita); };
        vfsRaccolta.xDlSym = [](sqlite3_vfs*, void* libreria, const char* simbolo) {
            return Reale()->xDlSym(Reale(), libreria, simbolo);
        };
        vfsRaccolta.xDlClose = [](sqlite3_vfs*, void* libreria) { Reale()->xDlClose(Reale(), libreria); };
        vfsRaccolta.xRandomness = [](sqlite3_vfs*, int n, char* uscita) {
            return Reale()->xRandomness(Reale(), n, uscita);
        };
        vfsRaccolta.xSleep = [](sqlite3_vfs*, int micro) { return Reale()->xSleep(Reale(), micro); };
        vfsRaccolta.xCurrentTime = [](sqlite3_vfs*, double* ora) { return Reale()->xCurrentTime(Reale(), ora); };
        vfsRaccolta.xGetLastError = [](sqlite3_vfs*, int n, char* uscita) {
            return Reale()->xGetLastError(Reale(), n, uscita);
        };
        vfsRaccolta.xCurrentTimeInt64 = [](sqlite3_vfs*, sqlite3_int64* ora) {
            return Reale()->xCurrentTimeInt64(Reale(), ora);
        };
        vfsRaccolta.xSetSystemCall = [](sqlite3_vfs*, const char* nome, sqlite3_syscall_ptr chiamata) {
            return Reale()->xSetSystemCall(Reale(), nome, chiamata);
        };
        vfsRaccolta.xGetSystemCall = [](sqlite3_vfs*, const char* nome) {
            return Reale()->xGetSystemCall(Reale(), nome);
        };
        vfsRaccolta.xNextSystemCall = [](sqlite3_vfs*, const char* nome) {
            return Reale()->xNextSystemCall(Reale(), nome);
        };
        return sqlite3_vfs_register(&vfsRaccolta, 1) == SQLITE_OK;
    }();
    (void)installata;
}
