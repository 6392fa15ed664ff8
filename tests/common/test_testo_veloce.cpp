// The hand-written conversions of the write path give what Qt's give.
#include "TestoVeloce.h"

#include <QString>
#include <gtest/gtest.h>
#include <string>

namespace {

std::string Utf8(const QString& testo)
{
    std::string uscita(static_cast<size_t>(testo.size()) * 3, '\0');
    const char* fine = ScriviUtf8(testo.constData(), testo.size(), uscita.data());
    uscita.resize(static_cast<size_t>(fine - uscita.data()));
    return uscita;
}

TEST(TestoVeloce, Utf8IsWhatQtWritesWhereverTheNonAsciiCharactersFall)
{
    const QString pezzi[] = {QStringLiteral("Città"), QStringLiteral("n°"), QStringLiteral("€"),
                             QString::fromUtf8("\xf0\x9f\x98\x80"), QStringLiteral("x")};
    // Plain runs of every length around the eight units taken at a time.
    for (int ascii = 0; ascii <= 17; ++ascii)
        for (const QString& pezzo : pezzi) {
            const QString testo = QString(ascii, QChar(u'a')) + pezzo + QString(ascii % 9, QChar(u'Z')) + pezzo;
            EXPECT_EQ(Utf8(testo), testo.toUtf8().toStdString()) << testo.toStdString();
        }
    // A lone surrogate, inside a run, becomes the replacement character.
    const QString solo = QStringLiteral("abcdefg") + QChar(0xD800) + QStringLiteral("hijklmnop");
    EXPECT_EQ(Utf8(solo), "abcdefg\xef\xbf\xbdhijklmnop");
}

}  // namespace
