// An upgrade's extraction against a fresh install's, under the install journal: the same package
// (the install corpus, scripts/bench-corpus --install, packed by stpack) written once into an
// empty folder and once over an earlier install of it in which a tenth of the files differ and
// which holds a tenth more files that the new version drops. The upgrade moves every existing file
// aside, drops the files the new version no longer has, forces the journal to the disk once per
// batch of files, and removes the old files at commit; the ratio of the two says what that costs.
// Both start from a disk with nothing waiting to be written: the earlier install has long been
// there when an upgrade comes.
//
// Usage: upgrade_bench PACKAGE [benchmark options]   (the work folder is made beside PACKAGE)
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "base/FileSystem.h"
#include "package/Extract.h"
#include "package/InstallJournal.h"

namespace {

namespace fs = std::filesystem;

std::string g_package;
fs::path g_work;
// Seconds and runs of each kind, over every repetition: the printed ratio is of the means.
struct Total {
  double seconds = 0;
  std::int64_t runs = 0;
  double Mean() const { return runs == 0 ? 0 : seconds / static_cast<double>(runs); }
};
Total g_fresh;
Total g_upgrade;
std::vector<std::u16string> g_dropped;  // the earlier install's files that the new version drops

std::span<const std::byte> Package() {
  return std::as_bytes(std::span<const char>(g_package.data(), g_package.size()));
}

fs::path Destination() { return g_work / "installed"; }

// One install under a journal, committed, as Setup.exe extracts.
void Install() {
  const std::u16string destination = setup::IncludeTrailingPathDelimiter(Destination().u16string());
  setup::JournalScope scope{(g_work / "bench.jnl").u16string(), destination, u"", {}};
  setup::InstallJournal journal(scope, {});
  setup::ExtractControl control;
  control.journal = &journal;
  setup::ExtractPackage(Package(), destination, u"", control, [] { return std::u16string(); });
  if (!g_dropped.empty()) journal.DropFiles(g_dropped);
  if (!journal.Commit()) throw std::runtime_error("commit left files behind");
}

// Writes out what the system holds for the disk, so that no run pays for the one before it.
void SettleDisk() {
#ifndef _WIN32
  ::sync();
#endif
}

// An earlier install: every file of the package, a tenth of them with other bytes, and beside
// another tenth a file of the earlier version that the new one no longer has.
void MakeEarlierInstall() {
  fs::remove_all(Destination());
  g_dropped.clear();
  Install();
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(Destination()))
    if (entry.is_regular_file()) files.push_back(entry.path());
  for (std::size_t index = 0; index < files.size(); ++index) {
    if (index % 10 == 0) {
      std::ofstream out(files[index], std::ios::binary | std::ios::app);
      out << "an earlier version";
    } else if (index % 10 == 5) {
      fs::path dropped = files[index];
      dropped += ".earlier";
      fs::copy_file(files[index], dropped);
      g_dropped.push_back(dropped.u16string());
    }
  }
  SettleDisk();
}

template <class Prepare>
void Timed(benchmark::State& state, const Prepare& prepare, Total& total) {
  for (auto _ : state) {
    state.PauseTiming();
    prepare();
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    Install();
    total.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ++total.runs;
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(g_package.size()) * state.iterations());
}

void FreshInstall(benchmark::State& state) {
  Timed(
      state,
      [] {
        fs::remove_all(Destination());
        g_dropped.clear();
        SettleDisk();
      },
      g_fresh);
}

void UpgradeInstall(benchmark::State& state) { Timed(state, MakeEarlierInstall, g_upgrade); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: upgrade_bench PACKAGE [benchmark options]\n");
    return 2;
  }
  const fs::path package = argv[1];
  std::ifstream in(package, std::ios::binary);
  g_package.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (g_package.empty()) {
    std::fprintf(stderr, "upgrade_bench: cannot read %s\n", package.string().c_str());
    return 1;
  }
  g_work = package.parent_path() / "upgrade-bench";
  fs::remove_all(g_work);
  fs::create_directories(g_work);
  --argc;
  ++argv;
  argv[0] = argv[-1];
  benchmark::RegisterBenchmark("extract/fresh", FreshInstall)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("extract/upgrade", UpgradeInstall)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (g_fresh.Mean() > 0 && g_upgrade.Mean() > 0)
    std::printf("upgrade / fresh: %.3f (means of %lld and %lld runs: %.3f s against %.3f s)\n",
                g_upgrade.Mean() / g_fresh.Mean(), static_cast<long long>(g_upgrade.runs),
                static_cast<long long>(g_fresh.runs), g_upgrade.Mean(), g_fresh.Mean());
  fs::remove_all(g_work);
  return 0;
}
