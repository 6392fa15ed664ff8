#pragma once
// The two conversions a load makes for every value it writes, by hand: Qt's
// own go through an allocation (toUtf8) or a formatted print (dates).
#include <QChar>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Writes n UTF-16 units as UTF-8 from uscita on, at most 3 * n bytes; a lone
// surrogate becomes the replacement character. Returns the end written.
inline char* ScriviUtf8(const QChar* testo, std::ptrdiff_t n, char* uscita)
{
    const char16_t* c = reinterpret_cast<const char16_t*>(testo);
    const char16_t* const fine = c + n;
    while (c < fine) {
        // Eight units of plain ASCII at a time, the common case.
        if (fine - c >= 8) {
            std::uint64_t a, b;
            std::memcpy(&a, c, 8);
            std::memcpy(&b, c + 4, 8);
            if (((a | b) & 0xFF80FF80FF80FF80ULL) == 0) {
                for (int k = 0; k < 8; ++k)
                    uscita[k] = static_cast<char>(c[k]);
                uscita += 8;
                c += 8;
                continue;
            }
        }
        const char32_t u = *c++;
        if (u < 0x80) {
            *uscita++ = static_cast<char>(u);
        } else if (u < 0x800) {
            *uscita++ = static_cast<char>(0xC0 | (u >> 6));
            *uscita++ = static_cast<char>(0x80 | (u & 0x3F));
        } else if (u >= 0xD800 && u < 0xDC00 && c < fine && *c >= 0xDC00 && *c < 0xE000) {
            const char32_t p = 0x10000 + ((u - 0xD800) << 10) + (*c++ - 0xDC00);
            *uscita++ = static_cast<char>(0xF0 | (p >> 18));
            *uscita++ = static_cast<char>(0x80 | ((p >> 12) & 0x3F));
            *uscita++ = static_cast<char>(0x80 | ((p >> 6) & 0x3F));
            *uscita++ = static_cast<char>(0x80 | (p & 0x3F));
        } else {
            const char32_t v = u >= 0xD800 && u < 0xE000 ? 0xFFFD : u;
            *uscita++ = static_cast<char>(0xE0 | (v >> 12));
            *uscita++ = static_cast<char>(0x80 | ((v >> 6) & 0x3F));
            *uscita++ = static_cast<char>(0x80 | (v & 0x3F));
        }
    }
    return uscita;
}

// yyyy-mm-dd into ten bytes, for years 0 to 9999.
inline void ScriviDataIso(int anno, int mese, int giorno, char* uscita)
{
    for (int k = 3; k >= 0; --k, anno /= 10)
        uscita[k] = static_cast<char>('0' + anno % 10);
    uscita[4] = uscita[7] = '-';
    uscita[5] = static_cast<char>('0' + mese / 10);
    uscita[6] = static_cast<char>('0' + mese % 10);
    uscita[8] = static_cast<char>('0' + giorno / 10);
    uscita[9] = static_cast<char>('0' + giorno % 10);
}
