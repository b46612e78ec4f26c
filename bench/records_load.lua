-- SPDX-License-Identifier: GPL-3.0-or-later
-- wrk script for records_load.sh: every request submits a new record as the
-- game's browser sends it. Points, date and time are drawn as the filled
-- table's are, so a submission lands anywhere in the table, not on top.
local threads = 0

function setup(thread)
  threads = threads + 1
  thread:set("id", threads)
end

local count = 0
-- One letter per cell of the run: names never repeat across cells.
local tag = os.getenv("RECORDS_LOAD_TAG") or "B"

function init(args)
  math.randomseed(id * 7919 + os.time())
end

function request()
  count = count + 1
  local name = string.format("%s%d-%d", tag, id, count)
  local letters = string.char(65 + math.random(0, 25), 65 + math.random(0, 25), 65 + math.random(0, 25))
  local date = string.format("%02d-%02d-%d", math.random(1, 28), math.random(1, 12), math.random(2015, 2025))
  local time = string.format("%02d:%02d", math.random(0, 23), math.random(0, 59))
  local path = "/vortigo.asp?Nome=" .. name .. "&programma=Vortigo_" .. letters ..
    "&data=" .. date .. "&punti=" .. (math.random(0, 400) * 50) .. "&Manches=" .. math.random(1, 30) ..
    "&Note=Top_10&E_MAIL=io%20&%20te@x.it&ora=" .. time .. "&Language=" .. math.random(1, 3)
  return wrk.format("GET", path)
end
