#include "FunzioniPq.h"

#include <dlfcn.h>

namespace {

template <typename T> bool Trova(void* libreria, const char* nome, T& funzione)
{
    funzione = reinterpret_cast<T>(dlsym(libreria, nome));
    return funzione != nullptr;
}

FunzioniPq* CaricaDa(void* libreria)
{
    static FunzioniPq funzioni;
    const bool trovate = Trova(libreria, "PQsetNoticeProcessor", funzioni.setNoticeProcessor)
        && Trova(libreria, "PQexec", funzioni.exec) && Trova(libreria, "PQsendQueryParams", funzioni.sendQueryParams)
        && Trova(libreria, "PQgetResult", funzioni.getResult)
        && Trova(libreria, "PQresultStatus", funzioni.resultStatus)
        && Trova(libreria, "PQresultErrorField", funzioni.resultErrorField)
        && Trova(libreria, "PQresultErrorMessage", funzioni.resultErrorMessage)
        && Trova(libreria, "PQerrorMessage", funzioni.errorMessage) && Trova(libreria, "PQclear", funzioni.clear)
        && Trova(libreria, "PQputCopyData", funzioni.putCopyData)
        && Trova(libreria, "PQputCopyEnd", funzioni.putCopyEnd);
    return trovate ? &funzioni : nullptr;
}

}  // namespace

const FunzioniPq* FunzioniPq::Carica()
{
    // Loaded once, and never unloaded: the driver holds it too.
    static const FunzioniPq* const funzioni = []() -> const FunzioniPq* {
        void* libreria = dlopen("libpq.so.5", RTLD_NOW | RTLD_NOLOAD);
        if (!libreria)
            libreria = dlopen("libpq.so.5", RTLD_NOW);
        return libreria ? CaricaDa(libreria) : nullptr;
    }();
    return funzioni;
}
