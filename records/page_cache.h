// SPDX-License-Identifier: GPL-3.0-or-later
// The world pages, kept ready to send. A page is written again when a
// language it shows has changed: at once for the records this server
// stores, and for those of other servers on the same database as soon as
// their change counters are read, which is at most a second after the
// previous reading, when a page is asked for.
#pragma once

#include "record_store.h"

#include <QString>

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vortigo::records {

class PageCache {
public:
    using Clock = std::chrono::steady_clock;
    explicit PageCache(RecordStore& store, std::function<Clock::time_point()> now = &Clock::now);

    /// The world page of a language (0 for all three), as sent. When the
    /// database cannot be read, the last page written, or nothing.
    std::shared_ptr<const std::string> tablePage(int language, QString* error);

private:
    void lookForChanges();

    RecordStore& m_store;
    std::function<Clock::time_point()> m_now;
    std::atomic<Clock::rep> m_lastLook;

    std::mutex m_mutex;  // for everything below; a page is written by one thread at a time
    struct Rows {
        std::int64_t serial = -1;
        std::vector<TableRow> rows;
    };
    std::array<Rows, 3> m_rows;
    struct Page {
        RecordStore::Changes serials{-1, -1, -1};
        std::shared_ptr<const std::string> bytes;
    };
    std::array<Page, 4> m_pages;
};

}  // namespace vortigo::records
