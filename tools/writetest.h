#pragma once
// The crash-safety exerciser: adds requests one at a time through the
// engine layer, as the main window does, and reports each one once it is
// written.
#include <QString>
#include <cstdio>

namespace cvd::tools {

// Opens FOLDER/cvd.mdb and adds requests through a dynaset forever (or
// `count` of them when count >= 0), writing each committed ReqID as a line
// to `out` (flushed) after its Update has returned.  Throws cvd::Error.
void runWriteTest(const QString& folder, std::FILE* out, long count = -1);

} // namespace cvd::tools
