// SPDX-License-Identifier: GPL-3.0-or-later
#include "page_cache.h"

#include "record_pages.h"

namespace vortigo::records {

namespace {

constexpr auto kLookEvery = std::chrono::seconds(1);

}  // namespace

PageCache::PageCache(RecordStore& store, std::function<Clock::time_point()> now)
    : m_store(store), m_now(std::move(now)), m_lastLook((m_now() - kLookEvery).time_since_epoch().count())
{
}

void PageCache::lookForChanges()
{
    // One request a second reads the counters; the others go on with what is known.
    const Clock::rep now = m_now().time_since_epoch().count();
    Clock::rep last = m_lastLook.load();
    if (now - last < Clock::duration(kLookEvery).count() || !m_lastLook.compare_exchange_strong(last, now))
        return;
    // A database that cannot be read leaves the pages as they are; the next look tries again.
    m_store.readChanges(nullptr);
}

std::shared_ptr<const std::string> PageCache::tablePage(int language, QString* error)
{
    lookForChanges();
    const RecordStore::Changes known = m_store.knownChanges();
    const auto shown = [language](std::size_t index) { return language == 0 || language == int(index) + 1; };

    const std::lock_guard lock(m_mutex);
    Page& page = m_pages[static_cast<std::size_t>(language)];
    bool fresh = page.bytes != nullptr;
    for (std::size_t i = 0; i < 3; ++i)
        fresh = fresh && (!shown(i) || page.serials[i] == known[i]);
    if (fresh)
        return page.bytes;

    std::vector<WorldTable> tables;
    for (std::size_t i = 0; i < 3; ++i) {
        if (!shown(i))
            continue;
        Rows& rows = m_rows[i];
        if (rows.serial != known[i]) {
            // Read after the counter: a record stored meanwhile is either on
            // the page already or raises the counter again.
            auto read = m_store.table(int(i) + 1, error);
            if (!read)
                return page.bytes;  // the last page written, if any
            rows = {known[i], std::move(*read)};
        }
        tables.push_back(WorldTable{int(i) + 1, rows.rows});
    }
    page = {known, std::make_shared<const std::string>(records::tablePage(tables))};
    return page.bytes;
}

}  // namespace vortigo::records
