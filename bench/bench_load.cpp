// Load benchmark: generates a delimited file of N lines, loads it with
// quiva-load into a fresh SQLite database (plain insert, then keyed
// insert-or-update with half the keys present) and imports the same file with
// the sqlite3 shell's .import in the same round; prints lines per second,
// ratios, peak memory and the machine's load, then the median of the rounds.
// With --server it does the same on the PostgreSQL server that
// scripts/server-prova.sh started, against psql's \copy (and pgloader, when
// installed, as a peer figure).
//
// Sizes 300,000 and 1,000,000 lines unless --righe is given (repeatable);
// three rounds of each unless --giri says otherwise.
//
//   quiva-bench-load [--righe N]... [--giri N] [--quiva-load PATH] [--cartella DIR] [--tieni] [--server]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;
namespace fs = std::filesystem;

namespace {

struct Misura {
    double secondi = 0;
    double secondiCpu = 0;  // user + system: fairer than wall time on a busy machine
    long piccoMemoriaKb = 0;
    int stato = 0;
};

// Runs a program, optionally with a file as standard input; wall time and
// peak resident memory of the child.
Misura Esegui(const std::vector<std::string>& argomenti, const std::string& ingresso = {})
{
    std::vector<char*> argv;
    for (const auto& a : argomenti)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t azioni;
    posix_spawn_file_actions_init(&azioni);
    if (!ingresso.empty())
        posix_spawn_file_actions_addopen(&azioni, 0, ingresso.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&azioni, 1, "/dev/null", O_WRONLY, 0);
    const auto inizio = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &azioni, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "impossibile avviare %s\n", argv[0]);
        std::exit(1);
    }
    int stato = 0;
    rusage uso {};
    wait4(pid, &stato, 0, &uso);
    posix_spawn_file_actions_destroy(&azioni);
    Misura m;
    m.secondi = std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count();
    m.secondiCpu = uso.ru_utime.tv_sec + uso.ru_stime.tv_sec + (uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e6;
    m.piccoMemoriaKb = uso.ru_maxrss;
    m.stato = WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
    return m;
}

void Sql(const std::string& db, const std::string& testo, const fs::path& cartella)
{
    const fs::path file = cartella / "comandi.sql";
    std::ofstream(file) << testo;
    if (Esegui({"sqlite3", db}, file.string()).stato != 0) {
        std::fprintf(stderr, "sqlite3 non riuscito su %s\n", db.c_str());
        std::exit(1);
    }
}

void GeneraFile(const fs::path& percorso, long righe, long da = 0)
{
    static const char* citta[] = {"Forlì", "Cantù", "Città di Castello", "Milano", "Napoli", "Sant'Agata"};
    FILE* f = std::fopen(percorso.c_str(), "w");
    for (long i = da; i < righe; ++i) {
        std::fprintf(f, "C%07ld;Articolo n° %ld perché è così;%s;%ld;%ld,%02ld;%ld,5;%02ld/%02ld/%ld;CAT%ld;nota;%ld\n",
                     i, i, citta[i % 6], i % 1000, (i * 7) % 100000, i % 100, i % 50, 1 + i % 28, 1 + i % 12,
                     1990 + i % 30, i % 9, 2000 + i % 25);
    }
    std::fclose(f);
}

const char* TabellaDestinazione =
    "CREATE TABLE Merce (Codice VARCHAR(10) PRIMARY KEY, Descrizione VARCHAR(60), Citta VARCHAR(30), Qta INTEGER,"
    " Prezzo NUMERIC, Sconto REAL, Data DATE, Categoria VARCHAR(5), Note VARCHAR(20), Anno INTEGER);\n";

std::string Definizione(const fs::path& sorgente, const char* insVaria)
{
    std::string sql = TabellaDestinazione;
    // The definition tables as another tool of the suite creates them.
    sql += "CREATE TABLE QuivaFile (Codice TEXT, Descrizione TEXT, Tabella TEXT, Azzera TEXT, WhereAzz TEXT,"
           " Campi TEXT, Tabella2 TEXT, CodTab2 TEXT, Azzera2 TEXT, WhereAzz2 TEXT, Campi2 TEXT, Tabella3 TEXT,"
           " CodTab3 TEXT, Azzera3 TEXT, WhereAzz3 TEXT, Campi3 TEXT, Tabella4 TEXT, CodTab4 TEXT, Azzera4 TEXT,"
           " WhereAzz4 TEXT, Campi4 TEXT, Tabella5 TEXT, CodTab5 TEXT, Azzera5 TEXT, WhereAzz5 TEXT, Campi5 TEXT,"
           " QueryFin1 TEXT, QueryFin2 TEXT, QueryFin3 TEXT, Modalita TEXT, InsVaria TEXT, Separatore TEXT,"
           " Origine TEXT, SaltaInizio INTEGER, Tipo TEXT, Batch TEXT);\n"
           "CREATE TABLE QuivaDettaglio (Codice TEXT, OrdCampo TEXT, NomeCampo TEXT, TipoOrig TEXT, TipoDest TEXT,"
           " NumCampo TEXT, Dimensione INTEGER, NonVal TEXT, ValValido TEXT, Riempie TEXT, Quanto INTEGER,"
           " Inizio INTEGER, Lunghezza INTEGER, \"Default\" TEXT, Conv0ToNull TEXT, Obbligatorio TEXT,"
           " LimiteDim INTEGER, TipoOper TEXT, ValoreOper TEXT, LireOValuta TEXT, Aggiorna TEXT, CostBatch TEXT);\n";
    sql += "INSERT INTO QuivaFile (Codice, Tabella, Modalita, InsVaria, Separatore, Origine, SaltaInizio, Tipo)"
           " VALUES ('MERCE', 'Merce', '0', '"
        + std::string(insVaria) + "', ';', '" + sorgente.string() + "', 0, 'D');\n";
    const char* campi[][3] = {{"Codice", "String", "K1"}, {"Descrizione", "String", "2"}, {"Citta", "String", "3"},
                              {"Qta", "Long", "4"},       {"Prezzo", "Currency", "5"},    {"Sconto", "Double", "6"},
                              {"Data", "Date", "7"},      {"Categoria", "String", "8"},   {"Note", "String", "9"},
                              {"Anno", "Integer", "10"}};
    int ordine = 0;
    for (const auto& c : campi)
        sql += "INSERT INTO QuivaDettaglio (Codice, OrdCampo, NomeCampo, TipoOrig, TipoDest, NumCampo, Dimensione,"
               " Aggiorna) VALUES ('MERCE', '"
            + std::to_string(++ordine) + "', '" + c[0] + "', 'String', '" + c[1] + "', '" + c[2] + "', 0, 'A');\n";
    return sql;
}

std::string Ambiente(const char* nome)
{
    const char* valore = std::getenv(nome);
    if (!valore || !*valore) {
        std::fprintf(stderr, "%s non impostata: avviare con scripts/server-prova.sh\n", nome);
        std::exit(1);
    }
    return valore;
}

// psql on the test server; a fresh database when asked.
void Psql(const std::string& database, const std::string& testo, const fs::path& cartella)
{
    const fs::path file = cartella / "comandi.sql";
    std::ofstream(file) << testo;
    if (Esegui({Ambiente("QUIVA_PG_BIN") + "/psql", "-h", Ambiente("QUIVA_PROVA_PGHOST"), "-U", "quiva", "-d", database,
                "-q", "-v", "ON_ERROR_STOP=1", "-f", file.string()})
            .stato
        != 0) {
        std::fprintf(stderr, "psql non riuscito su %s\n", database.c_str());
        std::exit(1);
    }
}

std::string NuovoDatabase(const std::string& nome, const fs::path& cartella)
{
    Psql("postgres", "DROP DATABASE IF EXISTS " + nome + ";\nCREATE DATABASE " + nome + ";\n", cartella);
    return nome;
}

std::string ConnessioneA(const std::string& database)
{
    std::string testo = Ambiente("QUIVA_PROVA_ODBC");
    const auto inizio = testo.find("DATABASE=");
    const auto fine = testo.find(';', inizio);
    return testo.replace(inizio, fine - inizio, "DATABASE=" + database);
}

// What one round measured: the reference tool for each kind of load, and
// quiva-load's plain insert and keyed insert-or-update.
struct Giro {
    Misura riferimento, riferimentoChiave, inserisci, chiave;
    std::optional<Misura> pari;  // pgloader on the same file, when installed
    std::string carico;          // /proc/loadavg before the round
};

std::string Carico()
{
    std::ifstream file("/proc/loadavg");
    std::string uno, cinque, quindici;
    file >> uno >> cinque >> quindici;
    return uno + " " + cinque + " " + quindici;
}

bool Installato(const std::string& programma)
{
    return std::system(("command -v " + programma + " >/dev/null 2>&1").c_str()) == 0;
}

// pgloader with the conversions a load makes (decimal commas, Italian dates)
// into the typed table.
Misura Pgloader(const fs::path& sorgente, const fs::path& cartella)
{
    NuovoDatabase("pari", cartella);
    Psql("pari", TabellaDestinazione, cartella);
    const fs::path comandi = cartella / "pari.load";
    std::ofstream(comandi)
        << "LOAD CSV FROM '" << sorgente.string()
        << "' WITH ENCODING utf-8 (codice, descrizione, citta, qta, prezzo, sconto, data, categoria, note, anno)\n"
           "INTO postgresql://quiva@unix:"
        << Ambiente("QUIVA_PROVA_PGHOST")
        << ":5432/pari?merce (codice, descrizione, citta, qta,"
           " prezzo text using (substitute (code-char 46) (code-char 44) prezzo),"
           " sconto text using (substitute (code-char 46) (code-char 44) sconto), data, categoria, note, anno)\n"
           "WITH fields terminated by ';', fields not enclosed\n"
           "SET work_mem to '64MB', datestyle to 'ISO, DMY';\n";
    return Esegui({"pgloader", "--quiet", comandi.string()});
}

// The same comparison on the server: \copy into a table of text columns (the
// server's raw speed, like .import), and \copy through a staging table into
// the typed table with an upsert (what a keyed load does, in bulk).
Giro GiroServer(long righe, const std::string& quivaLoad, const fs::path& cartella, const fs::path& sorgente)
{
    Giro g;
    g.carico = Carico();
    const std::string copia = "\\copy Merce FROM '" + sorgente.string() + "' WITH (FORMAT csv, DELIMITER ';')\n";
    const std::string testo = "CREATE TABLE Merce (Codice TEXT PRIMARY KEY, Descrizione TEXT, Citta TEXT, Qta TEXT,"
                              " Prezzo TEXT, Sconto TEXT, Data TEXT, Categoria TEXT, Note TEXT, Anno TEXT);\n";
    NuovoDatabase("copia", cartella);
    Psql("copia", testo, cartella);
    const fs::path comandi = cartella / "copia.sql";
    std::ofstream(comandi) << copia;
    const std::string psql = Ambiente("QUIVA_PG_BIN") + "/psql";
    const std::string host = Ambiente("QUIVA_PROVA_PGHOST");
    g.riferimento = Esegui({psql, "-h", host, "-U", "quiva", "-d", "copia", "-q", "-f", comandi.string()});

    const std::string upsert = std::string(TabellaDestinazione)
        + "CREATE TEMP TABLE Arrivo (Codice TEXT, Descrizione TEXT, Citta TEXT, Qta TEXT,"
          " Prezzo TEXT, Sconto TEXT, Data TEXT, Categoria TEXT, Note TEXT, Anno TEXT);\n"
        + "\\copy Arrivo FROM '" + sorgente.string()
        + "' WITH (FORMAT csv, DELIMITER ';')\n"
          "INSERT INTO Merce SELECT Codice, Descrizione, Citta, Qta::integer, replace(Prezzo, ',', '.')::numeric,"
          " replace(Sconto, ',', '.')::real, to_date(Data, 'DD/MM/YYYY'), Categoria, Note, Anno::integer FROM Arrivo"
          " ON CONFLICT (Codice) DO UPDATE SET Descrizione = EXCLUDED.Descrizione, Citta = EXCLUDED.Citta,"
          " Qta = EXCLUDED.Qta, Prezzo = EXCLUDED.Prezzo, Sconto = EXCLUDED.Sconto, Data = EXCLUDED.Data,"
          " Categoria = EXCLUDED.Categoria, Note = EXCLUDED.Note, Anno = EXCLUDED.Anno;\n";
    NuovoDatabase("copiachiave", cartella);
    std::ofstream(comandi) << upsert;
    g.riferimentoChiave = Esegui({psql, "-h", host, "-U", "quiva", "-d", "copiachiave", "-q", "-f", comandi.string()});

    NuovoDatabase("inserisci", cartella);
    Psql("inserisci", Definizione(sorgente, "I"), cartella);
    g.inserisci = Esegui({quivaLoad, "--connect", ConnessioneA("inserisci"), "MERCE"});

    NuovoDatabase("chiave", cartella);
    Psql("chiave", Definizione(sorgente, "V"), cartella);
    const fs::path meta = cartella / "meta.txt";
    GeneraFile(meta, righe / 2);
    Psql("chiave",
         "CREATE TEMP TABLE Arrivo (Codice TEXT, Descrizione TEXT, Citta TEXT, Qta TEXT, Prezzo TEXT,"
         " Sconto TEXT, Data TEXT, Categoria TEXT, Note TEXT, Anno TEXT);\n"
         "\\copy Arrivo FROM '"
             + meta.string()
             + "' WITH (FORMAT csv, DELIMITER ';')\n"
               "INSERT INTO Merce (Codice, Descrizione) SELECT Codice, Descrizione FROM Arrivo;\n",
         cartella);
    g.chiave = Esegui({quivaLoad, "--connect", ConnessioneA("chiave"), "MERCE"});
    if (Installato("pgloader"))
        g.pari = Pgloader(sorgente, cartella);
    return g;
}

Giro GiroSqlite(long righe, const std::string& quivaLoad, const fs::path& cartella, const fs::path& sorgente)
{
    Giro g;
    g.carico = Carico();
    // sqlite3 .import into an equally shaped table.
    const std::string dbImport = (cartella / "import.db").string();
    fs::remove(dbImport);
    Sql(dbImport, std::string("PRAGMA journal_mode=WAL;\n") + TabellaDestinazione, cartella);
    const fs::path comandi = cartella / "import.cmd";
    std::ofstream(comandi) << ".mode csv\n.separator ;\n.import " << sorgente.string() << " Merce\n";
    g.riferimento = Esegui({"sqlite3", dbImport}, comandi.string());
    g.riferimentoChiave = g.riferimento;

    // (a) plain insert.
    const std::string dbInserisci = (cartella / "inserisci.db").string();
    fs::remove(dbInserisci);
    Sql(dbInserisci, Definizione(sorgente, "I"), cartella);
    g.inserisci = Esegui({quivaLoad, "--db", dbInserisci, "MERCE"});

    // (b) keyed insert-or-update, half the keys already present.
    const std::string dbChiave = (cartella / "chiave.db").string();
    fs::remove(dbChiave);
    Sql(dbChiave, Definizione(sorgente, "V"), cartella);
    const fs::path meta = cartella / "meta.txt";
    GeneraFile(meta, righe / 2);
    std::ofstream(comandi) << ".mode csv\n.separator ;\n.import " << meta.string() << " Merce\n";
    Esegui({"sqlite3", dbChiave}, comandi.string());
    g.chiave = Esegui({quivaLoad, "--db", dbChiave, "MERCE"});
    return g;
}

double Mediana(std::vector<double> valori)
{
    std::sort(valori.begin(), valori.end());
    const size_t n = valori.size();
    return n % 2 ? valori[n / 2] : (valori[n / 2 - 1] + valori[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<long> dimensioni;
    std::string quivaLoad = QUIVA_LOAD;
    fs::path cartella = fs::temp_directory_path() / "quiva-bench";
    bool tieni = false;  // keep the files of the last size, to profile a load afterwards
    bool server = false;
    int giri = 3;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--tieni"))
            tieni = true;
        if (!std::strcmp(argv[i], "--server"))
            server = true;
    }
    for (int i = 1; i + 1 < argc; ++i) {
        if (!std::strcmp(argv[i], "--righe"))
            dimensioni.push_back(std::atol(argv[++i]));
        else if (!std::strcmp(argv[i], "--giri"))
            giri = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--quiva-load"))
            quivaLoad = argv[++i];
        else if (!std::strcmp(argv[i], "--cartella"))
            cartella = argv[++i];
    }
    if (dimensioni.empty())
        dimensioni = {300000, 1000000};

    const char* nomeRiferimento = server ? "\\copy" : ".import";
    const char* riferimentoChiave = server ? "\\copy+upsert" : ".import";
    std::vector<std::string> riepilogo;
    bool riuscito = true;
    for (long righe : dimensioni) {
        fs::remove_all(cartella);
        fs::create_directories(cartella);
        const fs::path sorgente = cartella / "merce.txt";
        GeneraFile(sorgente, righe);
        std::printf("File: %ld righe, %.1f MB\n", righe, fs::file_size(sorgente) / 1e6);
        std::vector<double> inserimento, chiave, cpuInserimento, cpuChiave, pari;
        double picco = 0, piccoChiave = 0;
        for (int giro = 1; giro <= giri; ++giro) {
            const Giro g = server ? GiroServer(righe, quivaLoad, cartella, sorgente)
                                  : GiroSqlite(righe, quivaLoad, cartella, sorgente);
            auto riga = [&](const char* nome, const Misura& m, const Misura& rispetto, const char* rispettoNome) {
                std::printf("  %-42s %7.2f s %9.0f righe/s %6.2fx %-13s cpu %6.2f s  picco %6.1f MB  (uscita %d)\n",
                            nome, m.secondi, righe / m.secondi, m.secondi / rispetto.secondi, rispettoNome,
                            m.secondiCpu, m.piccoMemoriaKb / 1024.0, m.stato);
            };
            std::printf(" giro %d, carico della macchina %s\n", giro, g.carico.c_str());
            riga(server ? "psql \\copy in colonne di testo" : "sqlite3 .import", g.riferimento, g.riferimento,
                 nomeRiferimento);
            if (server)
                riga("psql \\copy + insert on conflict tipizzato", g.riferimentoChiave, g.riferimentoChiave,
                     riferimentoChiave);
            riga("quiva-load inserimento (I)", g.inserisci, g.riferimento, nomeRiferimento);
            riga("quiva-load chiave, meta' presenti (V)", g.chiave, g.riferimentoChiave, riferimentoChiave);
            if (g.pari) {
                riga("pgloader (stesse conversioni)", *g.pari, g.riferimento, nomeRiferimento);
                pari.push_back(g.pari->secondi / g.riferimento.secondi);
            }
            inserimento.push_back(g.inserisci.secondi / g.riferimento.secondi);
            chiave.push_back(g.chiave.secondi / g.riferimentoChiave.secondi);
            cpuInserimento.push_back(g.inserisci.secondiCpu / std::max(g.riferimento.secondiCpu, 1e-3));
            cpuChiave.push_back(g.chiave.secondiCpu / std::max(g.riferimentoChiave.secondiCpu, 1e-3));
            picco = std::max(picco, g.inserisci.piccoMemoriaKb / 1024.0);
            piccoChiave = std::max(piccoChiave, g.chiave.piccoMemoriaKb / 1024.0);
            riuscito = riuscito && g.inserisci.stato == 0 && g.chiave.stato == 0;
        }
        char cpu[64] = "";
        if (!server)  // the server's own work is not the client's CPU time
            std::snprintf(cpu, sizeof cpu, ", cpu %.2fx / %.2fx", Mediana(cpuInserimento), Mediana(cpuChiave));
        char testo[320];
        std::snprintf(testo, sizeof testo,
                      "%8ld righe: inserimento %.2fx %s, chiave %.2fx %s (mediane di %d giri%s), picco %.1f / %.1f MB",
                      righe, Mediana(inserimento), nomeRiferimento, Mediana(chiave), riferimentoChiave, giri, cpu,
                      picco, piccoChiave);
        riepilogo.push_back(testo);
        if (!pari.empty()) {
            std::snprintf(testo, sizeof testo, "%8ld righe: pgloader %.2fx \\copy", righe, Mediana(pari));
            riepilogo.push_back(testo);
        }
    }
    if (!tieni)
        fs::remove_all(cartella);

    std::printf("\nRiepilogo (obiettivi: %s; picco < 64 MB e piatto)\n",
                server ? "inserimento <= 3x \\copy, chiave <= 3x \\copy+upsert"
                       : "inserimento <= 0.85x .import, chiave <= 1.7x .import");
    for (const std::string& r : riepilogo)
        std::printf("%s\n", r.c_str());
    return riuscito ? 0 : 1;
}
