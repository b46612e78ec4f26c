// The files delivered beside the program and compiled into it: the sounds, the
// title picture, the help page and the small pictures.
#include "tools/assets/sound_synth.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

QString dataFile(const char* name)
{
    return QDir(QStringLiteral(VORTIGO_DATA_DIR)).filePath(QString::fromLatin1(name));
}

QString imageFile(const QString& name)
{
    return QDir(QStringLiteral(VORTIGO_IMAGES_DIR)).filePath(name);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

std::uint32_t le32(const QByteArray& b, qsizetype at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<std::uint8_t>(b[at + i]);
    return v;
}

std::uint16_t le16(const QByteArray& b, qsizetype at)
{
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) | (static_cast<std::uint8_t>(b[at + 1]) << 8));
}

// What a wave file holds, read by walking its chunks; empty when the file is
// not a well-formed mono 16-bit PCM wave (the reason goes to *problem).
struct WaveContents {
    std::uint32_t sampleRate = 0;
    std::vector<std::int16_t> samples;
    double seconds() const { return static_cast<double>(samples.size()) / sampleRate; }
};

std::optional<WaveContents> readWave(const QByteArray& bytes, std::string* problem)
{
    auto fail = [problem](const char* why) {
        *problem = why;
        return std::optional<WaveContents>{};
    };
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return fail("no RIFF/WAVE header");
    if (le32(bytes, 4) != static_cast<std::uint32_t>(bytes.size() - 8))
        return fail("RIFF size does not match the file length");

    WaveContents out;
    bool haveFormat = false;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray tag = bytes.mid(at, 4);
        const std::uint32_t size = le32(bytes, at + 4);
        const qsizetype body = at + 8;
        if (body + static_cast<qsizetype>(size) > bytes.size())
            return fail("a chunk runs past the end of the file");
        if (tag == "fmt ") {
            if (size < 16 || le16(bytes, body) != 1)
                return fail("format is not PCM");
            if (le16(bytes, body + 2) != 1)
                return fail("not mono");
            out.sampleRate = le32(bytes, body + 4);
            if (out.sampleRate != 22050 && out.sampleRate != 44100)
                return fail("sample rate is neither 22050 nor 44100");
            if (le32(bytes, body + 8) != out.sampleRate * 2 || le16(bytes, body + 12) != 2)
                return fail("byte rate or block alignment disagree with 16-bit mono");
            if (le16(bytes, body + 14) != 16)
                return fail("not 16 bits per sample");
            haveFormat = true;
        } else if (tag == "data") {
            if (!haveFormat)
                return fail("data chunk before the format chunk");
            if (size % 2 != 0)
                return fail("data chunk holds half a sample");
            if (body + static_cast<qsizetype>(size) != bytes.size())
                return fail("data chunk length does not reach the end of the file");
            for (qsizetype i = body; i < body + static_cast<qsizetype>(size); i += 2)
                out.samples.push_back(static_cast<std::int16_t>(le16(bytes, i)));
            return out;
        }
        at = body + size + (size % 2);
    }
    return fail("no data chunk");
}

struct SoundLimits {
    const char* name;
    double minSeconds;
    double maxSeconds;
};

// The click sound must be over before the next click; everything else but the
// round-won jingle fits inside the game's pause of at most 0.6 s plus a little.
const SoundLimits kSounds[] = {
    {"COLLAPSE.WAV", 0.1, 1.0},
    {"SND0002.WAV", 0.03, 0.12},
    {"explode2.WAV", 0.15, 1.0},
    {"perdi.WAV", 0.4, 1.0},
    {"VINCI.WAV", 0.8, 2.0},
    {"SOUND2.wav", 0.2, 1.0},
};

WaveContents loadSound(const char* name)
{
    std::string problem;
    const auto wave = readWave(readAll(dataFile(name)), &problem);
    EXPECT_TRUE(wave.has_value()) << name << ": " << problem;
    return wave.value_or(WaveContents{});
}

TEST(ShippedSounds, each_sound_is_a_mono_16_bit_pcm_wave_whose_data_chunk_fills_the_file)
{
    for (const auto& s : kSounds) {
        SCOPED_TRACE(s.name);
        ASSERT_TRUE(QFile::exists(dataFile(s.name)));
        EXPECT_FALSE(loadSound(s.name).samples.empty());
    }
}

TEST(ShippedSounds, each_sound_lasts_as_long_as_its_moment_in_the_game_allows)
{
    for (const auto& s : kSounds) {
        const WaveContents wave = loadSound(s.name);
        if (wave.samples.empty())
            continue;
        EXPECT_GE(wave.seconds(), s.minSeconds) << s.name;
        EXPECT_LE(wave.seconds(), s.maxSeconds) << s.name;
    }
}

TEST(ShippedSounds, each_sound_starts_and_ends_at_rest_so_it_never_clicks)
{
    for (const auto& s : kSounds) {
        const WaveContents wave = loadSound(s.name);
        if (wave.samples.empty())
            continue;
        EXPECT_LT(std::abs(wave.samples.front()), 100) << s.name;
        EXPECT_LT(std::abs(wave.samples.back()), 100) << s.name;
    }
}

TEST(ShippedSounds, each_sound_is_loud_enough_to_hear_without_clipping)
{
    for (const auto& s : kSounds) {
        const WaveContents wave = loadSound(s.name);
        int peak = 0;
        int atFullScale = 0;
        for (std::int16_t v : wave.samples) {
            peak = std::max(peak, std::abs(static_cast<int>(v)));
            atFullScale += std::abs(static_cast<int>(v)) >= 32767 ? 1 : 0;
        }
        EXPECT_GT(peak, 10000) << s.name;
        EXPECT_EQ(atFullScale, 0) << s.name;
    }
}

TEST(ShippedSounds, the_committed_sounds_are_what_the_generator_makes_today)
{
    // Catches a recipe changed without rerunning the generator. Samples may
    // differ by one step where another maths library rounds differently.
    for (const auto& [name, sound] : vortigo::assets::makeGameSounds()) {
        const WaveContents wave = loadSound(name.c_str());
        ASSERT_EQ(wave.sampleRate, static_cast<std::uint32_t>(sound.sampleRate)) << name;
        ASSERT_EQ(wave.samples.size(), sound.samples.size()) << name;
        int worst = 0;
        for (std::size_t i = 0; i < sound.samples.size(); ++i)
            worst = std::max(worst, std::abs(wave.samples[i] - sound.samples[i]));
        EXPECT_LE(worst, 1) << name;
    }
}

TEST(TitlePicture, is_a_gif_of_640_by_300_pixels)
{
    QImageReader reader(dataFile("vortigo.gif"));
    EXPECT_EQ(reader.format(), QByteArray("gif"));
    const QImage picture = reader.read();
    ASSERT_FALSE(picture.isNull()) << qPrintable(reader.errorString());
    EXPECT_EQ(picture.size(), QSize(640, 300));
}

TEST(TitlePicture, fades_to_white_at_its_corners_so_it_sits_well_in_the_white_picture_box)
{
    const QImage picture(dataFile("vortigo.gif"));
    ASSERT_FALSE(picture.isNull());
    for (const QPoint corner : {QPoint(0, 0), QPoint(639, 0), QPoint(0, 299), QPoint(639, 299)}) {
        const QColor c = picture.pixelColor(corner);
        EXPECT_GE(std::min({c.red(), c.green(), c.blue()}), 235) << corner.x() << "," << corner.y();
    }
}

TEST(TitlePicture, shows_the_yellow_of_a_found_word)
{
    const QImage picture = QImage(dataFile("vortigo.gif")).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(picture.isNull());
    int yellow = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            yellow += c.red() > 240 && c.green() > 240 && c.blue() < 40 ? 1 : 0;
        }
    }
    EXPECT_GT(yellow, 2000);
}

QString helpPage()
{
    return QString::fromUtf8(readAll(dataFile("vortigo.htm")));
}

TEST(HelpPage, is_utf8_and_says_so)
{
    const QByteArray bytes = readAll(dataFile("vortigo.htm"));
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_TRUE(bytes.contains("<meta charset=\"utf-8\">"));
    EXPECT_FALSE(QString::fromUtf8(bytes).contains(QChar::ReplacementCharacter));
    EXPECT_TRUE(QString::fromUtf8(bytes).contains(QStringLiteral("è")));  // accents written as text, not entities
}

TEST(HelpPage, explains_every_shortcut_key_of_the_menus)
{
    const QString page = helpPage();
    for (const char* key : {"F1", "F2", "F4", "F8", "Ctrl+S", "Ctrl+F5", "Ctrl+F9", "Ctrl+F11"}) {
        const QRegularExpression whole(QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(QString::fromLatin1(key))));
        EXPECT_TRUE(page.contains(whole)) << key;
    }
}

TEST(HelpPage, names_the_files_the_game_keeps_beside_the_program)
{
    const QString page = helpPage();
    for (const char* name : {"vortigo.INI", "vortigo.HIS", "SLESSICO.1", "SLESSICO.2", "SLESSICO.3"})
        EXPECT_TRUE(page.contains(QString::fromLatin1(name))) << name;
}

TEST(HelpPage, opens_offline_without_scripts_or_outside_resources)
{
    const QString page = helpPage().toLower();
    EXPECT_FALSE(page.contains(QStringLiteral("<script")));
    EXPECT_FALSE(page.contains(QRegularExpression(QStringLiteral("(src|href)\\s*=\\s*\"(https?:)?//"))));
    EXPECT_FALSE(page.contains(QStringLiteral("<link")));
    EXPECT_FALSE(page.contains(QStringLiteral("@import")));
}

struct CompiledPicture {
    const char* name;
    QSize size;
};

const CompiledPicture kPictures[] = {
    {"vortigo-icon.png", {32, 32}},     {"new-game.png", {40, 36}}, {"trophy.png", {32, 32}},
    {"scores-picture.png", {200, 200}}, {"ok-icon.png", {16, 16}},  {"italian-software.png", {60, 47}},
};

TEST(CompiledPictures, each_picture_loads_at_the_size_its_window_expects)
{
    for (const auto& p : kPictures) {
        const QImage image(imageFile(QString::fromLatin1(p.name)));
        ASSERT_FALSE(image.isNull()) << p.name;
        EXPECT_EQ(image.size(), p.size) << p.name;
    }
}

TEST(CompiledPictures, each_picture_has_a_transparent_background)
{
    for (const auto& p : kPictures) {
        const QImage image(imageFile(QString::fromLatin1(p.name)));
        ASSERT_TRUE(image.hasAlphaChannel()) << p.name;
        EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << p.name;
    }
}

TEST(CompiledPictures, the_resource_list_names_exactly_the_pictures_in_the_folder)
{
    const QString qrc = QString::fromUtf8(readAll(imageFile(QStringLiteral("images.qrc"))));
    ASSERT_TRUE(qrc.contains(QStringLiteral("prefix=\"/images\"")));
    QStringList listed;
    const QRegularExpression entry(QStringLiteral("<file>([^<]+)</file>"));
    for (auto it = entry.globalMatch(qrc); it.hasNext();)
        listed << it.next().captured(1);
    QStringList present = QDir(QStringLiteral(VORTIGO_IMAGES_DIR)).entryList({QStringLiteral("*.png")}, QDir::Files);
    listed.sort();
    present.sort();
    EXPECT_EQ(listed, present);
}

}  // namespace
