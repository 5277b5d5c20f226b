// Start-up of the windowed program: from starting the process to the first chart painted, on
// the offscreen platform with the sample database.

#include <benchmark/benchmark.h>

#if defined(TICKVANE_EXE) && defined(TICKVANE_SAMPLE_MASTER)

#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

extern char** environ;

namespace {

void BM_StartToFirstChartPainted(benchmark::State& state) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("TICKVANE_EXIT_AFTER_FIRST_PAINT", "1", 1);
  const std::string profile =
      (std::filesystem::temp_directory_path() / "tickvane-bench-settings.ini").string();
  std::string exe = TICKVANE_EXE, flag = "--profile", master = TICKVANE_SAMPLE_MASTER;
  char* argv[] = {exe.data(), flag.data(), const_cast<char*>(profile.c_str()), master.data(),
                  nullptr};
  for (auto _ : state) {
    pid_t pid = 0;
    if (posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv, environ) != 0) {
      state.SkipWithError("cannot start tickvane");
      break;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("tickvane did not end cleanly");
      break;
    }
  }
  unsetenv("TICKVANE_EXIT_AFTER_FIRST_PAINT");
  std::filesystem::remove(profile);
}
BENCHMARK(BM_StartToFirstChartPainted)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

#endif
