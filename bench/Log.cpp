#include "Core/Base/Log.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

// Log statements per second with the HTML file attached (flushed after every
// write, as in the game), and with no output at all for the fixed cost.

namespace
{

std::wstring TempLogPath()
{
    std::string path = "/tmp/bw_bench_log_" + std::to_string(getpid()) + ".html";
    return std::wstring(path.begin(), path.end());
}

// One log statement as the resource code writes it, per iteration.
void LogStatements(benchmark::State& state, base::Log* log)
{
    uint32_t n = 0;
    for (auto _ : state)
    {
        base::LogLine(log, L"Trying to Load already loaded resource '%s' (%d).\n", __FILE__, __TIMESTAMP__,
                      __PRETTY_FUNCTION__, __LINE__)
                .ApplyTag(base::LogHtmlBlockTag())
            % std::wstring(L"gui/main_menu") % n++;
    }
    state.counters["statements/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_LogStatementToFile(benchmark::State& state)
{
    const std::wstring path = TempLogPath();
    {
        base::Log log;
        log.AddHtmlOutput(new base::LogUtf8File(path));
        LogStatements(state, &log);
    }
    std::string narrow(path.begin(), path.end());
    std::remove(narrow.c_str());
}

void BM_LogStatementNoOutput(benchmark::State& state)
{
    base::Log log;
    LogStatements(state, &log);
}

} // namespace

BENCHMARK(BM_LogStatementToFile);
BENCHMARK(BM_LogStatementNoOutput);
