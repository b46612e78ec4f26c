// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/rate_limit.h"
#include "records/record_pages.h"

#include <QString>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <chrono>
#include <utility>

namespace vortigo::records {
namespace {

// Well-formed as XML, which is stricter than HTML needs: every element
// closed, every "&" an entity.
bool wellFormed(const std::string& page, std::string* problem)
{
    QXmlStreamReader reader(QString::fromStdString(page));
    while (!reader.atEnd())
        reader.readNext();
    if (reader.hasError())
        *problem = reader.errorString().toStdString() + " at line " + std::to_string(reader.lineNumber());
    return !reader.hasError();
}

// What players typed, as hostile as it gets, and an e-mail no page may show.
const Submission kHostile{.letters = "QRS", .name = "<b>&amp;\"'", .day = 5, .month = 3, .year = 2001, .hour = 9,
                          .minute = 7, .points = 1234567, .round = 3, .note = "</td><script>x</script>",
                          .email = "secret@example.org", .language = 2};

TEST(RecordPages, EveryPageIsWellFormedItalianEscapesWhatPlayersTypedAndGroupsThousands)
{
    const Submission& s = kHostile;
    const WorldTable filled{2, {{s.name, s.points, s.round, s.isoDate(), s.clockTime(), s.note},
                                {"Brivo", -5, 1, "2001-03-06", "10:00", ""}}};
    const std::string pages[] = {
        recordPage(s, 7, false),
        recordPage(s, 1, true),
        tablePage({WorldTable{1, {}}, filled, WorldTable{3, {}}}),
        tablePage({filled}),
        errorPage("Richiesta non valida", "Il campo <Nome> & co."),
    };
    for (const std::string& page : pages) {
        std::string problem;
        EXPECT_TRUE(wellFormed(page, &problem)) << problem << "\n" << page;
        EXPECT_NE(page.find("<html lang=\"it\">"), std::string::npos);
        EXPECT_NE(page.find("name=\"viewport\""), std::string::npos);
        EXPECT_EQ(page.find("<b>"), std::string::npos);
        EXPECT_EQ(page.find("<script>"), std::string::npos);
        EXPECT_EQ(page.find("secret@example.org"), std::string::npos);
    }
    // The server's test sees the record page, the places and the tables; here, the escaping and the link.
    EXPECT_NE(pages[0].find("&lt;b&gt;&amp;amp;&quot;&#39;"), std::string::npos);
    EXPECT_NE(pages[0].find("href=\"/?lingua=2\""), std::string::npos);
    EXPECT_NE(pages[1].find("già registrato"), std::string::npos);
    EXPECT_NE(pages[4].find("Il campo &lt;Nome&gt; &amp; co."), std::string::npos);

    const std::pair<std::int32_t, const char*> points[] = {{0, "0"}, {999, "999"}, {1000, "1.000"},
        {-1234567, "-1.234.567"}, {2147483647, "2.147.483.647"}, {-2147483647 - 1, "-2.147.483.648"}};
    for (const auto& [value, text] : points)
        EXPECT_EQ(italianPoints(value), text);
}

TEST(RateLimit, LetsAMinutesAllowanceThroughThenOneRequestPerShareOfTheMinutePerAddress)
{
    using namespace std::chrono_literals;
    const RateLimiter::Clock::time_point t0{};
    RateLimiter limiter(6);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(limiter.allow("10.0.0.1", t0)) << i;
    EXPECT_FALSE(limiter.allow("10.0.0.1", t0));
    EXPECT_TRUE(limiter.allow("10.0.0.2", t0));
    EXPECT_FALSE(limiter.allow("10.0.0.1", t0 + 9s));
    EXPECT_TRUE(limiter.allow("10.0.0.1", t0 + 10s));
    EXPECT_FALSE(limiter.allow("10.0.0.1", t0 + 11s));
    // A long pause refills to the allowance, never beyond it.
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(limiter.allow("10.0.0.1", t0 + 1h)) << i;
    EXPECT_FALSE(limiter.allow("10.0.0.1", t0 + 1h));
}

TEST(RateLimit, AFloodOfAddressesDoesNotGrowWithoutBoundNorFreeTheBusyOnesEarly)
{
    const RateLimiter::Clock::time_point t0{};
    RateLimiter limiter(2, 100);
    EXPECT_TRUE(limiter.allow("busy", t0));
    EXPECT_TRUE(limiter.allow("busy", t0));
    for (int i = 0; i < 98; ++i)
        limiter.allow("flood-" + std::to_string(i), t0);
    EXPECT_FALSE(limiter.allow("busy", t0));
    EXPECT_EQ(limiter.addresses(), 99u);
    // A table that is full of idle addresses forgets them to take a new one.
    using namespace std::chrono_literals;
    for (int i = 0; i < 10000; ++i)
        limiter.allow("later-" + std::to_string(i), t0 + 2min + std::chrono::seconds(i));
    EXPECT_LE(limiter.addresses(), 100u);
    EXPECT_TRUE(limiter.allow("fresh", t0 + 4h));
}

}  // namespace
}  // namespace vortigo::records
