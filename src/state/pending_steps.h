// Steps this version does not have yet. Each is a named function (a hook) declared in the public
// header of the folder that will own it and defined in that folder's pending.cpp, where it logs
// "Not available in this version: <what>" and ends the run with status 1. Next to the stubs,
// each pending.cpp keeps a table with one row per hook that a run's settings can reach: the
// start-up check walks the F 2 task letters of the run through these tables before anything is
// computed, so a run that would meet a missing step ends at once with that step's line.
// Whoever builds a step deletes its stub, its text and its row together.
#pragma once

#include <span>

namespace qorva {

// One row of a folder's table: `reached(letter)` is true when the task of that F 2 letter,
// under this run's settings, calls the hook; `what` is the text of the hook's line (a printf
// format with one %d when `number` is set, filled with number()). A row mirrors the call sites
// of its hook with the settings alone: what a grid file, a residual or a divergence decides
// later is not known at start-up, and a hook reached only that way has no row.
struct PendingStep {
  bool (*reached)(char letter);
  const char* what;
  int (*number)() = nullptr;
};

// The tables, one per folder that owns hooks, in the order the check walks them for a letter:
// roughly the order in which a task meets them (the grid and its files, the flow driver, its
// accelerators and the mud flow, the terms of the equations, the surface, the components and
// the outputs). When a run reaches several missing steps, the line names the first row that
// holds, which need not be the one the run would have met first.
std::span<const PendingStep> gridPendingSteps();
std::span<const PendingStep> filesPendingSteps();
std::span<const PendingStep> flowPendingSteps();
std::span<const PendingStep> solversPendingSteps();
std::span<const PendingStep> bedPendingSteps();
// The bed steps of the sediment loop (bed/pending.cpp).
std::span<const PendingStep> bedLoopPendingSteps();
std::span<const PendingStep> discretisationPendingSteps();
std::span<const PendingStep> pressurePendingSteps();
std::span<const PendingStep> turbulencePendingSteps();
std::span<const PendingStep> surfacePendingSteps();
std::span<const PendingStep> sedimentPendingSteps();
std::span<const PendingStep> outputPendingSteps();

// Where the settings lead a task, for the rows' conditions. They mirror the task driver
// (driver/tasks.cpp) and the main flow driver (flow/), and read only settings.
namespace reach {

// The task of letter t calls the main flow driver WaterSolve: F 2 W with none of the other
// drivers of F 170, F 152 and F 68 chosen, or the time steps of task S (F 68 0 or 4); also the
// restructured driver of F 328, which runs the main driver's inner iteration.
bool mainFlow(char t);
// Task S gets past its start-up checks (F 37, a time step, at most 49 sizes), and reaches its
// time steps (K 1 at least 1).
bool sedimentLoop(char t);
bool sedimentSteps(char t);
// The number of outer iterations of that call: K 1, and in a transient run no more than the
// F 335 end time allows.
int outerIterations();
// Some outer iteration 1..outerIterations() has a number divisible by `interval`.
bool someIteration(int interval);
// The main flow driver runs at least one inner iteration.
bool innerIterations(char t);
// Steps of the inner iteration that the F 171 variant, the turbulence model of F 24, the mud
// flow of F 236 and the components of F 50 leave in: the momentum step (u, v, w), the
// pressure-correction step, the pressure predictor, the k and epsilon step and the components.
bool momentumStep(char t);
bool pressureStep(char t);
bool predictor(char t);
bool turbulenceStep(char t);
bool componentStep(char t);
// Equation e (1..6) is assembled in an inner iteration: the velocities in the momentum step
// (w not with F 69 Seiche4), the pressure correction in the pressure step or the predictor,
// k and epsilon in their step.
bool equationSolved(char t, int e);
// The task of letter t generates the grid (Unstructure): Y, and the readers of alldata (B)
// and unstruc (U) under F 112 2 and 1.
bool gridGeneration(char t);
// The task of letter t calls the free-surface update surface() (between outer iterations, for
// the G 6 surface cell, or in the pressure step of F 36 6); defined with the hooks of surface/.
bool surfaceUpdate(char t);
// The task of letter t writes the results of the print set (sprintflow): M, and the end of a
// main flow computation.
bool resultsWritten(char t);

}  // namespace reach

// Ends the run with the line of the first hook that the F 2 walk of this run reaches: the
// letters in their order (up to X, or a letter whose task ends the run before its step), each
// through the tables in their order. Returns when the run meets no missing step.
void stopOnPendingSteps();

}  // namespace qorva
