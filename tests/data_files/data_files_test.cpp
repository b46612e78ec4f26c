// SPDX-License-Identifier: GPL-3.0-or-later
// The files delivered beside the program and compiled into it: the sounds,
// the help page and the small pictures (the title picture has its reader's test).
#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QString>

#include <cstdint>

namespace {

QString dataFile(const char* name)
{
    return QDir(QStringLiteral(VORTIGO_DATA_DIR)).filePath(QString::fromLatin1(name));
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::uint32_t le(const QByteArray& b, qsizetype at, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<std::uint8_t>(b[at + i]);
    return v;
}

// The length in seconds of a mono 16-bit PCM wave with the plain 44-byte
// header our generator writes (a format chunk, then the data to the end of
// the file); 0 for anything else.
double waveSeconds(const QByteArray& b)
{
    const std::uint32_t rate = b.size() >= 44 ? le(b, 24, 4) : 0;
    const bool plain = b.startsWith("RIFF") && le(b, 4, 4) == static_cast<std::uint32_t>(b.size() - 8) &&
                       b.mid(8, 8) == "WAVEfmt " && le(b, 16, 4) == 16 && le(b, 20, 2) == 1 && le(b, 22, 2) == 1 &&
                       rate > 0 && le(b, 28, 4) == rate * 2 && le(b, 32, 2) == 2 && le(b, 34, 2) == 16 &&
                       b.mid(36, 4) == "data" && le(b, 40, 4) == static_cast<std::uint32_t>(b.size() - 44);
    return plain ? (b.size() - 44) / 2.0 / rate : 0.0;
}

TEST(ShippedSounds, ArePcmWavesAsLongAsTheirMomentAllows)
{
    // The click must be over before the next click; all but the round-won
    // jingle fit inside the game's pause of at most 0.6 s plus a little.
    const struct {
        const char* name;
        double minSeconds, maxSeconds;
    } sounds[] = {
        {"COLLAPSE.WAV", 0.1, 1.0}, {"SND0002.WAV", 0.03, 0.12}, {"explode2.WAV", 0.15, 1.0},
        {"perdi.WAV", 0.4, 1.0},    {"VINCI.WAV", 0.8, 2.0},     {"SOUND2.wav", 0.2, 1.0},
    };
    for (const auto& s : sounds) {
        const double seconds = waveSeconds(readAll(dataFile(s.name)));
        EXPECT_GE(seconds, s.minSeconds) << s.name;
        EXPECT_LE(seconds, s.maxSeconds) << s.name;
    }
}

TEST(HelpPage, IsUtf8AndExplainsEveryShortcut)
{
    const QByteArray bytes = readAll(dataFile("vortigo.htm"));
    EXPECT_TRUE(bytes.contains("<meta charset=\"utf-8\">"));
    const QString page = QString::fromUtf8(bytes);
    EXPECT_FALSE(page.contains(QChar::ReplacementCharacter));
    for (const char* key : {"F1", "F2", "F4", "F8", "Ctrl+S", "Ctrl+F5", "Ctrl+F9", "Ctrl+F11"}) {
        const QString escaped = QRegularExpression::escape(QString::fromLatin1(key));
        EXPECT_TRUE(page.contains(QRegularExpression(QStringLiteral("\\b%1\\b").arg(escaped)))) << key;
    }
}

TEST(CompiledPictures, LoadAtTheSizeTheirWindowExpects)
{
    const struct {
        const char* name;
        QSize size;
    } pictures[] = {
        {"vortigo-icon.png", {32, 32}},     {"new-game.png", {40, 36}}, {"trophy.png", {32, 32}},
        {"scores-picture.png", {200, 200}}, {"ok-icon.png", {16, 16}},  {"italian-software.png", {60, 47}},
    };
    for (const auto& p : pictures) {
        const QImage image(QDir(QStringLiteral(VORTIGO_IMAGES_DIR)).filePath(QString::fromLatin1(p.name)));
        EXPECT_EQ(image.size(), p.size) << p.name;
    }
}

}  // namespace
