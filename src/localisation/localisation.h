// The process-wide localisation objects as a whole: their reset for a new
// process and their release at its end.
#pragma once

// The state of static construction: no language module, an empty language
// file, the string ring at its start. Asks the system nothing.
void ResetLocalisation();

// What static destruction does, in its order: frees the language file, then
// unloads the language module if it is still loaded. For hosts whose
// platform ends before the process's static destruction runs.
void EndLocalisation();
