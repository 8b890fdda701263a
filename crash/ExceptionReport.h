#pragma once
// The exception report: an exception that nothing handles, on any thread (a window procedure's
// included, and a C++ exception that reaches std::terminate), is written to "ExcMagic.Log" beside
// the executable (or, when that folder cannot be written, to the user's temp folder, and the user
// is told where), a minidump "ExcMagic.dmp" is written beside it, and the process ends with the
// exception's code.

namespace crash
{

// Installs the reporter for the whole process. Call it first thing in the program entry.
void InstallExceptionReport();

} // namespace crash
