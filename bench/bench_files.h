// What the data-set benchmarks share: the large test file and the peak memory of a child
// process. Header only (every bench/*.cpp is a program of its own).
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "numerics/format.h"

namespace sorvel::bench {

inline constexpr int BigRows = 1000000;

// A names line ("Var1" ...), then 1,000,000 lines of `cols` numbers with 4 decimals,
// tab-separated, CR LF; written to /tmp once. 10 columns make about 80 MB, 2 about 16 MB.
inline std::string BigDataFile(int cols) {
  std::string p = "/tmp/sorvel_bench_1m_x" + std::to_string(cols) + ".dat";
  if (std::filesystem::exists(p)) return p;
  std::ofstream f(p, std::ios::binary);
  std::string line;
  for (int c = 1; c <= cols; ++c) line += "Var" + std::to_string(c) + (c < cols ? "\t" : "\r\n");
  f << line;
  std::mt19937_64 rng(42);
  std::uniform_real_distribution<double> u(10.0, 99.9999);
  char buf[32];
  for (int r = 0; r < BigRows; ++r) {
    line.clear();
    for (int c = 0; c < cols; ++c) {
      auto res = std::to_chars(buf, buf + sizeof buf, u(rng), std::chars_format::fixed, 4);
      line.append(buf, res.ptr);
      line += c + 1 < cols ? "\t" : "\r\n";
    }
    f << line;
  }
  return p;
}

// "Y<TAB>G", then 1,000,000 cases in 10 groups: G = 1..10 in turn, Y normal with a mean
// that grows with the code (a fixed seed), as a data file's text.
inline std::string TenGroupsText() {
  std::mt19937_64 g(20261210);
  std::normal_distribution<double> n;
  std::string text = "Y\tG\r\n";
  text.reserve(30000000);
  for (int i = 0; i < BigRows; ++i) {
    const int code = 1 + i % 10;
    text += FormatGeneral(50 + 0.01 * code + n(g)) + "\t" + std::to_string(code) + "\r\n";
  }
  return text;
}

// This process's peak resident memory in KiB.
inline long PeakRssKb() {
  struct rusage ru;
  getrusage(RUSAGE_SELF, &ru);
  return ru.ru_maxrss;
}

// Runs this program again as `self args...` and returns the number it prints (a child's
// peak memory, measured from a fresh process); -1 when the child fails.
inline long RunChild(const std::string& self, const std::vector<std::string>& args) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  pid_t pid = fork();
  if (pid == 0) {
    dup2(fds[1], 1);
    std::vector<char*> argv{const_cast<char*>(self.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(self.c_str(), argv.data());
    _exit(127);
  }
  close(fds[1]);
  char buf[64] = {};
  ssize_t n = read(fds[0], buf, sizeof buf - 1);
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (n <= 0 || status != 0) return -1;
  return std::atol(buf);
}

// This program's own path (for RunChild).
inline std::string SelfPath() { return std::filesystem::read_symlink("/proc/self/exe").string(); }

// Google Benchmark's main.
inline int RunBenchmarks(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace sorvel::bench
