// The end of a restore, on the installer thread once the installer library has
// returned: the result on the console and in a box, the log, and the end of the
// process (exit code 512, as after an installation).
#pragma once

[[noreturn]] void finishRestore(bool succeeded, const char* failure);
