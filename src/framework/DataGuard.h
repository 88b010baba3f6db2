// Runs a step that a user started on a dataset from a grid, navigator or bound
// control, so that no exception reaches Qt: an Abort ends it silently (a check
// already told the user why), any other error is shown in the error box.
#pragma once

#include <functional>

// True when the step ran to its end.
bool runDataStep(const std::function<void()>& step);
