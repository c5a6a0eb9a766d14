-- wrk script for the score server's benchmark: replays pre-signed request paths (each with its own nonce), the
-- file's lines shared out between wrk's threads, and prints the figures the benchmark reports.
local paths = {}
local position = 0
local threadCount = 0

function setup(thread)
  threadCount = threadCount + 1
  thread:set("threadId", threadCount)
end

function init(args)
  local file, threads = args[1], tonumber(args[2])
  local line = 0
  for path in io.lines(file) do
    if line % threads == threadId - 1 then paths[#paths + 1] = path end
    line = line + 1
  end
end

function request()
  position = position % #paths + 1
  return wrk.format("GET", paths[position])
end

function done(summary, latency, requests)
  io.write(string.format("requests_per_second %.0f\n", summary.requests / (summary.duration / 1e6)))
  io.write(string.format("p99_ms %.3f\n", latency:percentile(99) / 1000))
  io.write(string.format("p50_ms %.3f\n", latency:percentile(50) / 1000))
  io.write(string.format("requests %d\n", summary.requests))
  io.write(string.format("non_2xx %d\n", summary.errors.status))
  io.write(string.format("socket_errors %d\n",
    summary.errors.connect + summary.errors.read + summary.errors.write + summary.errors.timeout))
end
