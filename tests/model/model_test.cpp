// Random sequences of printer changes, timer ticks, selections and OK / Cancel clicks, each
// followed by a comparison of the real window and spooler against the reference model.
// PD_MODEL_SEED=<n> replays a run; PD_MODEL_STEPS=<n> runs longer (default 10000).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <iostream>
#include <random>
#include <string>

#include "tests/model/model_run.h"

namespace {

constexpr long kDefaultSteps = 10000;
constexpr size_t kTrail = 15;

std::uint64_t Seed() {
  if (const char* text = std::getenv("PD_MODEL_SEED")) return std::strtoull(text, nullptr, 0);
  std::random_device device;
  return (std::uint64_t{device()} << 32) | device();
}

long Steps() {
  if (const char* text = std::getenv("PD_MODEL_STEPS")) return std::strtol(text, nullptr, 0);
  return kDefaultSteps;
}

TEST(ModelTest, RandomStepsAgreeWithTheModel) {
  const std::uint64_t seed = Seed();
  const long steps = Steps();
  std::cout << "[   SEED   ] PD_MODEL_SEED=" << seed << " PD_MODEL_STEPS=" << steps << std::endl;
  RecordProperty("seed", std::to_string(seed));

  model::ModelRun run(seed);
  std::deque<std::string> trail;
  std::string problem = run.Check();
  ASSERT_EQ(problem, "") << "on the first window; replay with PD_MODEL_SEED=" << seed;
  for (long step = 0; step < steps; ++step) {
    trail.push_back(std::to_string(step) + ": " + run.Step());
    if (trail.size() > kTrail) trail.pop_front();
    problem = run.Check();
    if (!problem.empty()) {
      std::string recent;
      for (const auto& line : trail) recent += "  " + line + "\n";
      FAIL() << problem << "\nafter step " << step << " of seed " << seed << "; recent steps:\n"
             << recent << "replay with PD_MODEL_SEED=" << seed;
    }
  }

  std::cout << "[ COVERAGE ]";
  for (const auto& [outcome, count] : run.Coverage()) std::cout << " " << outcome << "=" << count;
  std::cout << std::endl;
  // A full-length run that never reached one of these outcomes did not test it.
  if (steps >= kDefaultSteps) {
    for (const char* outcome :
         {"stored", "cancelled", "admin refused", "dialog failed", "store failed", "text refused",
          "changed elsewhere", "silent", "unchanged tick", "over a hundred listed",
          "events in dialog", "window opened"}) {
      EXPECT_GT(run.Coverage().count(outcome), 0u) << outcome << " never happened, seed " << seed;
    }
  }
}

}  // namespace
