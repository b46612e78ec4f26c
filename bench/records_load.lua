-- SPDX-License-Identifier: GPL-3.0-or-later
-- wrk script for records_load.sh: of every four requests one submits a new
-- record as the game's browser sends it, three read the world tables.
local threads = 0

function setup(thread)
  threads = threads + 1
  thread:set("id", threads)
end

local count = 0

function request()
  count = count + 1
  if count % 4 ~= 0 then
    if count % 8 == 1 then return wrk.format("GET", "/?lingua=1") end
    return wrk.format("GET", "/")
  end
  -- Distinct name and points per thread and request: every submission is new.
  local points = count * 7 + id
  local name = string.format("B%d-%d", id, count % 100000)
  local letters = string.char(65 + count % 26, 65 + math.floor(count / 26) % 26, 65 + id % 26)
  local path = "/vortigo.asp?Nome=" .. name .. "&programma=Vortigo_" .. letters ..
    "&data=06-12-2026&punti=" .. points .. "&Manches=" .. (1 + count % 30) ..
    "&Note=Top_10&E_MAIL=io%20&%20te@x.it&ora=01:15&Language=" .. (1 + count % 3)
  return wrk.format("GET", path)
end
